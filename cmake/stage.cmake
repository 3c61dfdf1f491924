# Copies the installable assets of package/ into the staged program folder,
# leaving out what only the build uses (resource script, icon sources, generator,
# the setup's script and release notes).
# Starts from an empty folder so that nothing a run left behind is staged again.
file(REMOVE_RECURSE ${DST})
file(MAKE_DIRECTORY ${DST})
file(COPY ${SRC}/ DESTINATION ${DST}
  PATTERN win32 EXCLUDE
  PATTERN installer EXCLUDE
  PATTERN make_assets.py EXCLUDE
  PATTERN README.md EXCLUDE)

# The setup program (NSIS) and the update server's files, made from the staged
# program folder with the project's version:
#   norvane-setup-<version>.exe
#   update/norvane/update/application.ver  the version text, no line end
#   update/norvane/update/News.txt         the release notes (CR LF lines)
#   update/norvane/update/ubdate.exe       the setup again
# NV_SETUP: AUTO makes them when makensis is found, ON requires makensis
# (tools/build asks for that), OFF leaves them out. The setup installs the
# 64-bit program only.
set(NV_SETUP AUTO CACHE STRING "Make the setup program with NSIS: AUTO, ON or OFF")
set_property(CACHE NV_SETUP PROPERTY STRINGS AUTO ON OFF)
if(NV_SETUP STREQUAL "OFF")
  return()
endif()
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  if(NV_SETUP STREQUAL "ON")
    message(FATAL_ERROR "The setup is made by the 64-bit build only (NV_SETUP=ON)")
  endif()
  return()
endif()
find_program(NV_MAKENSIS makensis
  PATHS "$ENV{ProgramFiles\(x86\)}/NSIS" "$ENV{ProgramFiles}/NSIS"
  DOC "NSIS compiler for the setup program")
if(NOT NV_MAKENSIS)
  if(NV_SETUP STREQUAL "ON")
    message(FATAL_ERROR "makensis (NSIS) was not found, and NV_SETUP is ON")
  endif()
  message(STATUS "makensis (NSIS) not found: no setup program is made")
  return()
endif()

set(NV_INSTALLER_SRC ${CMAKE_SOURCE_DIR}/package/installer)
set(NV_SETUP_EXE ${CMAKE_BINARY_DIR}/norvane-setup-${PROJECT_VERSION}.exe)
set(NV_SETUP_WORK ${CMAKE_BINARY_DIR}/setup)
set(NV_UPDATE_DIR ${CMAKE_BINARY_DIR}/update/norvane/update)

# Written at configure time: both follow only the version and the notes.
configure_file(${NV_INSTALLER_SRC}/News.txt ${NV_UPDATE_DIR}/News.txt @ONLY NEWLINE_STYLE CRLF)
file(CONFIGURE OUTPUT ${NV_UPDATE_DIR}/application.ver CONTENT "${PROJECT_VERSION}")

file(GLOB NV_INSTALLER_FILES CONFIGURE_DEPENDS ${NV_INSTALLER_SRC}/*)
add_custom_command(OUTPUT ${NV_SETUP_EXE}
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${NV_STAGE} -DWORK=${NV_SETUP_WORK} -DMAKENSIS=${NV_MAKENSIS}
    -DNSI=${NV_INSTALLER_SRC}/norvane.nsi -DVERSION=${PROJECT_VERSION}
    -DHANDBACK=$<TARGET_FILE:hosts_handback> -DICON=${CMAKE_SOURCE_DIR}/package/win32/norvane.ico
    -DOUTFILE=${NV_SETUP_EXE} -DSIGN_TOOL=${NV_SIGN_TOOL} -DSIGN_CERT=${NV_SIGN_CERT}
    -P ${CMAKE_SOURCE_DIR}/cmake/make_setup.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${NV_SETUP_EXE} ${NV_UPDATE_DIR}/ubdate.exe
  DEPENDS ${NV_INSTALLER_FILES} ${NV_STAGE}/.staged $<TARGET_FILE:norvane> hosts_handback
    ${CMAKE_SOURCE_DIR}/cmake/setup_files.cmake ${CMAKE_SOURCE_DIR}/cmake/make_setup.cmake
    ${CMAKE_SOURCE_DIR}/package/win32/norvane.ico
  COMMENT "Making the setup ${NV_SETUP_EXE}"
  VERBATIM)
add_custom_target(setup ALL DEPENDS ${NV_SETUP_EXE})
# The stage target copies norvane.exe into the staged folder.
add_dependencies(setup stage)

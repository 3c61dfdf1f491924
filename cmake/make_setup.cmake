# Makes the setup program from a staged program folder: its file lists, then
# makensis. Run by the build (cmake/setup.cmake) and by the signing test.
#   cmake -DSTAGE= -DWORK= -DMAKENSIS= -DNSI= -DVERSION=<a.b.c> -DHANDBACK= -DICON= -DOUTFILE=
#         [-DSIGN_TOOL= -DSIGN_CERT=] -P make_setup.cmake
foreach(v STAGE WORK MAKENSIS NSI VERSION HANDBACK ICON OUTFILE)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "make_setup.cmake needs -D${v}=")
  endif()
endforeach()
string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 revision)
execute_process(COMMAND ${CMAKE_COMMAND} -DSTAGE=${STAGE} -DOUT=${WORK} -P ${CMAKE_CURRENT_LIST_DIR}/setup_files.cmake
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "the setup's file lists could not be written")
endif()
set(sign)
if(SIGN_CERT)
  set(sign -DSIGN_TOOL=${SIGN_TOOL} -DSIGN_CERT=${SIGN_CERT})
endif()
execute_process(COMMAND ${MAKENSIS} -V2 -WX -NOCD -DVERSION=${VERSION} -DVERSION_MAJOR=${major}
                        -DVERSION_MINOR=${minor} -DVERSION_REVISION=${revision} -DFILE_LISTS=${WORK}
                        -DHANDBACK=${HANDBACK} -DICON=${ICON} -DOUTFILE=${OUTFILE} ${sign} ${NSI}
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "makensis failed")
endif()

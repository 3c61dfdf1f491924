# norvane.exe, the staged program folder and the Windows-side test programs.
enable_language(RC)
file(GLOB NV_WIN32_SOURCES CONFIGURE_DEPENDS src/*/*_win32.cpp src/platform/win32/*.cpp)
# WinMain stays out of the library so that test programs can link the windows too;
# so does the main of the uninstaller's helper.
list(FILTER NV_WIN32_SOURCES EXCLUDE REGEX "src/(app/main|setup/handback_main)_win32\\.cpp$")
add_library(norvane_win32 STATIC ${NV_WIN32_SOURCES})
target_link_libraries(norvane_win32 PUBLIC norvane_core)
target_compile_definitions(norvane_core PUBLIC _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_definitions(norvane_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(norvane_win32 PUBLIC
  user32 gdi32 kernel32 shell32 comctl32 advapi32 ws2_32 wininet winmm ole32 oleaut32 uuid taskschd msimg32 uxtheme)
if(MINGW)
  target_link_options(norvane_win32 PUBLIC -static -static-libgcc -static-libstdc++)
endif()

add_executable(norvane WIN32 src/app/main_win32.cpp package/win32/norvane.rc)
target_link_libraries(norvane PRIVATE norvane_win32)
# Code signing: a PKCS#12 certificate (its password in the environment as
# NV_SIGN_PASSWORD when building) signs norvane.exe as it is linked, and the
# setup and its uninstaller (cmake/setup.cmake). Without one nothing is signed.
set(NV_SIGN_CERT "" CACHE FILEPATH "PKCS#12 code-signing certificate; empty: the build is unsigned")
set(NV_SIGN_TOOL ${CMAKE_SOURCE_DIR}/tools/lib/sign_pe.sh)
if(NV_SIGN_CERT)
  add_custom_command(TARGET norvane POST_BUILD COMMAND ${NV_SIGN_TOOL} ${NV_SIGN_CERT} $<TARGET_FILE:norvane> VERBATIM)
endif()

# The program folder as installed: norvane.exe beside the assets of package/.
set(NV_STAGE ${CMAKE_BINARY_DIR}/stage)
file(GLOB_RECURSE NV_PACKAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/package/*)
add_custom_command(OUTPUT ${NV_STAGE}/.staged
  COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/package -DDST=${NV_STAGE} -P ${CMAKE_SOURCE_DIR}/cmake/stage.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${NV_STAGE}/.staged
  DEPENDS ${NV_PACKAGE_FILES} ${CMAKE_SOURCE_DIR}/cmake/stage.cmake)
add_custom_target(stage ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:norvane> ${NV_STAGE}/norvane.exe
  DEPENDS norvane ${NV_STAGE}/.staged)

# The uninstaller runs it to give the user's lines back to a HOSTS file that a
# killed run left holding the block list.
add_executable(hosts_handback src/setup/handback_main_win32.cpp)
target_link_libraries(hosts_handback PRIVATE norvane_win32)
include(cmake/setup.cmake)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win32/CMakeLists.txt)
  add_subdirectory(bench/win32)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/xp_gallery/CMakeLists.txt)
  add_subdirectory(tools/xp_gallery)
endif()

# SQLite, compiled into the program (no DLL beside it). It is a dependency,
# never part of the repository: the build takes the amalgamation that the npm
# package better-sqlite3 carries in deps/sqlite3/, at a pinned version, and
# checks the package's hash before using a byte of it. The package is fetched
# once per build folder with npm's own client (so npm's configuration and
# cache apply); a later configure finds it verified and does not ask again.
#
# On Windows with MSVC, a static SQLite from vcpkg (unofficial-sqlite3, for
# example the x64-windows-static triplet) is taken when CMake finds it;
# -DNV_SQLITE_FROM_VCPKG=OFF takes the pinned amalgamation there too.
#
# Defines the target nv_sqlite3.

set(NV_SQLITE_PACKAGE "better-sqlite3@12.11.1")
set(NV_SQLITE_VERSION "3.53.2")
set(NV_SQLITE_SHA512
    "76af40b40a608393c616d0733c54819771d94231e893981a40233ace1d989346929830acd426e7548f3f1e001242434ab16169b1e20ef5b7a0e71c696216c87c")

option(NV_SQLITE_FROM_VCPKG "MSVC: use SQLite from vcpkg when it is installed" ON)
if(MSVC AND NV_SQLITE_FROM_VCPKG)
  find_package(unofficial-sqlite3 CONFIG QUIET)
  if(unofficial-sqlite3_FOUND)
    add_library(nv_sqlite3 INTERFACE)
    target_link_libraries(nv_sqlite3 INTERFACE unofficial::sqlite3::sqlite3)
    message(STATUS "SQLite: from vcpkg")
    return()
  endif()
endif()

set(NV_SQLITE_DIR ${CMAKE_BINARY_DIR}/deps/sqlite-${NV_SQLITE_VERSION})
string(SUBSTRING "${NV_SQLITE_SHA512}" 0 16 _nv_sqlite_tag)
set(_nv_sqlite_stamp ${NV_SQLITE_DIR}/verified-${_nv_sqlite_tag})

function(nv_fetch_sqlite)
  find_program(NV_NPM NAMES npm npm.cmd)
  if(NOT NV_NPM)
    message(FATAL_ERROR "SQLite comes from the npm package ${NV_SQLITE_PACKAGE}, and npm was not found")
  endif()
  set(download ${NV_SQLITE_DIR}/download)
  file(REMOVE_RECURSE ${NV_SQLITE_DIR})
  file(MAKE_DIRECTORY ${download})
  message(STATUS "SQLite: fetching ${NV_SQLITE_PACKAGE} with npm")
  execute_process(COMMAND ${NV_NPM} pack ${NV_SQLITE_PACKAGE} --silent --pack-destination ${download}
    WORKING_DIRECTORY ${download} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(GLOB tarball ${download}/*.tgz)
  list(LENGTH tarball found)
  if(NOT rc EQUAL 0 OR NOT found EQUAL 1)
    message(FATAL_ERROR "npm pack ${NV_SQLITE_PACKAGE} failed (${rc}):\n${out}${err}")
  endif()
  file(SHA512 ${tarball} actual)
  if(NOT actual STREQUAL NV_SQLITE_SHA512)
    file(REMOVE_RECURSE ${NV_SQLITE_DIR})
    message(FATAL_ERROR "${NV_SQLITE_PACKAGE}: the tarball's SHA-512 is ${actual}, "
                        "not the pinned ${NV_SQLITE_SHA512}; nothing of it is used")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${download}/x 
    PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
  foreach(f sqlite3.c sqlite3.h)
    file(COPY ${download}/x/package/deps/sqlite3/${f} DESTINATION ${NV_SQLITE_DIR})
  endforeach()
  file(REMOVE_RECURSE ${download})
  file(STRINGS ${NV_SQLITE_DIR}/sqlite3.h version_line REGEX "^#define SQLITE_VERSION +\"")
  if(NOT version_line MATCHES "\"${NV_SQLITE_VERSION}\"")
    message(FATAL_ERROR "${NV_SQLITE_PACKAGE} does not carry SQLite ${NV_SQLITE_VERSION}: ${version_line}")
  endif()
  file(WRITE ${_nv_sqlite_stamp} "${NV_SQLITE_PACKAGE} ${NV_SQLITE_SHA512}\n")
endfunction()

if(NOT EXISTS ${_nv_sqlite_stamp})
  nv_fetch_sqlite()
endif()
message(STATUS "SQLite: ${NV_SQLITE_VERSION} from ${NV_SQLITE_PACKAGE} (${NV_SQLITE_DIR})")

add_library(nv_sqlite3 STATIC ${NV_SQLITE_DIR}/sqlite3.c)
target_include_directories(nv_sqlite3 SYSTEM PUBLIC ${NV_SQLITE_DIR})
# Only what the cookie stores use: no extensions loaded from files, no
# deprecated or shared-cache interfaces, string literals only in single quotes.
target_compile_definitions(nv_sqlite3 PRIVATE
  SQLITE_THREADSAFE=1 SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_DQS=0 SQLITE_USE_URI=0
  SQLITE_OMIT_LOAD_EXTENSION SQLITE_OMIT_DEPRECATED SQLITE_OMIT_SHARED_CACHE
  SQLITE_OMIT_PROGRESS_CALLBACK SQLITE_OMIT_TCL_VARIABLE SQLITE_LIKE_DOESNT_MATCH_BLOBS)
# Its own code, compiled as its makers ship it: its warnings are not ours,
# and debug information for 9 MB of C is not worth its build time.
if(MSVC)
  target_compile_options(nv_sqlite3 PRIVATE /w)
else()
  target_compile_options(nv_sqlite3 PRIVATE -w -g0)
endif()
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(nv_sqlite3 PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
endif()

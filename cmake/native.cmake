# Native build: the posix side of the seam, unit and integration tests, benchmarks,
# and the Wine end-to-end suites registered as tests of their own.
file(GLOB NV_POSIX_SOURCES CONFIGURE_DEPENDS src/platform/posix/*.cpp)
add_library(norvane_posix STATIC ${NV_POSIX_SOURCES})
target_link_libraries(norvane_posix PUBLIC norvane_core)

enable_testing()
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

file(GLOB NV_FAKE_SOURCES CONFIGURE_DEPENDS tests/fakes/*.cpp)
add_library(norvane_fakes STATIC ${NV_FAKE_SOURCES})
target_include_directories(norvane_fakes PUBLIC tests)
target_link_libraries(norvane_fakes PUBLIC norvane_core)

file(GLOB NV_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${NV_UNIT_SOURCES})
target_link_libraries(unit_tests PRIVATE norvane_fakes norvane_posix GTest::gtest_main Threads::Threads)
add_test(NAME unit COMMAND unit_tests --gtest_brief=1)

file(GLOB NV_INTEGRATION_SOURCES CONFIGURE_DEPENDS tests/integration/*.cpp)
if(NV_INTEGRATION_SOURCES)
  add_executable(integration_tests ${NV_INTEGRATION_SOURCES})
  target_include_directories(integration_tests PRIVATE tests)
  target_link_libraries(integration_tests PRIVATE norvane_fakes norvane_posix GTest::gtest_main Threads::Threads)
  add_test(NAME integration COMMAND integration_tests --gtest_brief=1)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
  add_subdirectory(tests/fuzz)
endif()

# End-to-end suites: the Windows build's e2e_tests.exe under Wine, one fresh
# prefix per suite. They share port 80 and the single-instance mutex: run serially.
file(GLOB NV_E2E_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_e2e.cpp)
foreach(file ${NV_E2E_FILES})
  get_filename_component(suite ${file} NAME_WE)
  string(REGEX REPLACE "_e2e$" "" suite ${suite})
  add_test(NAME e2e.${suite} COMMAND ${CMAKE_SOURCE_DIR}/tools/e2e ${suite})
  set_tests_properties(e2e.${suite} PROPERTIES RESOURCE_LOCK wine TIMEOUT 900)
endforeach()

# The setup signed with a throw-away certificate; needs the win64 build.
add_test(NAME setup.signing COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/signing_test.sh)
set_tests_properties(setup.signing PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)

# Debian's chromium and firefox-esr write real cookie stores that norvane.exe
# cleans under Wine; the browsers then open them again.
add_test(NAME e2e.real_browsers COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/real_browsers/run)
set_tests_properties(e2e.real_browsers PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)
# Headed chromium under Xvfb against the HOSTS lines norvane.exe writes under
# Wine, in both modes of where blocked names point; the HTTPS ads counted.
# Headed firefox-esr likewise in the "0.0.0.0" mode.
add_test(NAME e2e.real_browsers_ads COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/real_browsers/ads)
set_tests_properties(e2e.real_browsers_ads PROPERTIES RESOURCE_LOCK wine TIMEOUT 900)

# The XP-style button gallery under Wine: GDI against the raster rendering.
add_test(NAME gallery COMMAND ${CMAKE_SOURCE_DIR}/tools/gallery)
set_tests_properties(gallery PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)

# Native build: the portable logic, its unit tests, and the end-to-end tests that drive the Windows build under Wine.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(plumwick-unit-tests ${UNIT_TESTS})
target_link_libraries(plumwick-unit-tests PRIVATE plumwick_core GTest::gtest GTest::gtest_main)
target_compile_options(plumwick-unit-tests PRIVATE ${PLUMWICK_WARNINGS})
target_compile_definitions(plumwick-unit-tests PRIVATE PLUMWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# gtest.h alone takes longer to parse than most test files take to compile.
target_precompile_headers(plumwick-unit-tests PRIVATE <gtest/gtest.h> ${PLUMWICK_STD_HEADERS})
gtest_discover_tests(plumwick-unit-tests DISCOVERY_TIMEOUT 60)

# PLUMWICK_WIN_BUILD names a finished cross build; its staged program is then tested for real under Wine.
set(PLUMWICK_WIN_BUILD "" CACHE PATH "Cross build folder whose stage/ is tested under Wine")
if(PLUMWICK_WIN_BUILD)
  file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  add_executable(plumwick-e2e-tests ${E2E_TESTS})
  target_link_libraries(plumwick-e2e-tests PRIVATE plumwick_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(plumwick-e2e-tests PRIVATE
    PLUMWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PLUMWICK_WIN_BUILD="${PLUMWICK_WIN_BUILD}")
  target_precompile_headers(plumwick-e2e-tests PRIVATE <gtest/gtest.h> ${PLUMWICK_STD_HEADERS})
  # Every session has its own display and Wine prefix, so the tests run side by side. The ten-thousand-
  # command runs take minutes and the folder that goes away waits for a 60 s look: a high cost starts them
  # first, so that nothing waits for them at the end.
  set(PLUMWICK_LONG_E2E "*TenThousand*:ContentSync.AFolderRenamedAway*")
  gtest_discover_tests(plumwick-e2e-tests DISCOVERY_TIMEOUT 60 TEST_FILTER "${PLUMWICK_LONG_E2E}"
    PROPERTIES TIMEOUT 600 COST 1000 LABELS wine)
  gtest_discover_tests(plumwick-e2e-tests DISCOVERY_TIMEOUT 60 TEST_FILTER "-${PLUMWICK_LONG_E2E}"
    PROPERTIES TIMEOUT 300 LABELS wine)
  add_test(NAME wine.inside-windows-tests
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${PLUMWICK_WIN_BUILD}/plumwick-wintests.exe)
  set_tests_properties(wine.inside-windows-tests PROPERTIES TIMEOUT 300 LABELS wine)
endif()

# Fuzz targets need clang's libFuzzer; the test script builds them in a clang build of their own.
option(PLUMWICK_FUZZ "Build the libFuzzer targets" OFF)
if(PLUMWICK_FUZZ)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  # scripts/fuzz.sh builds only this: the fuzz build's copy of the unit tests is never run.
  add_custom_target(plumwick-fuzz-targets)
  foreach(src IN LISTS FUZZ_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    add_dependencies(plumwick-fuzz-targets ${name})
    target_link_libraries(${name} PRIVATE plumwick_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
  target_compile_options(plumwick_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  # The instrumented core needs the sanitizer runtimes wherever it is linked, the unit tests included.
  target_link_options(plumwick-unit-tests PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endif()

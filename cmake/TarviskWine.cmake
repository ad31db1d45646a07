# Running Windows test programs under Wine from ctest.
#
# Every Windows executable's CROSSCOMPILING_EMULATOR is tools/wine-run.sh (set by the toolchain file; the build tree
# is added here so the wrapper always finds its prefix and display). Tests share one Wine prefix, one Xvfb and one
# desktop: they hold the "desktop" resource lock, and the "wine" fixture stops wineserver and Xvfb at the end.

set(TARVISK_WINE_RUN "${TARVISK_REPO_DIR}/tools/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${TARVISK_WINE_RUN};--build;${CMAKE_BINARY_DIR}")

function(tarvisk_add_wine_fixture)
  add_test(NAME wine_start COMMAND "${TARVISK_WINE_RUN}" --build "${CMAKE_BINARY_DIR}" --start)
  add_test(NAME wine_stop COMMAND "${TARVISK_WINE_RUN}" --build "${CMAKE_BINARY_DIR}" --stop)
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK desktop TIMEOUT 300)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK desktop TIMEOUT 60)
endfunction()

# tarvisk_add_wine_test(<target> [TIMEOUT seconds] [WORKING_DIRECTORY dir])
# Registers a GoogleTest executable as one ctest entry that runs its whole suite in one Wine process. Measured: a
# Wine process costs about 0.17 s to start even with the wineserver kept running, and the suites take 0.3-2.5 s each;
# gtest_discover_tests would start one process to list the cases and then one per case, several times the time for
# the same checks. gtest's own output names every failing case.
function(tarvisk_add_wine_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT;WORKING_DIRECTORY" "" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  add_test(NAME ${target} COMMAND ${target} --gtest_color=no WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}")
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine
    RESOURCE_LOCK desktop
    TIMEOUT ${ARG_TIMEOUT})
endfunction()

# Programs of the Windows cross build run under Wine in a prefix of the build tree:
# build steps that run a built tool make it when it is missing; a test run makes it
# anew first (fixture vantry_wine) and stops its wineserver at the end.
set(VANTRY_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(VANTRY_WINE_PREFIX_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-run
  CONTENT [[#!/bin/sh
# Generated: runs a program of this build tree under Wine in the tree's own prefix.
export WINEPREFIX=${WINEPREFIX:-@VANTRY_WINE_PREFIX@}
"@VANTRY_WINE_PREFIX_SCRIPT@" ensure "$WINEPREFIX" || exit 1
exec "@CMAKE_SOURCE_DIR@/cmake/wine-run.sh" "$@"
]] @ONLY)
file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

if(VANTRY_BUILD_TESTS)
  add_test(NAME wine_prefix_fresh
           COMMAND bash ${VANTRY_WINE_PREFIX_SCRIPT} fresh ${VANTRY_WINE_PREFIX})
  add_test(NAME wine_prefix_stop
           COMMAND bash ${VANTRY_WINE_PREFIX_SCRIPT} stop ${VANTRY_WINE_PREFIX})
  set_tests_properties(wine_prefix_fresh PROPERTIES FIXTURES_SETUP vantry_wine TIMEOUT 300)
  set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP vantry_wine)
endif()

# vantry_wine_test(NAME COMMAND ...): a test that runs a Windows program (the
# emulator runs it) in the fresh prefix, with the program folder named.
function(vantry_wine_test name)
  add_test(NAME ${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED vantry_wine
    ENVIRONMENT "WINEPREFIX=${VANTRY_WINE_PREFIX};VANTRY_PROGRAM_DIR=${VANTRY_PROGRAM_DIR}")
endfunction()

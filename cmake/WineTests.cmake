# Wine integration suites. Each suite is one process (a Python script or a test program) so that
# Wine's start-up is paid once per suite. A fixture prepares the private prefix and keeps one
# wineserver alive for the run; another stops it at the end.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(KIT_WINE_ENV
    "KIT_ROOT=${KIT_ROOT}"
    "KIT_BUILD_ROOT=${KIT_BUILD_ROOT}"
    "KIT_WIN_BIN=${CMAKE_BINARY_DIR}/bin"
    "KIT_WIN_TESTS=${CMAKE_BINARY_DIR}/tests"
    "KIT_MKINSTALL=${KIT_BUILD_ROOT}/host/bin/mkinstall"
    "PYTHONPATH=${KIT_ROOT}/tests/win"
    "PYTHONDONTWRITEBYTECODE=1")

if(NOT TEST wine.start)
  add_test(NAME wine.start COMMAND ${KIT_ROOT}/scripts/wine-prefix start)
  add_test(NAME wine.stop COMMAND ${KIT_ROOT}/scripts/wine-prefix stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine TIMEOUT 60)
endif()

# kit_wine_suite(NAME script.py [LABEL ui] [TIMEOUT s] [DEPENDS targets...])
function(kit_wine_suite name script)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL wine)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_test(NAME ${ARG_LABEL}.${name} COMMAND ${Python3_EXECUTABLE} -u ${script})
  set_tests_properties(${ARG_LABEL}.${name} PROPERTIES
      FIXTURES_REQUIRED wine LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "${KIT_WINE_ENV}" RESOURCE_LOCK wineprefix)
endfunction()

# Native build: the portable cores, mkinstall, GoogleTest suites, fuzzers, benchmarks.
option(KIT_SANITIZE "Build the host tree with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(KIT_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(KIT_BENCH "Build the benchmarks" OFF)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_options(-Wall -Wextra)
if(KIT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# kit_host_test(NAME sources... LIBS libs...): one GoogleTest program, one CTest entry per suite run.
function(kit_host_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME host.${name} COMMAND ${name})
  set_tests_properties(host.${name} PROPERTIES LABELS host TIMEOUT 600
      ENVIRONMENT "KIT_ROOT=${KIT_ROOT};KIT_BUILD_ROOT=${KIT_BUILD_ROOT}")
endfunction()

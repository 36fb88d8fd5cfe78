# One static library per layer, made of every .cpp below its folder (but not main/).
function(ombrel_layer name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER srcs EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/main/")
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
endfunction()

# One GoogleTest executable per layer, made of every .cpp below tests/<layer>. ctest runs it in
# SHARDS processes (gtest's own sharding: each runs every SHARDS-th test), not one process per
# test: starting a sanitized process and loading the libraries costs far more than most tests.
# Tests that need a folder of their own make it per process (the scratch folders carry the
# process id), so shards never share one. --gtest_brief keeps the output of a failing shard to
# its failures.
# GoogleTest's headers, parsed once per test executable instead of once per test file.
function(ombrel_test_pch target)
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h>)
endfunction()

set(OMBREL_TEST_SHARDS 2 CACHE STRING "ctest processes per test executable (Src gets four times as many)")
function(ombrel_layer_tests layer)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
  # Tests on a real X server live in their own executable, and the pieces several executables
  # share (media fixtures, gallery sections) are compiled once on their own (tests/CMakeLists.txt).
  list(FILTER srcs EXCLUDE REGEX "/(x11|fixtures|gallery)/")
  add_executable(${layer}_tests ${srcs})
  ombrel_test_pch(${layer}_tests)
  target_link_libraries(${layer}_tests PRIVATE ${layer} GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${layer}_tests PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${layer}_tests PRIVATE OMBREL_TEST_BUILD_DIR="${PROJECT_BINARY_DIR}"
                             OMBREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(shards ${OMBREL_TEST_SHARDS})
  if(layer STREQUAL "Src")
    math(EXPR shards "${shards} * 4")
  endif()
  math(EXPR last "${shards} - 1")
  foreach(i RANGE ${last})
    set(name ${layer}_tests.shard${i})
    add_test(NAME ${name} COMMAND ${layer}_tests --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS ${layer}
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${i};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/.ci/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1;ASAN_OPTIONS=detect_leaks=1")
  endforeach()
endfunction()

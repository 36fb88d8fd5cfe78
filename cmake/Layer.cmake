# One static library per layer, made of every .cpp below its folder (but not main/).
function(ombrel_layer name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER srcs EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/main/")
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
endfunction()

# One GoogleTest executable per layer, made of every .cpp below tests/<layer>.
function(ombrel_layer_tests layer)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
  add_executable(${layer}_tests ${srcs})
  target_link_libraries(${layer}_tests PRIVATE ${layer} GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${layer}_tests PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${layer}_tests PRIVATE OMBREL_TEST_BUILD_DIR="${PROJECT_BINARY_DIR}"
                             OMBREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${layer}_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${layer}
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/.ci/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1;ASAN_OPTIONS=detect_leaks=1")
endfunction()

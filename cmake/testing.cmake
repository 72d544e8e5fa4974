include(GoogleTest)

# A GoogleTest runner whose cases CTest lists and runs one by one, each
# with a time limit, so a hang fails fast. Cases are listed when CTest
# starts, through Wine for a Windows build.
function(consoletools_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 60)
  endif()
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} platform_testing GTest::gtest_main
                                          consoletools_warnings)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${arg_TIMEOUT} LABELS "${arg_LABELS}")
endfunction()

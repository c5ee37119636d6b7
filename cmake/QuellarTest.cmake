include(GoogleTest)

# quellar_add_test(<module> SOURCES <files...> [LIBRARIES <targets...>] [WIDGETS])
# Makes the one test executable of a module, test_<module>. WIDGETS tests get a
# main() that creates the QApplication; every test runs on the offscreen platform.
function(quellar_add_test module)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "WIDGETS" "" "SOURCES;LIBRARIES")
  set(target test_${module})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE
      ${ARG_LIBRARIES} quellar_test_support GTest::gtest GTest::gmock quellar_warnings)
  if(ARG_WIDGETS)
    target_link_libraries(${target} PRIVATE quellar_widgets_test_main)
  else()
    target_link_libraries(${target} PRIVATE quellar_core_test_main)
  endif()
  # Under Wine every process a test starts costs about a second, and a start
  # that Wine ends before the program prints anything is made once more.
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(timeout 180)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
        "${PROJECT_SOURCE_DIR}/scripts/wine-start;${CMAKE_CROSSCOMPILING_EMULATOR}")
  else()
    set(timeout 60)
  endif()
  # A case's name is the test's name; its printed value stays out of it.
  gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      NO_PRETTY_VALUES
      DISCOVERY_TIMEOUT 60
      PROPERTIES
        TIMEOUT ${timeout}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

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

# quellar_add_xvfb_test(<name> <command> [<arg>...])
# A test on an X display of its own (scripts/with-xvfb): no other test running
# beside it can take that display, and a test that gets none fails saying so
# instead of its program aborting for want of one. Under Wine the test also gets a
# Wine prefix of its own, wine-prefix-<name>: Wine's desktop process takes its
# display from the process that starts it, so a prefix shared with other tests
# could hold a desktop on another test's display, or on none. Add ENVIRONMENT with
# set_property(TEST <name> APPEND PROPERTY ENVIRONMENT ...) to keep the prefix.
function(quellar_add_xvfb_test name)
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb ${ARGN})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    string(MAKE_C_IDENTIFIER "${name}" prefix)
    get_filename_component(wine_dir "${CMAKE_CROSSCOMPILING_EMULATOR}" DIRECTORY)
    set_property(TEST ${name} PROPERTY ENVIRONMENT
        "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix-${prefix}"
        "WINESERVER=${wine_dir}/wineserver")
  endif()
endfunction()

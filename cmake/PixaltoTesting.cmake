# pixalto_add_test(NAME SOURCES... LIBS ...): one GoogleTest executable,
# registered with CTest test by test.
function(pixalto_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main pixalto_test_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "PIXALTO_CLI=$<TARGET_FILE:pixalto-cli>")
endfunction()

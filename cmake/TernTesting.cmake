# tern_add_test(NAME [OWN_MAIN] SOURCES sources... LIBS libs...): one GoogleTest executable,
# each test registered with CTest. OWN_MAIN: the sources bring main() (user-interface tests
# create their QApplication there). User-interface tests run on Qt's offscreen platform.
function(tern_add_test name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock tern_warnings)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TERN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TERN_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets"
    TERN_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

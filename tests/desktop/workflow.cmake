# The main window's workflow without the window: start-up from the configuration files, the
# listing with the user's ticks, the option grid, the field lists, the range, the data file,
# whole runs and saving, and the metafile opened for each operation, with the engine loaded as
# the real shared library and metafiles written by the project's own writer.
add_executable(workflow_tests
  run/run_fixture.cpp
  shell/main_workflow_fixture.cpp
  shell/main_workflow_test.cpp
  shell/metafile_session_test.cpp
)
target_link_libraries(workflow_tests PRIVATE
  ravelo_workflow metafile_writer edit_compiler GTest::gtest_main)
target_include_directories(workflow_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(workflow_tests PRIVATE VETRA40_LIBRARY_PATH="$<TARGET_FILE:VETRA40>")
add_dependencies(workflow_tests VETRA40)
gtest_discover_tests(workflow_tests DISCOVERY_TIMEOUT 60)

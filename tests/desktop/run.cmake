# The run without windows: the engine binding, the run driver, errors.db, the summary file,
# the run record and the run log, with the engine loaded as the real shared library from its
# build path and metafiles written by the project's own writer.
add_executable(run_tests
  run/run_fixture.cpp
  run/engine_binding_test.cpp
  run/edit_option_grid_test.cpp
  run/run_records_test.cpp
  run/run_driver_test.cpp
  run/message_limit_test.cpp
  run/run_edits_test.cpp
  run/results_database_test.cpp
  run/data_forms_test.cpp
  run/run_in_parts_test.cpp
)
target_link_libraries(run_tests PRIVATE
  ravelo_workflow metafile_writer edit_compiler GTest::gtest_main)
target_include_directories(run_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(run_tests PRIVATE VETRA40_LIBRARY_PATH="$<TARGET_FILE:VETRA40>")
add_dependencies(run_tests VETRA40)
gtest_discover_tests(run_tests DISCOVERY_TIMEOUT 60)

# NAACCR XML files read as flat records, from texts in memory.
add_executable(naaccr_xml_tests run/naaccr_xml_records_test.cpp)
target_link_libraries(naaccr_xml_tests PRIVATE ravelo_naaccr_xml GTest::gtest_main)
gtest_discover_tests(naaccr_xml_tests DISCOVERY_TIMEOUT 60)

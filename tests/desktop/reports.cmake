# The text, CSV and overview reports, read from the results of real runs: metafiles written by the
# project's writer, run with the engine loaded as the real shared library from its build path.
add_executable(report_tests
  run/run_fixture.cpp
  reports/report_fixture.cpp
  reports/detailed_report_test.cpp
  reports/summary_report_test.cpp
  reports/csv_report_test.cpp
  reports/unreadable_results_test.cpp
  reports/keyed_rows_test.cpp
  reports/report_options_test.cpp
  reports/report_viewer_test.cpp
  reports/report_files_test.cpp
  reports/overview_report_test.cpp
)
find_package(EXPAT REQUIRED)
target_link_libraries(report_tests PRIVATE
  ravelo_reports ravelo_workflow metafile_writer edit_compiler EXPAT::EXPAT GTest::gtest_main)
target_include_directories(report_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(report_tests PRIVATE VETRA40_LIBRARY_PATH="$<TARGET_FILE:VETRA40>"
  REPORT_FILES="${PROJECT_SOURCE_DIR}/tests/data/reports")
add_dependencies(report_tests VETRA40)
gtest_discover_tests(report_tests DISCOVERY_TIMEOUT 60)

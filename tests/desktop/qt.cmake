# The main window on Qt's offscreen platform, where Qt 6 is found.
if(TARGET ravelo_window)
  add_executable(main_window_tests
    run/run_fixture.cpp
    qt/main_window_test.cpp
    qt/display_tab_test.cpp
    qt/qt_layers_test.cpp
    qt/qt_test_main.cpp
  )
  target_link_libraries(main_window_tests PRIVATE
    ravelo_window metafile_writer edit_compiler GTest::gtest)
  target_include_directories(main_window_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(main_window_tests PRIVATE
    VETRA40_LIBRARY_PATH="$<TARGET_FILE:VETRA40>"
    HELP_PAGES="${PROJECT_SOURCE_DIR}/desktop/help")
  add_dependencies(main_window_tests VETRA40)
  gtest_discover_tests(main_window_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

  # The report options dialog and the viewer over the results of real runs; printing goes to
  # PDF files read back with pdftotext.
  add_executable(report_dialog_tests
    run/run_fixture.cpp
    reports/report_fixture.cpp
    qt/report_dialogs_test.cpp
    qt/qt_test_main.cpp
  )
  set_target_properties(report_dialog_tests PROPERTIES AUTOMOC ON)
  target_link_libraries(report_dialog_tests PRIVATE
    ravelo_report_dialogs ravelo_workflow metafile_writer edit_compiler GTest::gtest)
  target_include_directories(report_dialog_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(report_dialog_tests PRIVATE
    VETRA40_LIBRARY_PATH="$<TARGET_FILE:VETRA40>")
  add_dependencies(report_dialog_tests VETRA40)
  gtest_discover_tests(report_dialog_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

  # The program answers --version and --help without a window.
  add_test(NAME ravelo_version
    COMMAND ${CMAKE_COMMAND} "-DREGEX=^ravelo 1\\.2\\.8\n$"
            -P ${PROJECT_SOURCE_DIR}/tests/expect_output.cmake -- $<TARGET_FILE:ravelo> --version)
  add_test(NAME ravelo_help
    COMMAND ${CMAKE_COMMAND} "-DREGEX=^Usage: ravelo"
            -P ${PROJECT_SOURCE_DIR}/tests/expect_output.cmake -- $<TARGET_FILE:ravelo> --help)
  add_test(NAME ravelo_manual_page_describes_its_options
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:ravelo>
            -DPAGES=${PROJECT_SOURCE_DIR}/packaging/man/ravelo.1
            -P ${PROJECT_SOURCE_DIR}/tests/manual_page_options.cmake)
endif()

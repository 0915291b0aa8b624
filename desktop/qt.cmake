# The desktop program's windows on Qt 6 Widgets. Machines without Qt build everything else.
find_package(Qt6 COMPONENTS Widgets PrintSupport QUIET)
if(Qt6_FOUND)
  # One small layer per platform service the windows use; tests replace them.
  add_library(ravelo_qt_layers STATIC
    qt/file_dialogs.cpp
    qt/help_viewer.cpp
    qt/message_boxes.cpp
    qt/print_dialog.cpp
    qt/report_printer.cpp
    qt/shell_open.cpp
  )
  target_include_directories(ravelo_qt_layers PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(ravelo_qt_layers PUBLIC vetra_platform Qt6::Widgets Qt6::PrintSupport)

  # The report options dialog and the report viewer, their widgets in reports/*.ui.
  add_library(ravelo_report_dialogs STATIC
    reports/edrptdlg.cpp
    reports/rtreportopt.cpp
  )
  set_target_properties(ravelo_report_dialogs PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(ravelo_report_dialogs PUBLIC ravelo_reports ravelo_qt_layers)

  # The main window over the workflow, its widgets in the Designer form shell/Unit1.ui.
  add_library(ravelo_window STATIC
    qt/edit_option_grid_model.cpp
    qt/record_fields_model.cpp
    shell/Unit1.cpp
  )
  set_target_properties(ravelo_window PROPERTIES AUTOMOC ON AUTOUIC ON)
  target_link_libraries(ravelo_window PUBLIC
    ravelo_workflow ravelo_display ravelo_report_dialogs ravelo_qt_layers)

  # ravelo: the desktop program. Like ravelo-batch it loads the engine and the
  # file-information library by name, beside itself, from the build's lib/ or, installed, from
  # the installation's library folder.
  add_executable(ravelo shell/ravelo_main.cpp)
  target_link_libraries(ravelo PRIVATE ravelo_window)
  add_dependencies(ravelo VETRA40 kznaaccr ravelo_help)
  set_target_properties(ravelo PROPERTIES
    BUILD_RPATH "$ORIGIN;$ORIGIN/../lib;${PROJECT_BINARY_DIR}/lib"
    INSTALL_RPATH "${RAVELO_INSTALL_RPATH}")
  target_link_options(ravelo PRIVATE -Wl,--disable-new-dtags)
  install(TARGETS ravelo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

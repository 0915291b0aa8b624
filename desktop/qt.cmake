# The desktop program's windows on Qt 6 Widgets. Machines without Qt build everything else.
find_package(Qt6 COMPONENTS Widgets PrintSupport QUIET)
if(Qt6_FOUND)
  # One small layer per platform service the windows use; tests replace them.
  add_library(ravelo_qt_layers STATIC
    qt/file_dialogs.cpp
    qt/help_viewer.cpp
    qt/message_boxes.cpp
    qt/print_dialog.cpp
  )
  target_include_directories(ravelo_qt_layers PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(ravelo_qt_layers PUBLIC vetra_platform Qt6::Widgets Qt6::PrintSupport)
endif()

# The configuration files: the master configuration beside the program and the users'
# configuration files, over the platform's profile-file layer.
add_library(ravelo_configuration STATIC shell/configured_file_name.cpp shell/loaddata.cpp)
target_include_directories(ravelo_configuration PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ravelo_configuration PUBLIC vetra_platform)

# The profile-file layer, the program's folders and the configuration files, with files in
# scratch folders.
add_executable(configuration_tests
  profile_file_test.cpp
  program_folders_test.cpp
  broken_profile_test.cpp
  configuration_test.cpp
)
target_link_libraries(configuration_tests PRIVATE ravelo_configuration GTest::gtest_main)
target_include_directories(configuration_tests PRIVATE ${PROJECT_SOURCE_DIR})
gtest_discover_tests(configuration_tests DISCOVERY_TIMEOUT 60)

# Data file inspection and the binding of the NAACCR file-information library, which is loaded
# from the build's library folder through a run path, as the programs find it.
add_executable(filecheck_tests
  data_file_inspection_test.cpp
  filecheck_test.cpp
  open_data_file_test.cpp
)
target_link_libraries(filecheck_tests PRIVATE ravelo_filecheck GTest::gtest_main)
target_compile_definitions(filecheck_tests PRIVATE
  NAACCR_SYNTHETIC_RECORDS="${PROJECT_SOURCE_DIR}/../shared/naaccr/naaccr-180-incidence-synthetic-10.txt")
set_target_properties(filecheck_tests PROPERTIES BUILD_RPATH ${PROJECT_BINARY_DIR}/lib)
target_link_options(filecheck_tests PRIVATE -Wl,--disable-new-dtags)
gtest_discover_tests(filecheck_tests DISCOVERY_TIMEOUT 60)

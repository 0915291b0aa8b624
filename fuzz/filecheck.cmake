# The data file inspection, on arbitrary file contents.
add_executable(data_file_inspection_fuzz data_file_inspection_fuzz.cpp)
target_link_libraries(data_file_inspection_fuzz PRIVATE ravelo_data)
target_compile_options(data_file_inspection_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(data_file_inspection_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)

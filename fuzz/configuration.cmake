# The profile-file layer, on arbitrary INI file contents.
add_executable(ini_reader_fuzz ini_reader_fuzz.cpp)
target_link_libraries(ini_reader_fuzz PRIVATE vetra_platform)
target_compile_options(ini_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(ini_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)

# The NAACCR file-information library, which the program loads by name at start-up. Only its
# two C entry points are visible; it links nothing but the standard library.
add_library(kznaaccr SHARED kznaaccr/kznaaccr.cpp)
set_target_properties(kznaaccr PROPERTIES
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON
  LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)

# Data file inspection and the binding of the file-information library.
add_library(ravelo_filecheck STATIC
  shell/Ravfilecheck.cpp
  shell/data_file_fit.cpp
  shell/data_file_form_inspection.cpp
  shell/data_file_inspection.cpp
  shell/open_data_file.cpp
)
target_include_directories(ravelo_filecheck PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ravelo_filecheck PUBLIC ravelo_data_source vetra_platform)
# The binding finds the library at run time, so it must be built before anything that binds it.
add_dependencies(ravelo_filecheck kznaaccr)

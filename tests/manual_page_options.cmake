# Passes when every long option a program's --help names is described in each of the given
# pages (manual pages and help pages), so that no page falls behind the program.
#
#   cmake -DPROGRAM=path -DPAGES="page;page" -P manual_page_options.cmake
execute_process(COMMAND ${PROGRAM} --help RESULT_VARIABLE status OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help exited with ${status}")
endif()
string(REGEX MATCHALL "--[a-z][a-z-]*[a-z]" options "${out}${err}")
list(REMOVE_DUPLICATES options)
if(options STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help names no options")
endif()
foreach(page IN LISTS PAGES)
  file(READ ${page} text)
  # roff writes a hyphen as \- and HTML may put an option in <code>; both read as plain text.
  string(REPLACE "\\-" "-" text "${text}")
  foreach(option IN LISTS options)
    string(FIND "${text}" "${option}" at)
    if(at EQUAL -1)
      list(APPEND missing "${option} in ${page}")
    endif()
  endforeach()
endforeach()
if(missing)
  list(JOIN missing "\n  " lines)
  message(FATAL_ERROR "options of ${PROGRAM} --help not described:\n  ${lines}")
endif()

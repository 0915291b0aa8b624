# The overview report in a real browser: ravelo-batch checks generated NAACCR 18 records against
# the sample metafile, as the demo does, twice, and writes the overview of the second run; headless Chromium takes a
# screenshot of it and prints it to PDF. Fails when Chromium is missing, when either file is
# empty, or when the PDF's text (pdftotext) lacks the headline figures ravelo-batch printed.
#
#   cmake -DRAVELO_BATCH=path -DNAACCR_GENERATE=path -DSAMPLE_METAFILE=path
#         -DSAMPLE_CONFIGURATION=path -DSAMPLE_LAYOUT=path -DWORK=folder
#         -P overview_in_browser.cmake
find_program(CHROMIUM NAMES chromium chromium-browser)
find_program(PDFTOTEXT pdftotext)
if(NOT CHROMIUM OR NOT PDFTOTEXT)
  message(FATAL_ERROR "chromium and pdftotext are needed: run scripts/install-deps.sh")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(page ${WORK}/demo_overview.html)

# Two runs over different records, so that the second one's overview compares with the first.
foreach(seed 17 18)
  execute_process(COMMAND ${NAACCR_GENERATE} --layout ${SAMPLE_LAYOUT} --records 2000
                          --seed ${seed} -o ${WORK}/records.txt
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "naaccr_generate exited with ${status}")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env RAVELO_HOME=${WORK}
            ${RAVELO_BATCH} --config ${SAMPLE_CONFIGURATION} --metafile ${SAMPLE_METAFILE}
            --data ${WORK}/records.txt --results ${WORK}/query --report overview
            --report-file ${page} --title "Demo Run"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status GREATER 1 OR NOT EXISTS ${page})
    message(FATAL_ERROR "ravelo-batch exited with ${status}:\n${out}${err}")
  endif()
endforeach()

# "1234567" -> "1,234,567", as the page writes its counts.
function(grouped number result)
  set(text "")
  while(number MATCHES "^([0-9]+)([0-9][0-9][0-9])$")
    set(text ",${CMAKE_MATCH_2}${text}")
    set(number ${CMAKE_MATCH_1})
  endwhile()
  set(${result} "${number}${text}" PARENT_SCOPE)
endfunction()
string(REGEX MATCH "Records checked: *([0-9]+)" _ "${out}")
grouped("${CMAKE_MATCH_1}" checked)
string(REGEX MATCH "Records with exceptions: *([0-9]+)" _ "${out}")
grouped("${CMAKE_MATCH_1}" failing)
if(checked STREQUAL "" OR failing STREQUAL "")
  message(FATAL_ERROR "ravelo-batch printed no counts:\n${out}")
endif()

# Chromium as root needs --no-sandbox; its own profile and home keep it out of the user's.
set(chromium ${CMAKE_COMMAND} -E env HOME=${WORK}/home ${CHROMIUM} --headless --no-sandbox
    --disable-gpu --no-first-run --hide-scrollbars --virtual-time-budget=5000
    --user-data-dir=${WORK}/profile)
execute_process(COMMAND ${chromium} --screenshot=${WORK}/overview.png --window-size=1000,1400
                        file://${page}
  TIMEOUT 120 RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
execute_process(COMMAND ${chromium} --no-pdf-header-footer --print-to-pdf=${WORK}/overview.pdf
                        file://${page}
  TIMEOUT 120 RESULT_VARIABLE pdfStatus OUTPUT_QUIET ERROR_VARIABLE pdfErr)
foreach(made overview.png overview.pdf)
  set(size 0)
  if(EXISTS ${WORK}/${made})
    file(SIZE ${WORK}/${made} size)
  endif()
  if(size EQUAL 0)
    message(FATAL_ERROR "chromium made no ${made} (${status}, ${pdfStatus}):\n${err}${pdfErr}")
  endif()
endforeach()

execute_process(COMMAND ${PDFTOTEXT} ${WORK}/overview.pdf - RESULT_VARIABLE status
  OUTPUT_VARIABLE text)
string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")
foreach(wanted "Headline figures" "${checked} records checked" "${failing} (" "records with failures"
               "Edits ranked by failures" "Failures along the file" "Compared with the previous run")
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the printed overview lacks \"${wanted}\":\n${text}")
  endif()
endforeach()
message(STATUS "overview printed with ${checked} records checked, ${failing} with failures: "
               "${WORK}/overview.png, ${WORK}/overview.pdf")

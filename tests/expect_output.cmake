# Runs a program and passes when it exits with status 0 and its output (standard output and
# standard error together) matches REGEX: a program that prints what is expected and then
# crashes or fails still fails the test.
#
#   cmake -DREGEX=regex -P expect_output.cmake -- program [argument]...
set(command "")
set(after_separator FALSE)
foreach(i RANGE 1 ${CMAKE_ARGC})
  if(i EQUAL CMAKE_ARGC)
    break()
  endif()
  if(after_separator)
    string(REPLACE ";" "\\;" argument "${CMAKE_ARGV${i}}") # one argument, not a list
    list(APPEND command "${argument}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()
if(command STREQUAL "")
  message(FATAL_ERROR "no program given after --")
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "${command} exited with ${status}\n${out}${err}")
endif()
if(NOT "${out}${err}" MATCHES "${REGEX}")
  message(FATAL_ERROR "the output does not match ${REGEX}:\n${out}${err}")
endif()

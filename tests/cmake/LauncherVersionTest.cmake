# The launcher's version resource header from the build's variables: versions
# that cannot be one are refused, and texts are escaped for the resource script.
#   cmake -P tests/cmake/LauncherVersionTest.cmake
cmake_policy(VERSION 3.25)
set(work ${CMAKE_CURRENT_BINARY_DIR}/launcher-version-test)

# version | company | the line the header must hold, or the fault expected
set(cases
  "1.2.3.4|Acme|#define PELLQUIN_VERSION_NUMBERS 1,2,3,4"
  "0.1.0.0|Acme \"Q\" C:\\x|#define PELLQUIN_COMPANY_NAME \"Acme \"\"Q\"\" C:\\\\x\""
  "0.1.0.0|Acme|#define PELLQUIN_LEGAL_COPYRIGHT \"Copyright (C) Acme\""
  "0.1.0.0|Acme|#define PELLQUIN_FILE_DESCRIPTION \"Acme Tools web-based installer\""
  "1.2.3|Acme|is not of the form A.B.C.D"
  "1.2.3.4.5|Acme|is not of the form A.B.C.D"
  "1.2.x.4|Acme|is not of the form A.B.C.D"
  "1.2.3.65536|Acme|each part must be 0 to 65535"
  "1.2.3.0000001|Acme|each part must be 0 to 65535"
)

if(DEFINED CASE)
  include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/LauncherVersion.cmake)
  list(GET cases ${CASE} row)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 PELLQUIN_FILE_VERSION)
  list(GET fields 1 PELLQUIN_COMPANY_NAME)
  set(PELLQUIN_SUITE_NAME "Acme Tools")
  pellquin_launcher_version(${OUT})
  return()
endif()

set(failures 0)
list(LENGTH cases count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET cases ${i} row)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 2 expected)
  set(header ${work}/case${i}.h)
  file(REMOVE ${header})
  execute_process(COMMAND ${CMAKE_COMMAND} -DCASE=${i} -DOUT=${header} -P ${CMAKE_CURRENT_LIST_FILE}
    RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
  if(expected MATCHES "^#define")
    set(text "")
    if(EXISTS ${header})
      file(READ ${header} text)
    endif()
    string(FIND "${text}" "${expected}\n" at)
    if(NOT status EQUAL 0 OR at EQUAL -1)
      message("FAIL case ${i}: status ${status}, header:\n${text}${err}")
      math(EXPR failures "${failures} + 1")
    endif()
  else()
    string(FIND "${err}" "${expected}" at)
    if(status EQUAL 0 OR at EQUAL -1)
      message("FAIL case ${i}: status ${status}, wanted '${expected}':\n${err}")
      math(EXPR failures "${failures} + 1")
    endif()
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} of ${count} cases failed")
endif()
message("${count} cases passed")

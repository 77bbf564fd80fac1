# The launcher's version resource header from the build's variables: versions
# that cannot be one are refused, and texts are escaped for the resource script.
#   cmake -P tests/cmake/LauncherVersionTest.cmake
cmake_policy(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/CaseTable.cmake)

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
  pellquin_case_fields("${row}" fields)
  list(GET fields 0 PELLQUIN_FILE_VERSION)
  list(GET fields 1 PELLQUIN_COMPANY_NAME)
  set(PELLQUIN_SUITE_NAME "Acme Tools")
  pellquin_launcher_version(${OUT})
  return()
endif()
pellquin_run_case_table(${CMAKE_CURRENT_LIST_FILE} ${cases})

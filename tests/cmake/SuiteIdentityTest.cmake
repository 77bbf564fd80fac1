# The configure-time check of the suite a launcher is built for, over a table of
# good and bad values: each case runs the check in a CMake of its own, which must
# succeed or stop with the expected fault.
#   cmake -P tests/cmake/SuiteIdentityTest.cmake
cmake_policy(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/CaseTable.cmake)
set(GUID "{5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E97}")
string(REPEAT "n" 122 longest)
string(REPEAT "n" 123 too_long)
string(REPEAT "日" 122 longest_wide)
string(REPEAT "😀" 62 too_long_wide) # two units each
string(ASCII 9 tab)

# name | folder | GUID | the fault expected ("-" for none)
set(cases
  "Orvandis Demo Suite|Orvandis Demo Suite|${GUID}|-"
  "Acme Tools|Acme^Tools|{abcdef01-2345-6789-abcd-ef0123456789}|-"
  "Grüße|Grüße 日本|${GUID}|-"
  "${longest}|${longest_wide}|${GUID}|-"
  "Acme|Acme|not-a-guid|PELLQUIN_SUITE_GUID 'not-a-guid' is not a GUID"
  "Acme|Acme|5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E97|is not a GUID"
  "Acme|Acme|{5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E9}|is not a GUID"
  "Acme|Acme|{5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E9G}|is not a GUID"
  "Acme|Acme|{5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E97} |is not a GUID"
  "|Acme|${GUID}|PELLQUIN_SUITE_NAME is empty"
  "${too_long}|Acme|${GUID}|PELLQUIN_SUITE_NAME has 123 characters, more than 122"
  "Acme${tab}Tools|Acme|${GUID}|PELLQUIN_SUITE_NAME holds a control character"
  "Acme||${GUID}|PELLQUIN_SUITE_FOLDER is empty"
  "Acme|${too_long}|${GUID}|PELLQUIN_SUITE_FOLDER has 123 characters"
  "Acme|${too_long_wide}|${GUID}|PELLQUIN_SUITE_FOLDER has 124 characters"
  "Acme|Acme^^Tools|${GUID}|has an empty part"
  "Acme|^Acme|${GUID}|has an empty part"
  "Acme|Acme^|${GUID}|has an empty part"
  "Acme|a^b^c|${GUID}|has more than two levels"
  "Acme|Acme:Tools|${GUID}|holds a character Windows reserves"
  "Acme|Acme?|${GUID}|holds a character Windows reserves"
  "Acme|Acme/Tools|${GUID}|holds a character Windows reserves"
  "Acme|Acme.|${GUID}|ending with a dot or a space"
  "Acme|Acme |${GUID}|ending with a dot or a space"
  "Acme|Acme^..|${GUID}|ending with a dot or a space"
  "Acme|con|${GUID}|is a device name (CON)"
  "Acme|Acme^NUL.txt|${GUID}|is a device name (NUL)"
  "Acme|lpt9|${GUID}|is a device name (LPT9)"
  "Acme|COM10|${GUID}|-"
  "Acme|Console|${GUID}|-"
  "Acme|Acme${tab}|${GUID}|holds a control character"
)

if(DEFINED CASE)
  include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/SuiteIdentity.cmake)
  list(GET cases ${CASE} row)
  pellquin_case_fields("${row}" fields)
  list(GET fields 0 name)
  list(GET fields 1 folder)
  list(GET fields 2 guid)
  pellquin_check_suite_identity("${name}" "${folder}" "${guid}")
  return()
endif()
pellquin_run_case_table(${CMAKE_CURRENT_LIST_FILE} ${cases})

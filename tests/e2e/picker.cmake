# The Browse button's folder picker, driven by its own driver; the cases are in
# run_picker.py and use the harness of run_e2e.py.
add_executable(e2e_picker_driver e2e_picker_driver.cpp)
target_link_libraries(e2e_picker_driver PRIVATE pellquin_flags)
target_link_options(e2e_picker_driver PRIVATE -municode)

if(NOT PELLQUIN_RUN_WINDOWS_TESTS)
  return()
endif()

set(PICKER_RUNNER ${CMAKE_CURRENT_SOURCE_DIR}/run_picker.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${PICKER_RUNNER} --list
  OUTPUT_VARIABLE picker_cases OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PICKER_RUNNER})
string(REPLACE "\n" ";" picker_cases "${picker_cases}")
foreach(line IN LISTS picker_cases)
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 0 name)
  add_test(NAME e2e.${name}
    COMMAND ${Python3_EXECUTABLE} ${PICKER_RUNNER} --case ${name}
            --launcher ${CMAKE_BINARY_DIR}/bin/Pellquin.exe
            --driver $<TARGET_FILE:e2e_picker_driver>
            --setup $<TARGET_FILE:e2e_setup>
            --wine-run ${CMAKE_SOURCE_DIR}/tests/wine/wine-run
            --prefix ${CMAKE_BINARY_DIR}/wineprefix
            --work ${CMAKE_CURRENT_BINARY_DIR}/work
            --display-file ${CMAKE_CURRENT_BINARY_DIR}/display
            --strings ${CMAKE_SOURCE_DIR}/resources/strings/strings.json
            "--suite-name=${PELLQUIN_SUITE_NAME}"
            "--suite-folder=${PELLQUIN_SUITE_FOLDER}"
            "--suite-guid=${PELLQUIN_SUITE_GUID}")
  # The picker's default folder and the preferences are machine-wide.
  set_tests_properties(e2e.${name} PROPERTIES
    FIXTURES_REQUIRED e2e_display SKIP_RETURN_CODE 77 TIMEOUT 300 RESOURCE_LOCK e2e_preferences)
endforeach()

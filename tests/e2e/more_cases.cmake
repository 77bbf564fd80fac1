# Further end-to-end cases, on the harness of run_e2e.py: the Browse button's folder
# picker (run_picker.py, with its own driver) and the signature self-check
# (run_signature.py).
add_executable(e2e_picker_driver e2e_picker_driver.cpp)
target_link_libraries(e2e_picker_driver PRIVATE pellquin_flags)
target_link_options(e2e_picker_driver PRIVATE -municode)

include(languages.cmake)

if(NOT PELLQUIN_RUN_WINDOWS_TESTS)
  return()
endif()

# pellquin_e2e_runner(RUNNER DRIVER): one test per case that RUNNER lists.
function(pellquin_e2e_runner runner driver)
  set(script ${CMAKE_CURRENT_SOURCE_DIR}/${runner})
  execute_process(COMMAND ${Python3_EXECUTABLE} ${script} --list
    OUTPUT_VARIABLE cases OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  string(REPLACE "\n" ";" cases "${cases}")
  foreach(line IN LISTS cases)
    string(REPLACE " " ";" fields "${line}")
    list(GET fields 0 name)
    add_test(NAME e2e.${name}
      COMMAND ${Python3_EXECUTABLE} ${script} --case ${name}
              --launcher ${CMAKE_BINARY_DIR}/bin/Pellquin.exe
              --driver $<TARGET_FILE:${driver}>
              --setup $<TARGET_FILE:e2e_setup>
              --wine-run ${CMAKE_SOURCE_DIR}/tests/wine/wine-run
              --prefix ${CMAKE_BINARY_DIR}/wineprefix
              --work ${CMAKE_CURRENT_BINARY_DIR}/work
              --display-file ${CMAKE_CURRENT_BINARY_DIR}/display
              --strings ${CMAKE_SOURCE_DIR}/resources/strings/strings.json
              "--suite-name=${PELLQUIN_SUITE_NAME}"
              "--suite-folder=${PELLQUIN_SUITE_FOLDER}"
              "--suite-guid=${PELLQUIN_SUITE_GUID}")
    set_tests_properties(e2e.${name} PROPERTIES
      FIXTURES_REQUIRED e2e_display SKIP_RETURN_CODE 77 TIMEOUT 300)
    if(line MATCHES " preferences$")
      # The preferences file and the picker's default folder are machine-wide.
      set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK e2e_preferences)
    endif()
    if(runner MATCHES "run_(languages|banner)[.]py$")
      # Their screenshots take the whole display: no other case may show a window meanwhile.
      set_tests_properties(e2e.${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
endfunction()

pellquin_e2e_runner(run_picker.py e2e_picker_driver)
pellquin_e2e_runner(run_signature.py e2e_driver)
pellquin_e2e_runner(run_languages.py e2e_picker_driver)
pellquin_e2e_runner(run_banner.py e2e_picker_driver)

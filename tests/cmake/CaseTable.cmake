# A table of cases for a check that stops a configure: each case runs in a CMake
# of its own (the including script again, with CASE and OUT defined), since a
# fatal error ends the CMake it happens in. A case's last field says what must
# happen: "-" success, "#define ..." success with that line in the file OUT, any
# other text a failure whose message holds it.

# The fields of a case (separated by "|"; a "^" stands for a backslash, which a
# CMake list would take as an escape).
function(pellquin_case_fields row out)
  string(REPLACE "|" ";" fields "${row}")
  list(TRANSFORM fields REPLACE "\\^" "\\\\")
  set(${out} "${fields}" PARENT_SCOPE)
endfunction()

# Runs every case of `cases` (a list of rows) and stops with the failures.
function(pellquin_run_case_table script)
  set(cases ${ARGN})
  # A folder of the script's own: ctest runs the tables side by side, in one folder.
  get_filename_component(table ${script} NAME_WE)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/case-table/${table})
  set(failures 0)
  list(LENGTH cases count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET cases ${i} row)
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields -1 expected)
    set(out ${work}/case${i}.txt)
    file(REMOVE ${out})
    execute_process(COMMAND ${CMAKE_COMMAND} -DCASE=${i} -DOUT=${out} -P ${script}
      RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
    set(text "")
    if(EXISTS ${out})
      file(READ ${out} text)
    endif()
    if(expected STREQUAL "-")
      set(ok FALSE)
      if(status EQUAL 0)
        set(ok TRUE)
      endif()
    elseif(expected MATCHES "^#define")
      string(FIND "${text}" "${expected}\n" at)
      set(ok FALSE)
      if(status EQUAL 0 AND NOT at EQUAL -1)
        set(ok TRUE)
      endif()
    else()
      string(FIND "${err}" "${expected}" at)
      set(ok FALSE)
      if(NOT status EQUAL 0 AND NOT at EQUAL -1)
        set(ok TRUE)
      endif()
    endif()
    if(NOT ok)
      message("FAIL case ${i} (${row}): status ${status}, wanted '${expected}':\n${text}${err}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
  if(failures)
    message(FATAL_ERROR "${failures} of ${count} cases failed")
  endif()
  message("${count} cases passed")
endfunction()

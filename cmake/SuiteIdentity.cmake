# The suite a launcher is built for: a name, a folder and a GUID that make a
# launcher that works. A GUID the launcher cannot compare, a folder Windows cannot
# create, or a name or folder so long that the launcher refuses every download
# folder would each build "successfully" and fail on the customer's machine.
#
# pellquin_check_suite_identity(NAME FOLDER GUID) stops the configure with a line
# per fault. As a script:
#   cmake -DPELLQUIN_SUITE_NAME=... -DPELLQUIN_SUITE_FOLDER=... -DPELLQUIN_SUITE_GUID=...
#         -P cmake/SuiteIdentity.cmake

cmake_policy(VERSION 3.25)
set(_SUITE_IDENTITY_STRINGS ${CMAKE_CURRENT_LIST_DIR}/../resources/strings/strings.json)

# The longest suite folder (and name, which vendors use as the folder) in UTF-16
# units. The launcher refuses a download folder when the length reserved for the
# payload's paths (string 135) plus the folder's path and "Installer" exceed
# MAX_PATH (260); the shortest folder that holds the suite's is "C:\FOLDER\".
function(_pellquin_suite_longest out)
  file(READ ${_SUITE_IDENTITY_STRINGS} json)
  string(JSON count LENGTH "${json}" strings)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON id GET "${json}" strings ${i} id)
    if(id EQUAL 135)
      string(JSON reserve GET "${json}" strings ${i} all)
    endif()
  endforeach()
  string(LENGTH "Installer" installer)
  math(EXPR longest "260 - ${reserve} - ${installer} - 4")
  set(${out} ${longest} PARENT_SCOPE)
endfunction()

# The length of UTF-8 text in UTF-16 units: every byte but continuation bytes,
# and two units for a four-byte sequence.
function(_pellquin_utf16_length text out)
  string(HEX "${text}" hex)
  string(REGEX MATCHALL ".." bytes "${hex}")
  set(units 0)
  foreach(byte IN LISTS bytes)
    if(NOT byte MATCHES "^[89ab]")
      math(EXPR units "${units} + 1")
    endif()
    if(byte MATCHES "^f")
      math(EXPR units "${units} + 1")
    endif()
  endforeach()
  set(${out} ${units} PARENT_SCOPE)
endfunction()

# Control characters (and a line break would end the string table's line).
function(_pellquin_has_control text out)
  string(HEX "${text}" hex)
  string(REGEX MATCHALL ".." bytes "${hex}")
  set(found FALSE)
  foreach(byte IN LISTS bytes)
    if(byte MATCHES "^[01]" OR byte STREQUAL "7f")
      set(found TRUE)
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Why `component` cannot be a Windows folder name; empty when it can.
function(_pellquin_component_fault component out)
  set(fault "")
  _pellquin_has_control("${component}" control)
  string(FIND "${component}" "." dot)
  string(SUBSTRING "${component}" 0 ${dot} base)
  string(TOUPPER "${base}" base)
  string(STRIP "${base}" base)
  if(component STREQUAL "")
    set(fault "has an empty part (a leading, trailing or doubled backslash)")
  elseif(control)
    set(fault "holds a control character")
  elseif(component MATCHES "[<>:\"/|?*]")
    set(fault "holds a character Windows reserves (< > : \" / | ? *)")
  elseif(component MATCHES "[. ]$")
    set(fault "has a part ending with a dot or a space")
  elseif(base MATCHES "^(CON|PRN|AUX|NUL|CLOCK\\$|COM[1-9]|LPT[1-9])$")
    set(fault "has a part that is a device name (${base})")
  endif()
  set(${out} "${fault}" PARENT_SCOPE)
endfunction()

function(pellquin_check_suite_identity name folder guid)
  set(faults "")
  _pellquin_suite_longest(longest)

  _pellquin_utf16_length("${name}" name_length)
  _pellquin_has_control("${name}" name_control)
  if(name STREQUAL "")
    list(APPEND faults "PELLQUIN_SUITE_NAME is empty")
  elseif(name_control)
    list(APPEND faults "PELLQUIN_SUITE_NAME holds a control character")
  elseif(name_length GREATER longest)
    list(APPEND faults "PELLQUIN_SUITE_NAME has ${name_length} characters, more than ${longest}")
  endif()

  # One level below the download root, or two with one backslash.
  _pellquin_utf16_length("${folder}" folder_length)
  string(REPLACE "\\" ";" parts "${folder}")
  list(LENGTH parts levels)
  if(folder STREQUAL "")
    list(APPEND faults "PELLQUIN_SUITE_FOLDER is empty")
  elseif(folder_length GREATER longest)
    list(APPEND faults
      "PELLQUIN_SUITE_FOLDER has ${folder_length} characters, more than ${longest}")
  elseif(folder MATCHES ";")
    list(APPEND faults "PELLQUIN_SUITE_FOLDER holds a semicolon")
  else()
    foreach(part IN LISTS parts)
      _pellquin_component_fault("${part}" fault)
      if(fault)
        list(APPEND faults "PELLQUIN_SUITE_FOLDER ${fault}")
        break()
      endif()
    endforeach()
    if(NOT fault AND levels GREATER 2)
      list(APPEND faults "PELLQUIN_SUITE_FOLDER has more than two levels (one backslash at most)")
    endif()
  endif()

  set(hex "[0-9A-Fa-f]")
  set(form "^{${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}-${hex}${hex}${hex}${hex}-${hex}${hex}${hex}${hex}-${hex}${hex}${hex}${hex}-${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}${hex}}$")
  if(NOT guid MATCHES "${form}")
    list(APPEND faults
      "PELLQUIN_SUITE_GUID '${guid}' is not a GUID in braces, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}")
  endif()

  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "The suite cannot make a working launcher:\n  ${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  pellquin_check_suite_identity("${PELLQUIN_SUITE_NAME}" "${PELLQUIN_SUITE_FOLDER}"
                                "${PELLQUIN_SUITE_GUID}")
endif()

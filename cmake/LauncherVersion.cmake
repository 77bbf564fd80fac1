# The launcher's version resource, from the PELLQUIN_* version variables: a
# header of definitions that Pellquin.rc includes.

# `text` as the inside of a resource-script string: backslashes and quotes escaped.
function(_pellquin_rc_text text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# pellquin_launcher_version(HEADER): writes HEADER, or stops the configure when a
# value cannot make a version resource.
function(pellquin_launcher_version header)
  set(version "${PELLQUIN_FILE_VERSION}")
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "PELLQUIN_FILE_VERSION '${version}' is not of the form A.B.C.D")
  endif()
  foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
    string(LENGTH "${part}" digits)
    if(digits GREATER 5 OR part GREATER 65535)
      message(FATAL_ERROR "PELLQUIN_FILE_VERSION '${version}': each part must be 0 to 65535")
    endif()
  endforeach()
  string(REPLACE "." "," numbers "${version}")

  set(company "${PELLQUIN_COMPANY_NAME}")
  set(product "${PELLQUIN_PRODUCT_NAME}")
  if(product STREQUAL "")
    set(product "${PELLQUIN_SUITE_NAME}")
  endif()
  set(description "${PELLQUIN_FILE_DESCRIPTION}")
  if(description STREQUAL "")
    set(description "${PELLQUIN_SUITE_NAME} web-based installer")
  endif()
  set(copyright "${PELLQUIN_LEGAL_COPYRIGHT}")
  if(copyright STREQUAL "")
    set(copyright "Copyright (C) ${company}")
  endif()
  foreach(name company product description copyright)
    _pellquin_rc_text("${${name}}" ${name})
  endforeach()
  file(CONFIGURE OUTPUT ${header} CONTENT [[
// Generated from the build's PELLQUIN_* version variables.
#pragma code_page(65001)
#define PELLQUIN_VERSION_NUMBERS @numbers@
#define PELLQUIN_VERSION_TEXT "@version@"
#define PELLQUIN_COMPANY_NAME "@company@"
#define PELLQUIN_PRODUCT_NAME "@product@"
#define PELLQUIN_FILE_DESCRIPTION "@description@"
#define PELLQUIN_LEGAL_COPYRIGHT "@copyright@"
]] @ONLY)
endfunction()

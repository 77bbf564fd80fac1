# A launcher that offers all six UI languages (the shipped one offers English
# only), for the cases that run it in each language: the same program with string
# tables generated for that language list, split as the launcher's are (the packed
# blocks are the same for every language list).
set(LANGUAGES_GEN ${CMAKE_BINARY_DIR}/generated/all-languages)
add_custom_command(
  OUTPUT ${LANGUAGES_GEN}/StringTables.rc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LANGUAGES_GEN}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/strings/gen_strings.py
          ${CMAKE_SOURCE_DIR}/resources/strings/strings.json
          "--define=PELLQUIN_SUITE_NAME=${PELLQUIN_SUITE_NAME}"
          "--define=PELLQUIN_SUITE_FOLDER=${PELLQUIN_SUITE_FOLDER}"
          "--define=PELLQUIN_SUITE_GUID=${PELLQUIN_SUITE_GUID}"
          "--define=PELLQUIN_UI_LANGUAGES=1031,1033,1036,1041,1042,2052"
          ${LAUNCHER_STRING_SPLIT} --kept-rc ${LANGUAGES_GEN}/StringTables.rc
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/strings/gen_strings.py
          ${CMAKE_SOURCE_DIR}/resources/strings/strings.json
  COMMENT "Generating the string tables with every UI language"
  VERBATIM)
quillkit_compile_string_script(${LANGUAGES_GEN}/StringTables.rc
                               ${LANGUAGES_GEN}/StringTables.res.o)

get_target_property(launcher_sources Pellquin SOURCES)
get_target_property(launcher_libraries Pellquin LINK_LIBRARIES)
get_target_property(launcher_definitions Pellquin COMPILE_DEFINITIONS)
get_target_property(launcher_options Pellquin LINK_OPTIONS)
set(sources)
foreach(source IN LISTS launcher_sources)
  if(source MATCHES "(StringTables|KeptStrings)\\.res\\.o$")
    continue()
  endif()
  if(NOT IS_ABSOLUTE ${source})
    set(source ${CMAKE_SOURCE_DIR}/app/${source})
  endif()
  list(APPEND sources ${source})
endforeach()
add_executable(PellquinLanguages WIN32 ${sources} ${LANGUAGES_GEN}/StringTables.res.o)
target_link_libraries(PellquinLanguages PRIVATE ${launcher_libraries})
if(launcher_definitions)
  target_compile_definitions(PellquinLanguages PRIVATE ${launcher_definitions})
endif()
target_link_options(PellquinLanguages PRIVATE ${launcher_options})

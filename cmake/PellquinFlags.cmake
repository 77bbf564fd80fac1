# Compile settings shared by every target of ours: `pellquin_flags` carries the
# include root, the warnings and the sanitizers; third-party code does not get it.
add_library(pellquin_flags INTERFACE)
target_include_directories(pellquin_flags INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_features(pellquin_flags INTERFACE cxx_std_20)
target_compile_options(pellquin_flags INTERFACE -Wall -Wextra -Werror)

if(WIN32)
  target_compile_definitions(pellquin_flags INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Each function in its own section, so that programs linked with --gc-sections keep
  # only what they use. Not -fdata-sections: MinGW's GCC then files zero-initialised
  # objects under .data$ with their zeros stored in the file (some 100 KB of tables),
  # where .bss costs nothing.
  target_compile_options(pellquin_flags INTERFACE -ffunction-sections)
  # The objects carry both machine code and the compiler's intermediate form. Programs
  # link the machine code (-fno-lto: else the linker would take the intermediate form
  # whenever it finds it); the launcher is linked as one unit from the intermediate form
  # (pellquin_link_whole_program).
  target_compile_options(pellquin_flags INTERFACE -flto -ffat-lto-objects)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit Windows unwinds with DWARF tables, needed only where an exception can pass:
    # functions that cannot throw get none (some 2.5 KB of the launcher). (64-bit Windows
    # unwinds every frame from its own tables, which must stay complete.)
    target_compile_options(pellquin_flags INTERFACE -fno-asynchronous-unwind-tables)
    # Nothing of ours asks a type at run time (no typeid, no dynamic_cast): without the
    # type descriptions of every polymorphic class the launcher is some 10 KB smaller.
    # Thrown types still get theirs, which exception handling needs.
    target_compile_options(pellquin_flags INTERFACE -fno-rtti)
  endif()
  add_link_options(-fno-lto)
  # One self-contained executable: no MinGW runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(PELLQUIN_SANITIZE)
  set(PELLQUIN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  target_compile_options(pellquin_flags INTERFACE ${PELLQUIN_SANITIZER_FLAGS})
  target_link_options(pellquin_flags INTERFACE ${PELLQUIN_SANITIZER_FLAGS})
endif()

if(PELLQUIN_TSAN)
  set(PELLQUIN_TSAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(pellquin_flags INTERFACE ${PELLQUIN_TSAN_FLAGS})
  target_link_options(pellquin_flags INTERFACE ${PELLQUIN_TSAN_FLAGS})
endif()

if(PELLQUIN_FUZZ)
  # Coverage for libFuzzer in every library of ours; the fuzz targets add the driver.
  target_compile_options(pellquin_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()

# pellquin_module(NAME SOURCES... [DEPENDS targets...])
# One area of the engine as a static library, added to `vexmar`.
function(pellquin_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES})
  target_link_libraries(${name} PUBLIC pellquin_flags ${M_DEPENDS})
  target_link_libraries(vexmar INTERFACE ${name})
endfunction()

# Links a program as one unit from the intermediate form of our libraries, so that the code
# nothing calls is never generated. Without it --gc-sections keeps most dead functions on
# Windows: the linker keeps every unwind table, and each table holds on to the functions it
# describes. One partition: GCC 12's partitioned link for MinGW fails with an internal error.
function(pellquin_link_whole_program target)
  target_link_options(${target} PRIVATE -flto -flto-partition=none)
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -fno-asynchronous-unwind-tables -fno-rtti)
  endif()
endfunction()

# libbz2 (the product's) and liblzma (the tests' reference for LZMA) for the Windows builds:
# static libraries compiled with the build's own toolchain from Debian's source packages.
include(DebianSource)
pellquin_debian_sources(bzip2 xz-utils)
set(PELLQUIN_BZIP2_DIR ${PELLQUIN_DEBIAN_SOURCES_DIR}/bzip2)
set(PELLQUIN_XZ_DIR ${PELLQUIN_DEBIAN_SOURCES_DIR}/xz-utils)

# libbz2 is its seven library sources.
add_library(pellquin_bz2 STATIC
  ${PELLQUIN_BZIP2_DIR}/blocksort.c ${PELLQUIN_BZIP2_DIR}/bzlib.c
  ${PELLQUIN_BZIP2_DIR}/compress.c ${PELLQUIN_BZIP2_DIR}/crctable.c
  ${PELLQUIN_BZIP2_DIR}/decompress.c ${PELLQUIN_BZIP2_DIR}/huffman.c
  ${PELLQUIN_BZIP2_DIR}/randtable.c ${CMAKE_SOURCE_DIR}/codecs/bzip2/Bzip2InternalError.c)
target_include_directories(pellquin_bz2 SYSTEM PUBLIC ${PELLQUIN_BZIP2_DIR})
# The launcher only decodes. Each function in a section of its own, and no unwind tables
# (whose entries would keep every function: nothing unwinds through this C code, which
# calls no code of ours), let the linker drop the rest.
set(PELLQUIN_THIRD_PARTY_SECTIONS
  -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables)
target_compile_options(pellquin_bz2 PRIVATE ${PELLQUIN_THIRD_PARTY_SECTIONS})
# Without its file functions and their messages (the engine decodes from memory): an
# inconsistency it finds in its own state goes to bz_internal_error, ours. What stdio
# remains goes through the runtime DLL's own functions (imports, no code) rather than
# MinGW's C99 printf engine, which would be linked for it alone.
target_compile_definitions(pellquin_bz2 PRIVATE BZ_NO_STDIO __USE_MINGW_ANSI_STDIO=0)

# liblzma comes from xz-utils' own CMake project, of which only the static library
# is built. Its programs are defined only where getopt_long is found: saying it is
# missing leaves them, and the configure checks they need, out altogether.
block()
  set(BUILD_SHARED_LIBS OFF)
  set(BUILD_TESTING OFF)
  set(HAVE_GETOPT_LONG OFF)
  add_subdirectory(${PELLQUIN_XZ_DIR} ${CMAKE_BINARY_DIR}/third-party/xz-utils
                   EXCLUDE_FROM_ALL SYSTEM)
endblock()
# Its own warning flags report on code that is not ours to change.
target_compile_options(liblzma PRIVATE -w ${PELLQUIN_THIRD_PARTY_SECTIONS})
add_library(pellquin_lzma INTERFACE)
target_link_libraries(pellquin_lzma INTERFACE liblzma)
target_include_directories(pellquin_lzma SYSTEM INTERFACE ${PELLQUIN_XZ_DIR}/src/liblzma/api)
# Without it lzma.h declares every function as imported from liblzma.dll.
target_compile_definitions(pellquin_lzma INTERFACE LZMA_API_STATIC)

# Cross-compiling for Windows with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELLQUIN_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLQUIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLQUIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLQUIN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PELLQUIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# 32-bit Windows leaves the stack 4-byte aligned where it calls us (window procedures,
# thread starts) and malloc 8-byte aligned, while GCC would assume 16 for both. Functions
# holding 16-byte data realign their own frame, and over-aligned types get the aligned new.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2 -mpreferred-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2 -mpreferred-stack-boundary=2 -faligned-new=8")

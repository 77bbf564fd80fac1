# libbz2, the only third-party library of the product, and liblzma, which only the tests
# link: it is the yardstick our LZMA decoder is checked against. Natively they come from
# Debian's -dev packages; for the MinGW targets they are cross-compiled from Debian's source
# packages (CrossDeps.cmake).
if(NOT CMAKE_CROSSCOMPILING)
  find_package(BZip2 REQUIRED)
  find_package(LibLZMA REQUIRED)
  add_library(pellquin_bz2 INTERFACE)
  target_link_libraries(pellquin_bz2 INTERFACE BZip2::BZip2)
  add_library(pellquin_lzma INTERFACE)
  target_link_libraries(pellquin_lzma INTERFACE LibLZMA::LibLZMA)
else()
  include(CrossDeps)
endif()

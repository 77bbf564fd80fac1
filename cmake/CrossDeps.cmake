# Placeholder until the cross build of libbz2 and liblzma lands.
add_library(pellquin_bz2 INTERFACE)
add_library(pellquin_lzma INTERFACE)

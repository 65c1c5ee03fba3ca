# What both trees compile against, and how they run programs.

# The Windows headers of the oldest system each build serves, so that they hide every
# later function: Windows 95 and NT 4 (with comctl32 and shell32 4.00) for the 32-bit
# build, 64-bit Windows XP / Server 2003 for the 64-bit one. Anything newer is looked
# up with GetProcAddress and has a fallback. The import check (cmake/Product.cmake)
# holds each binary to the same target.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TOLVANE_TARGET_WINDOWS XP64)
  add_compile_definitions(WINVER=0x0502 _WIN32_WINNT=0x0502 _WIN32_IE=0x0600 STRICT)
else()
  set(TOLVANE_TARGET_WINDOWS 95)
  add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 STRICT)
endif()
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

# Programs run under Wine in the tree's own prefix (see scripts/wine-prefix).
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "The Wine prefix the tests run in")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(WINE_LOADER /usr/lib/wine/wine64)
else()
  set(WINE_LOADER /usr/lib/wine/wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run ${WINE_PREFIX} ${WINE_LOADER})

# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix,
# binutils-mingw-w64-x86-64). Programs built here run through wine64, headless, with a
# Wine prefix of their own in the build tree; tests run the same way.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tv_triple x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex need it.
set(CMAKE_C_COMPILER ${_tv_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tv_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_tv_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tv_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only libraries come from the build machine (stb, CLI11); GoogleTest is built
# from its sources. Neither may put the build machine's /usr/include on the path.
set(TILVARA_HOST_HEADERS_DIR /usr/include CACHE PATH
    "Folder holding the header-only libraries stb and CLI for a cross build")
set(TILVARA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources, built with the project for a cross build")

find_program(TILVARA_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(TILVARA_WINE64)
  # No display, no Mono or Gecko installers, no debug chatter.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
      WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
      ${TILVARA_WINE64})
endif()

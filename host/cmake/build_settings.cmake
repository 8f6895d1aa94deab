# Settings shared by the whole tree and by the stand-in host configured on its own:
# language level, warnings, sanitizers, and where binaries go.
include_guard(GLOBAL)

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

option(TILVARA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TILVARA_TSAN "Build with ThreadSanitizer" OFF)
option(TILVARA_BUILD_TESTS "Build the test suites" ON)
option(TILVARA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

add_compile_options(-Wall -Wextra)
if(TILVARA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TILVARA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(TILVARA_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TILVARA_FUZZ needs clang (CC=clang CXX=clang++)")
endif()

# Every shared library and the plug-in folder sit together, as they do in the host's
# installation: executables find the host libraries next to themselves.
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_BUILD_RPATH "$ORIGIN;$ORIGIN/..")

if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The compiler's run-time libraries sit beside the executables, as the host libraries do,
  # so that every module shares one C++ run-time library (one heap of iostreams, one set of
  # exception tables), as on the other platforms.
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE _tv_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${_tv_dll}" AND EXISTS "${_tv_dll}")
      file(COPY ${_tv_dll} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    else()
      message(FATAL_ERROR "${dll} of ${CMAKE_CXX_COMPILER} not found")
    endif()
  endforeach()
endif()

if(WIN32)
  # A Unicode build: the plain names of Win32 calls are the wide ones. No min/max macros.
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _USE_MATH_DEFINES)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The parameter and type tables make more sections than the default object format holds.
    add_compile_options(-Wa,-mbig-obj)
    # Threads get the 8 MB of stack they have on Linux (the linker's default is 2 MB), so
    # that scripts recurse as deep on both.
    add_link_options(-Wl,--stack,8388608)
  endif()
endif()

# A cross build takes the header-only libraries from the build machine through a folder of
# links to them alone, so that the rest of that machine's headers stay out of the build.
set(TILVARA_HOST_HEADERS_DIR "" CACHE PATH
    "Folder holding the header-only libraries stb and CLI (a cross build; empty: found as usual)")
if(TILVARA_HOST_HEADERS_DIR)
  set(_tv_headers ${CMAKE_BINARY_DIR}/host-headers)
  foreach(dir stb CLI)
    file(MAKE_DIRECTORY ${_tv_headers})
    file(REMOVE ${_tv_headers}/${dir})
    file(CREATE_LINK ${TILVARA_HOST_HEADERS_DIR}/${dir} ${_tv_headers}/${dir} SYMBOLIC)
  endforeach()
  set(TILVARA_STB_INCLUDE_DIR ${_tv_headers} CACHE PATH "Folder that holds stb/" FORCE)
  set(CLI11_INCLUDE_DIR ${_tv_headers} CACHE PATH "Folder that holds CLI/" FORCE)
  # The image reader and writer are built from the same headers as the library the build
  # machine has, so images are read and written alike.
  file(WRITE ${_tv_headers}/stb_impl.c
       "#define STB_IMAGE_IMPLEMENTATION\n#define STB_IMAGE_WRITE_IMPLEMENTATION\n"
       "#include <stb/stb_image.h>\n#include <stb/stb_image_write.h>\n")
  add_library(maxhost_stb STATIC ${_tv_headers}/stb_impl.c)
  target_include_directories(maxhost_stb PUBLIC ${_tv_headers})
  target_compile_options(maxhost_stb PRIVATE -w)
  set(TILVARA_STB_LIBRARY maxhost_stb CACHE STRING "The stb image library" FORCE)
endif()

find_package(Threads REQUIRED)
set(TILVARA_GTEST_SOURCE_DIR "" CACHE PATH
    "GoogleTest sources to build with the project (a cross build; empty: the installed one)")
if(TILVARA_BUILD_TESTS)
  enable_testing()
  if(TILVARA_GTEST_SOURCE_DIR)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TILVARA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(lib gtest gtest_main gmock gmock_main)
      if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} ALIAS ${lib})
      endif()
    endforeach()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# maxhost_add_gtests(<test executable> [LABEL <label>] [gtest_discover_tests options...])
# Registers a GoogleTest executable with CTest: each test on its own, or, where tests run
# through an emulator (Windows programs under Wine), the executable as one test, so that
# neither the build nor each test pays for starting the emulator. LABEL lets a run pick a
# group of tests (`ctest -L plugin`).
function(maxhost_add_gtests target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "LABEL" "")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    if(ARG_LABEL)
      set_tests_properties(${target} PROPERTIES LABELS ${ARG_LABEL})
    endif()
  elseif(ARG_LABEL)
    gtest_discover_tests(${target} ${ARG_UNPARSED_ARGUMENTS} PROPERTIES LABELS ${ARG_LABEL})
  else()
    gtest_discover_tests(${target} ${ARG_UNPARSED_ARGUMENTS})
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/fuzzing.cmake)

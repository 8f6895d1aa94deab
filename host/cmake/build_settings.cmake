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

find_package(Threads REQUIRED)
if(TILVARA_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/fuzzing.cmake)

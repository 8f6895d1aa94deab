# Building the plug-in alone against a real 3ds Max SDK (MAXSDK_DIR), as 3ds Max plug-ins are
# built: natively on Windows, usually with MSVC, against the SDK's include/ and its import
# libraries in lib/x64/Release. The stand-in host, the command-line host, tests and
# benchmarks are not built; the result is bin/plugins/Tilvara.dlt for the host's plug-in
# folder.
include_guard(GLOBAL)

if(NOT IS_DIRECTORY "${MAXSDK_DIR}/include")
  message(FATAL_ERROR "MAXSDK_DIR: '${MAXSDK_DIR}' has no include/ folder")
endif()

set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
if(MSVC)
  add_compile_options(/W4 /utf-8 /EHsc)
else()
  add_compile_options(-Wall -Wextra)
endif()

# The SDK's headers, with the definitions its own samples build with.
add_library(maxsdk_headers INTERFACE)
target_include_directories(maxsdk_headers INTERFACE ${MAXSDK_DIR}/include)
target_compile_features(maxsdk_headers INTERFACE cxx_std_17)
target_compile_definitions(maxsdk_headers INTERFACE
  WIN32 _WINDOWS _USRDLL UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN ISOLATION_AWARE_ENABLED=1)

# The SDK's import libraries the plug-in links, and the system's.
set(TILVARA_SDK_LIBS)
foreach(name core geom mesh maxutil maxscrpt paramblk2 bmm)
  find_library(MAXSDK_${name}_LIBRARY NAMES ${name} ${name}.lib
               HINTS ${MAXSDK_DIR}/lib/x64/Release ${MAXSDK_DIR}/lib/x64 ${MAXSDK_DIR}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  list(APPEND TILVARA_SDK_LIBS ${MAXSDK_${name}_LIBRARY})
endforeach()
add_library(maxsdk_libraries INTERFACE)
target_link_libraries(maxsdk_libraries INTERFACE ${TILVARA_SDK_LIBS} comctl32 shell32 user32
                      kernel32)

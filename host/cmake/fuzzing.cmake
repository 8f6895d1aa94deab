# libFuzzer targets. The code under test is compiled into each fuzzer so that it is
# instrumented; the fuzzers are built only with -DTILVARA_FUZZ=ON and clang.
#
#   maxhost_add_fuzzer(<name> SOURCES <file>... CORPUS <seed dir>... [DICT <file>]
#                      [LIBRARIES <lib>...])
#
# Every fuzzer is listed in <build>/fuzzers.txt, one line each:
# "<name> <executable> <dictionary or -> <seed dir>...", which scripts/fuzz.sh reads.
include_guard(GLOBAL)

set_property(GLOBAL PROPERTY MAXHOST_FUZZERS "")

function(maxhost_add_fuzzer name)
  cmake_parse_arguments(ARG "" "DICT" "SOURCES;CORPUS;LIBRARIES" ${ARGN})
  if(NOT ARG_DICT)
    set(ARG_DICT -)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE maxsdk_headers maxsdk_internal maxbase ${ARG_LIBRARIES})
  list(JOIN ARG_CORPUS " " seeds)
  set_property(GLOBAL APPEND PROPERTY MAXHOST_FUZZERS
               "${name} $<TARGET_FILE:${name}> ${ARG_DICT} ${seeds}")
endfunction()

# Called once, after every fuzzer was added.
function(maxhost_write_fuzzer_list)
  get_property(fuzzers GLOBAL PROPERTY MAXHOST_FUZZERS)
  list(JOIN fuzzers "\n" lines)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers.txt CONTENT "${lines}\n")
endfunction()

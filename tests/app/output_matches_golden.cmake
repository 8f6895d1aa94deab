# Runs a command of the command-line host and compares what it wrote with a golden file
# made by the Linux build, so that every build is held to the same bytes.
#   cmake -DCOMMAND=<arg|arg|...> -DGOLDEN=<file> -DOUTPUT=<file>
#         [-DFROM_STDOUT=ON] -P output_matches_golden.cmake
# The command writes OUTPUT itself, or with FROM_STDOUT its standard output is OUTPUT; that
# text is compared with line ends unified (a Windows console writes CR LF), files exactly.
foreach(var COMMAND GOLDEN OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "output_matches_golden.cmake: ${var} must be given")
  endif()
endforeach()
string(REPLACE "|" ";" command "${COMMAND}")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${command}\nfailed (${status}):\n${err}")
endif()
if(FROM_STDOUT)
  string(REPLACE "\r\n" "\n" out "${out}")
  file(WRITE "${OUTPUT}" "${out}")
  file(READ "${GOLDEN}" golden)
  string(REPLACE "\r\n" "\n" golden "${golden}")
  if(NOT out STREQUAL golden)
    message(FATAL_ERROR "${OUTPUT} differs from ${GOLDEN}:\n${out}")
  endif()
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${GOLDEN}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${OUTPUT} differs from ${GOLDEN}")
  endif()
endif()

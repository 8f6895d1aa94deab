# Copies a text file with CR LF line ends and no UTF-8 byte-order mark, as the
# resource compiler must see the dialog script.
# cmake -DIN=<file> -DOUT=<file> -P crlf.cmake
if(NOT DEFINED IN OR NOT DEFINED OUT)
  message(FATAL_ERROR "crlf.cmake: IN and OUT must be given")
endif()
file(READ "${IN}" head LIMIT 3 HEX)
if(head STREQUAL "efbbbf")
  file(READ "${IN}" content OFFSET 3)
else()
  file(READ "${IN}" content)
endif()
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
file(WRITE "${OUT}.tmp" "${content}")
file(RENAME "${OUT}.tmp" "${OUT}")

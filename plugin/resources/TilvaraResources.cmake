# Compiles Tilvara.rc into a .res and carries it inside a built library as the
# ELF section ".rsrc", where the stand-in's resource calls find it (a PE file
# carries its resources the same way).
#
#   tilvara_attach_resources(<target>)   attach the resources to <target>
#   TILVARA_RESOURCES_RES                path of the compiled .res
#   tilvara_resources                    target that builds it
include_guard(GLOBAL)

set(_tv_res_src ${CMAKE_CURRENT_LIST_DIR})
set(_tv_res_gen ${CMAKE_BINARY_DIR}/plugin/resources/gen)
set(TILVARA_RESOURCES_RES ${_tv_res_gen}/Tilvara.res CACHE INTERNAL "Compiled resources of Tilvara.dlt")

find_program(TILVARA_WINDRES NAMES x86_64-w64-mingw32-windres windres
             DOC "Resource compiler that writes .res files")
if(NOT TILVARA_WINDRES)
  message(WARNING "windres not found (Debian: binutils-mingw-w64-x86-64); Tilvara.dlt is built without resources")
endif()

# The logo is drawn by a small program at build time.
add_executable(tilvara_make_logo ${_tv_res_src}/make_logo.cpp)
target_compile_features(tilvara_make_logo PRIVATE cxx_std_17)
set_target_properties(tilvara_make_logo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

add_custom_command(
  OUTPUT ${_tv_res_gen}/Tilvara_logo.bmp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_tv_res_gen}
  COMMAND tilvara_make_logo ${_tv_res_gen}/Tilvara_logo.bmp
  DEPENDS tilvara_make_logo
  COMMENT "Drawing the Tilvara logo"
  VERBATIM)

add_custom_command(
  OUTPUT ${_tv_res_gen}/TilvaraManager.ms
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_tv_res_gen}
  COMMAND ${CMAKE_COMMAND} -DIN=${_tv_res_src}/TilvaraManager.ms -DOUT=${_tv_res_gen}/TilvaraManager.ms
          -P ${_tv_res_src}/crlf.cmake
  DEPENDS ${_tv_res_src}/TilvaraManager.ms ${_tv_res_src}/crlf.cmake
  COMMENT "Giving the manager dialog script CR LF line ends"
  VERBATIM)

if(TILVARA_WINDRES)
  # windres finds files named in the .rc in its working directory first (the
  # generated ones), then in the include directories (the committed ones).
  add_custom_command(
    OUTPUT ${TILVARA_RESOURCES_RES}
    COMMAND ${TILVARA_WINDRES} --preprocessor=${CMAKE_C_COMPILER} --preprocessor-arg=-E
            --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED -I ${_tv_res_src}
            -i ${_tv_res_src}/Tilvara.rc -O res -o ${TILVARA_RESOURCES_RES}
    WORKING_DIRECTORY ${_tv_res_gen}
    DEPENDS ${_tv_res_src}/Tilvara.rc ${_tv_res_src}/resource.h ${_tv_res_src}/Tilvara.manifest
            ${_tv_res_gen}/Tilvara_logo.bmp ${_tv_res_gen}/TilvaraManager.ms
    COMMENT "Compiling Tilvara.rc"
    VERBATIM)
  add_custom_target(tilvara_resources DEPENDS ${TILVARA_RESOURCES_RES})
else()
  add_custom_target(tilvara_resources)
endif()

function(tilvara_attach_resources target)
  if(NOT TILVARA_WINDRES)
    return()
  endif()
  add_dependencies(${target} tilvara_resources)
  # Relink when the resources change, so that the section is never stale.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TILVARA_RESOURCES_RES})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.rsrc --add-section .rsrc=${TILVARA_RESOURCES_RES}
            --set-section-flags .rsrc=contents,readonly $<TARGET_FILE:${target}>
    COMMENT "Adding resources to $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()

# Win32 resources for libraries the stand-in loads. A .rc file is compiled by windres
# into a .res, which travels inside the built library as its ELF section ".rsrc", where
# the stand-in's resource calls find it. On Windows the .res is linked into the PE
# library as its resource section, where the system's resource calls find it.
#
#   maxhost_compile_rc(<target> RC <file.rc> OUTPUT <file.res>
#                      [WORKING_DIRECTORY <dir>] [INCLUDE <dir>...] [DEPENDS <file>...])
#       adds the custom target <target> that writes <file.res>
#   maxhost_attach_res(<library> <res target> <file.res>)
#       puts the compiled resources into <library> after each link
include_guard(GLOBAL)

find_program(MAXHOST_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED
             DOC "Resource compiler that writes .res files (Debian: binutils-mingw-w64-x86-64)")

function(maxhost_compile_rc target)
  cmake_parse_arguments(ARG "" "RC;OUTPUT;WORKING_DIRECTORY" "INCLUDE;DEPENDS" ${ARGN})
  if(NOT ARG_WORKING_DIRECTORY)
    get_filename_component(ARG_WORKING_DIRECTORY ${ARG_OUTPUT} DIRECTORY)
  endif()
  get_filename_component(rc_dir ${ARG_RC} DIRECTORY)
  set(includes -I ${rc_dir})
  foreach(dir ${ARG_INCLUDE})
    list(APPEND includes -I ${dir})
  endforeach()
  # windres finds files named in the .rc in its working directory first (generated
  # ones), then in the include directories (committed ones).
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_WORKING_DIRECTORY}
    COMMAND ${MAXHOST_WINDRES} --preprocessor=${CMAKE_C_COMPILER} --preprocessor-arg=-E
            --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED ${includes}
            -i ${ARG_RC} -O res -o ${ARG_OUTPUT}
    WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY}
    DEPENDS ${ARG_RC} ${ARG_DEPENDS}
    COMMENT "Compiling ${ARG_RC}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${ARG_OUTPUT})
endfunction()

function(maxhost_attach_res library res_target res_file)
  add_dependencies(${library} ${res_target})
  if(WIN32)
    # A PE library carries its resources as the linker lays them out: the .res becomes an
    # object file that is linked in, as Windows builds do.
    set(object ${res_file}.${library}.obj)
    add_custom_command(
      OUTPUT ${object}
      COMMAND ${MAXHOST_WINDRES} -J res -O coff -i ${res_file} -o ${object}
      DEPENDS ${res_file} ${res_target}
      COMMENT "Converting ${res_file} to an object for ${library}"
      VERBATIM)
    set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    target_sources(${library} PRIVATE ${object})
    return()
  endif()
  # Relink when the resources change, so that the section is never stale.
  set_property(TARGET ${library} APPEND PROPERTY LINK_DEPENDS ${res_file})
  add_custom_command(TARGET ${library} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.rsrc --add-section .rsrc=${res_file}
            --set-section-flags .rsrc=contents,readonly $<TARGET_FILE:${library}>
    COMMENT "Adding resources to $<TARGET_FILE_NAME:${library}>"
    VERBATIM)
endfunction()

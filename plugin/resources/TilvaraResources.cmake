# Compiles the resource script into a .res and carries it inside a built library as its
# resource section (host/cmake/resources.cmake says how).
#
#   tilvara_attach_resources(<target>)   attach the resources to <target>
#   TILVARA_RESOURCES_RES                path of the compiled .res
#   TILVARA_RESOURCES_SCRIPT             the dialog script source it carries
#   tilvara_resources                    target that builds it
include_guard(GLOBAL)

set(_tv_res_src ${CMAKE_CURRENT_LIST_DIR})
set(_tv_res_gen ${CMAKE_BINARY_DIR}/plugin/resources/gen)
set(TILVARA_RESOURCES_RES ${_tv_res_gen}/Tilvara.res CACHE INTERNAL "Compiled resources of Tilvara.dlt")


# Release 2.01 (the hosts up to 2015) has resources of its own; the hosts up to 2018 run the
# dialog script whose functions are members of its struct.
if(TILVARA_MAX_VERSION LESS 2017)
  set(_tv_res_rc ${_tv_res_src}/Tilvara201.rc)
else()
  set(_tv_res_rc ${_tv_res_src}/Tilvara.rc)
endif()
if(TILVARA_MAX_VERSION LESS 2019)
  set(_tv_res_script ${_tv_res_src}/TilvaraManagerMembers.ms)
else()
  set(_tv_res_script ${_tv_res_src}/TilvaraManager.ms)
endif()
set(TILVARA_RESOURCES_SCRIPT ${_tv_res_script} CACHE INTERNAL "The dialog script this build carries")

# The logo is drawn by a small program at build time.
add_executable(tilvara_make_logo ${_tv_res_src}/make_logo.cpp)
target_compile_features(tilvara_make_logo PRIVATE cxx_std_17)
set_target_properties(tilvara_make_logo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
if(WIN32)
  # It runs at build time from its own folder, beside none of the run-time libraries.
  target_link_options(tilvara_make_logo PRIVATE -static)
endif()

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
  COMMAND ${CMAKE_COMMAND} -DIN=${_tv_res_script} -DOUT=${_tv_res_gen}/TilvaraManager.ms
          -P ${_tv_res_src}/crlf.cmake
  DEPENDS ${_tv_res_script} ${_tv_res_src}/crlf.cmake
  COMMENT "Giving the manager dialog script CR LF line ends"
  VERBATIM)

set(_tv_res_generated ${_tv_res_gen}/Tilvara_logo.bmp ${_tv_res_gen}/TilvaraManager.ms)

if(MAXSDK_DIR)
  # Against a real SDK the platform's resource compiler builds Tilvara.rc as a source of the
  # library, as Windows builds do; the generated files are found through its include path.
  enable_language(RC)
  add_custom_target(tilvara_resources DEPENDS ${_tv_res_generated})
  function(tilvara_attach_resources target)
    set(src ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    set(gen ${CMAKE_BINARY_DIR}/plugin/resources/gen)
    target_sources(${target} PRIVATE ${src}/Tilvara.rc)
    set_source_files_properties(${src}/Tilvara.rc PROPERTIES OBJECT_DEPENDS
      "${gen}/Tilvara_logo.bmp;${gen}/TilvaraManager.ms;${src}/resource.h;${src}/Tilvara.manifest")
    target_include_directories(${target} PRIVATE ${gen} ${src})
    add_dependencies(${target} tilvara_resources)
  endfunction()
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../../host/cmake/resources.cmake)

maxhost_compile_rc(tilvara_resources
  RC ${_tv_res_rc}
  OUTPUT ${TILVARA_RESOURCES_RES}
  WORKING_DIRECTORY ${_tv_res_gen}
  DEPENDS ${_tv_res_src}/resource.h ${_tv_res_src}/Tilvara.manifest ${_tv_res_generated})

function(tilvara_attach_resources target)
  maxhost_attach_res(${target} tilvara_resources ${TILVARA_RESOURCES_RES})
endfunction()

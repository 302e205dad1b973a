# Delay-loaded system libraries for the Windows build.
#
# Most system DLLs the program links serve a command (a dial, the fault check, an update,
# a file chooser), not the window shown at start-up. Linked as usual, the loader maps each
# of them, and every DLL they import in turn, before the program's first line runs; under
# Wine that is most of a start-up's time. Linked through a delay-import library, a DLL is
# loaded by the first call into it (mingw-w64's __delayLoadHelper2).
#
# tarnix_delay_import(<dll>) makes the target delay_<dll>: an import library with the same
# functions as mingw-w64's lib<dll>.a, built by dlltool from a .def listing them.
function(tarnix_delay_import dll)
  find_library(_import_lib NAMES lib${dll}.a ${dll} NO_CACHE REQUIRED)
  string(REPLACE "gcc" "" _prefix "${CMAKE_C_COMPILER}")
  string(REGEX REPLACE "-posix$" "" _prefix "${_prefix}")
  set(_nm ${_prefix}nm)
  set(_dlltool ${_prefix}dlltool)
  set(_dir ${PROJECT_BINARY_DIR}/delay)
  set(_lib ${_dir}/libdelay_${dll}.a)
  add_custom_command(
    OUTPUT ${_lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
    COMMAND ${CMAKE_COMMAND} -DNM=${_nm} -DIMPORT_LIB=${_import_lib} -DDLL=${dll}
            -DDEF=${_dir}/${dll}.def -P ${PROJECT_SOURCE_DIR}/cmake/WriteDef.cmake
    COMMAND ${_dlltool} --input-def ${_dir}/${dll}.def --output-delaylib ${_lib}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/WriteDef.cmake
    COMMENT "Delay-import library for ${dll}.dll"
    VERBATIM)
  add_custom_target(delay_${dll}_lib DEPENDS ${_lib})
  add_library(delay_${dll} STATIC IMPORTED GLOBAL)
  set_target_properties(delay_${dll} PROPERTIES IMPORTED_LOCATION ${_lib})
  add_dependencies(delay_${dll} delay_${dll}_lib)
endfunction()

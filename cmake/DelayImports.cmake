# Delay-load import libraries: a DLL named this way is loaded at the first call
# of one of its functions instead of at process start. Pellaro.exe uses them for
# the DLLs only its dialogs need, so that its start-up maps and initialises
# less (comdlg32 alone pulls in the print spooler).
#
#   pellaro_delay_import(<variable> <dll> <function>@<argument bytes> ...)
#
# sets <variable> to the library's path. The argument bytes are the 32-bit
# stdcall decoration; the 64-bit build drops them. The DLL's ordinary import
# library is taken out of the default link, so a function missing from the
# list fails the link instead of quietly loading the DLL at start again.
function(pellaro_delay_import variable dll)
  get_filename_component(stem "${dll}" NAME_WE)
  set(folder "${CMAKE_BINARY_DIR}/delay")
  set(def "${folder}/${stem}.def")
  set(library "${folder}/lib${stem}_delay.a")
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(function ${ARGN})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
    endif()
    string(APPEND text "${function}\n")
  endforeach()
  file(WRITE "${def}.new" "${text}")
  configure_file("${def}.new" "${def}" COPYONLY)
  set(kill_at "")
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kill_at --kill-at)
  endif()
  # Run in its folder: dlltool names the library's symbols after the path.
  add_custom_command(OUTPUT "${library}"
    COMMAND "${CMAKE_DLLTOOL}" --input-def "${stem}.def" --dllname "${dll}"
            --output-delaylib "lib${stem}_delay.a" ${kill_at}
    WORKING_DIRECTORY "${folder}" DEPENDS "${def}" VERBATIM)
  add_custom_target(${stem}_delay_import DEPENDS "${library}")
  set(${variable} "${library}" PARENT_SCOPE)
endfunction()

# Targets that want a DLL's ordinary import library link it by name.
function(pellaro_drop_default_library name)
  foreach(language C CXX)
    string(REPLACE "-l${name}" "" libraries "${CMAKE_${language}_STANDARD_LIBRARIES}")
    string(STRIP "${libraries}" libraries)
    set(CMAKE_${language}_STANDARD_LIBRARIES "${libraries}" PARENT_SCOPE)
  endforeach()
endfunction()

# oryx_needs(<targets...>)
# Leaves the calling folder out of the build, with a note, when a target it needs is not built
# (its folder was skipped or left itself out). A macro, so that return() ends the caller.
macro(oryx_needs)
  foreach(_oryx_needed ${ARGN})
    if(NOT TARGET ${_oryx_needed})
      file(RELATIVE_PATH _oryx_folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
      message(STATUS "${_oryx_folder}/ left out: it needs ${_oryx_needed}")
      return()
    endif()
  endforeach()
endmacro()

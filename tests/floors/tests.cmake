# The floors hold: a file of a lower floor that includes a header of a floor above
# (or of a game) does not build. Each probe is a library left out of the normal
# build; its test builds it and passes only when the build fails.
set(floor_probes
  "brindle_core:frame/frame.h"
  "brindle_draw:config/settings.h"
  "brindle_platform:core/log.h"
  "brindle_media:platform/platform.h"
  "brindle_frame:shell/startup.h"
  "brindle_shell:loopery/board.h"
  "brindle_platform:SDL.h")
foreach(probe ${floor_probes})
  string(REPLACE ":" ";" parts ${probe})
  list(GET parts 0 floor)
  list(GET parts 1 header)
  string(MAKE_C_IDENTIFIER "${floor}_${header}" id)
  set(source ${CMAKE_BINARY_DIR}/floor_probes/${id}.cpp)
  file(WRITE ${source}.in "#include \"${header}\"\n")
  configure_file(${source}.in ${source} COPYONLY)
  add_library(floor_probe_${id} STATIC EXCLUDE_FROM_ALL ${source})
  target_link_libraries(floor_probe_${id} PRIVATE ${floor})
  add_test(NAME floors_${id}
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target floor_probe_${id})
  # One build at a time in the shared build tree.
  set_tests_properties(floors_${id} PROPERTIES WILL_FAIL TRUE RESOURCE_LOCK build_tree)
endforeach()
# The control: the same probe of a floor below builds.
set(source ${CMAKE_BINARY_DIR}/floor_probes/control.cpp)
file(WRITE ${source}.in "#include \"core/log.h\"\n#include \"platform/platform.h\"\n")
configure_file(${source}.in ${source} COPYONLY)
add_library(floor_probe_control STATIC EXCLUDE_FROM_ALL ${source})
target_link_libraries(floor_probe_control PRIVATE brindle_frame)
add_test(NAME floors_control COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target floor_probe_control)
set_tests_properties(floors_control PROPERTIES RESOURCE_LOCK build_tree)

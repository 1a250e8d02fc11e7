# The real window end to end: the built parcel-dash under a private Xvfb, from its
# title through a game lost by its lives to its own scores.dat (see e2e_play.py).
# Skipped (77) when Xvfb is not installed.
find_program(DASH_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(DASH_PYTHON3)
  add_test(NAME dash_real_window_game
           COMMAND ${DASH_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/e2e_play.py $<TARGET_FILE:parcel-dash>
                   ${CMAKE_SOURCE_DIR}/Files)
  set_tests_properties(dash_real_window_game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
endif()

# The real window end to end: the game under a private Xvfb, its picture checked in
# a screen capture, then ended one way per test (see e2e_window.py): Escape, a
# termination signal during a game, 12 ms key taps (with the farewell screen's
# processor use measured), and the X server killed during a game or on the farewell
# screen. Skipped (77) only when Xvfb is not installed. The game runs in a scratch
# folder holding a copy of Files/, so the repository's runtime files stay untouched.
find_program(PUFFWICK_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(PUFFWICK_PYTHON3 NAMES python3)
if(PUFFWICK_PYTHON3)
  foreach(end escape signal tap display-lost:game display-lost:farewell)
    string(REPLACE ":" ";" parts ${end})
    list(GET parts 0 close)
    set(where game)
    set(name ${close})
    list(LENGTH parts n)
    if(n GREATER 1)
      list(GET parts 1 where)
      set(name ${close}-${where})
    endif()
    string(REPLACE "-" "_" name ${name})
    add_test(NAME real_window_e2e_${name}
             COMMAND ${PUFFWICK_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/e2e_window.py
                     $<TARGET_FILE:puffwick-loopery> --expect splash --copy ${CMAKE_SOURCE_DIR}/Files
                     --close ${close} --where ${where}
                     --save ${CMAKE_BINARY_DIR}/real_window_e2e_${name}.png)
    set_tests_properties(real_window_e2e_${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 150)
  endforeach()
endif()

# A whole game in the real window leaves a replay that plays back headless to the
# score scores.dat holds for it (window recorded in slow-system mode under Xvfb).
if(PUFFWICK_PYTHON3)
  add_test(NAME real_window_replay_e2e
           COMMAND ${PUFFWICK_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/replay_e2e.py
                   $<TARGET_FILE:puffwick-loopery> --copy ${CMAKE_SOURCE_DIR}/Files)
  set_tests_properties(real_window_replay_e2e PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240)
endif()

# The golden replays: each recorded game must play back headless to its recorded
# checksums and score. A deliberate change of the game's rules re-records them
# with puffwick-record-replays (see README).
foreach(golden easy medium hard)
  add_test(NAME golden_replay_${golden}
           COMMAND puffwick-loopery --replay ${CMAKE_CURRENT_LIST_DIR}/../replays/${golden}.txt --headless
           # The repository's Files/ holds the media; a replay writes nothing there.
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(golden_replay_${golden} PROPERTIES PASS_REGULAR_EXPRESSION "^score -?[0-9]+ frames [0-9]+\r?\n$")
endforeach()

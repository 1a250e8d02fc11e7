# The screenshot tool still plays its whole session (all four pictures taken) with
# the game as it is now. It writes into the build tree; docs/screenshots/ is left
# alone, so a changed screen does not fail this check: tools/screenshots.sh remakes them.
add_test(NAME screenshots_session
         COMMAND puffwick-screenshots --out ${CMAKE_BINARY_DIR}/screenshots_session)
set_tests_properties(screenshots_session PROPERTIES TIMEOUT 300)

# The music tool renders the title music: twice the same bytes, and sound in every second.
if(BRINDLE_TARGET STREQUAL "posix")
add_test(NAME music_render_title
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/music/check_render.py $<TARGET_FILE:puffwick-music>
                 ${CMAKE_SOURCE_DIR})
set_tests_properties(music_render_title PROPERTIES TIMEOUT 120)
endif()

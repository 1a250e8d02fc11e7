# Media checks. They need Debian's python3 with python3-pil and python3-numpy
# (tools/deps.sh test), hence the fixed interpreter path.
add_test(NAME media_files
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/media/check_media.py ${CMAKE_SOURCE_DIR}/Files)
add_test(NAME media_reproducible
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/media/check_reproducible.py ${CMAKE_SOURCE_DIR})
set_tests_properties(media_reproducible PROPERTIES TIMEOUT 300)

# The installed game: the install tree with its desktop entry, metadata and command
# line; the installed program run under Xvfb from elsewhere with a temporary home
# (and with a home where nothing can be saved); the .deb. They install into staging
# folders below /tmp and never onto the system. Skipped (77) when a tool is missing.
foreach(check tree run readonly deb)
  add_test(NAME install_${check}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_install.py ${check} ${CMAKE_BINARY_DIR})
  set_tests_properties(install_${check} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()
# cpack strips and packs the same programs the other checks install; one at a time.
set_tests_properties(install_deb PROPERTIES RESOURCE_LOCK puffwick_install_deb)

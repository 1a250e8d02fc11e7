# A game of the series as a Windows program: a window program (no console), its
# icon and version resource, and the install tree its zip and installer are made
# from (`cmake --install BUILD --component <program> --prefix DIR`, by ./windows.sh):
#   <program>.exe  OpenAL32.dll  Files/Common  Files/<number>  README.txt  licences/
# The program finds its media in Files/ beside itself and saves under %APPDATA%.
#
# brindle_windows_game(<program> TITLE <title> NUMBER <three digits> ICONS <folder
#                      of 32/64/128/256.png> COPYRIGHT <file>)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(brindle_windows_game program)
  cmake_parse_arguments(A "" "TITLE;NUMBER;ICONS;COPYRIGHT" "" ${ARGN})
  set(out ${CMAKE_BINARY_DIR}/packaging/windows/${program})
  set(icons ${A_ICONS}/32.png ${A_ICONS}/64.png ${A_ICONS}/128.png ${A_ICONS}/256.png)
  add_custom_command(OUTPUT ${out}/${program}.ico
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/windows/make_ico.py ${out}/${program}.ico ${icons}
    DEPENDS ${icons} ${CMAKE_SOURCE_DIR}/tools/windows/make_ico.py VERBATIM)
  set(ICON ${out}/${program}.ico)
  set(TITLE "${A_TITLE}")
  set(PROGRAM ${program})
  set(VERSION ${PROJECT_VERSION})
  set(V1 ${PROJECT_VERSION_MAJOR})
  set(V2 ${PROJECT_VERSION_MINOR})
  set(V3 ${PROJECT_VERSION_PATCH})
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/game.rc.in ${out}/${program}.rc @ONLY)
  set_source_files_properties(${out}/${program}.rc PROPERTIES OBJECT_DEPENDS ${out}/${program}.ico)
  target_sources(${program} PRIVATE ${out}/${program}.rc)
  set_target_properties(${program} PROPERTIES WIN32_EXECUTABLE ON)

  install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT ${program})
  install(FILES ${PUFFWICK_WIN64_PREFIX}/bin/OpenAL32.dll DESTINATION . COMPONENT ${program})
  # The media only: nothing a run writes (settings, log, scores, screenshots, replays).
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common ${CMAKE_SOURCE_DIR}/Files/${A_NUMBER}
          DESTINATION Files COMPONENT ${program}
          PATTERN "scores.dat" EXCLUDE PATTERN "crash.dat" EXCLUDE PATTERN "*.new" EXCLUDE
          PATTERN "*.new-*" EXCLUDE PATTERN "*.unsaved*" EXCLUDE PATTERN "replays" EXCLUDE)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt COMPONENT ${program})
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION licences RENAME LICENSE.txt COMPONENT ${program})
  install(FILES ${A_COPYRIGHT} DESTINATION licences RENAME copyright.txt COMPONENT ${program})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common/ DESTINATION licences/fonts COMPONENT ${program}
          FILES_MATCHING PATTERN "*.LICENSE.txt")
  # The libraries built in: their licences, OpenAL Soft's (LGPL) with its DLL.
  install(DIRECTORY ${PUFFWICK_WIN64_PREFIX}/share/licences/ DESTINATION licences/libraries COMPONENT ${program})
  # What ./windows.sh reads to name and make the packages.
  file(APPEND ${CMAKE_BINARY_DIR}/packaging/windows/games.txt "${program}|${A_TITLE}|${PROJECT_VERSION}|${out}/${program}.ico\n")
endfunction()

file(REMOVE ${CMAKE_BINARY_DIR}/packaging/windows/games.txt)

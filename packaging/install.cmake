# Installing and packaging: `cmake --install BUILD --prefix P` lays the game out as
# a distribution would; `cpack -G DEB` in the build folder turns the same tree into
# a .deb. The program finds its media at ../share/puffwick-loopery/ beside itself.
include(GNUInstallDirs)

set(PUFFWICK_APP_ID "org.brindlewood.PuffwickLoopery")
set(PUFFWICK_HOMEPAGE "https://example.org/puffwick-loopery" CACHE STRING
    "The game's home page; the AppStream screenshots are read from its docs/screenshots/")
set(PUFFWICK_MAINTAINER "Puffwick Loopery developers <puffwick-loopery@example.org>" CACHE STRING
    "The .deb's maintainer")
set(PUFFWICK_RELEASE_DATE "2026-12-10")
set(PUFFWICK_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(PUFFWICK_SHARE ${CMAKE_INSTALL_DATADIR}/puffwick-loopery)
set(PUFFWICK_DOC ${CMAKE_INSTALL_DATADIR}/doc/puffwick-loopery)

install(TARGETS puffwick-loopery puffwick-music RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT puffwick-loopery)

# The media only: nothing a run writes (settings, log, scores, screenshots, replays).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common ${CMAKE_SOURCE_DIR}/Files/257
        DESTINATION ${PUFFWICK_SHARE}/Files COMPONENT puffwick-loopery
        PATTERN "scores.dat" EXCLUDE PATTERN "crash.dat" EXCLUDE PATTERN "*.new" EXCLUDE
        PATTERN "*.new-*" EXCLUDE PATTERN "*.unsaved*" EXCLUDE PATTERN "replays" EXCLUDE)

install(FILES ${PUFFWICK_PACKAGING_DIR}/${PUFFWICK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT puffwick-loopery)
foreach(size 32 64 128 256)
  install(FILES ${PUFFWICK_PACKAGING_DIR}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${PUFFWICK_APP_ID}.png
          COMPONENT puffwick-loopery)
endforeach()
configure_file(${PUFFWICK_PACKAGING_DIR}/${PUFFWICK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${PUFFWICK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${PUFFWICK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT puffwick-loopery)
set(VERSION ${PROJECT_VERSION})
configure_file(${PUFFWICK_PACKAGING_DIR}/puffwick-loopery.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-loopery.6 @ONLY)
configure_file(${PUFFWICK_PACKAGING_DIR}/puffwick-music.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-music.6 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/puffwick-loopery.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-music.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT puffwick-loopery)

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${PUFFWICK_PACKAGING_DIR}/copyright DESTINATION ${PUFFWICK_DOC}
        COMPONENT puffwick-loopery)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/screenshots)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION ${PUFFWICK_DOC} COMPONENT puffwick-loopery
          FILES_MATCHING PATTERN "*.png")
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common/ DESTINATION ${PUFFWICK_DOC}/fonts COMPONENT puffwick-loopery
        FILES_MATCHING PATTERN "*.LICENSE.txt")

# Its .deb (packaging/cpack.cmake, read at the top, makes one per game):
# dependencies from the binaries' libraries, stripped programs, Debian's
# compressed man pages and changelog.
# Handed to cpack.cmake, which reads them in the top folder (brindle_deb_setting).
brindle_deb_setting(CPACK_DEBIAN_PUFFWICK-LOOPERY_PACKAGE_NAME puffwick-loopery)
brindle_deb_setting(CPACK_DEBIAN_PUFFWICK-LOOPERY_DESCRIPTION "railway arcade game: lay track for a train that runs by itself
A single-player arcade game: lay track with the mouse, and a train runs
around it by itself, collecting people and parcels at stations and delivering
them for money. Stations that overflow explode and trains that leave the track
crash; either ends the game, and your money is the score.")
set(PUFFWICK_CHANGELOG_NAME puffwick-loopery)
configure_file(${PUFFWICK_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/puffwick-loopery/changelog @ONLY)

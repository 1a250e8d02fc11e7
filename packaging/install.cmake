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

install(TARGETS puffwick-loopery puffwick-music RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The media only: nothing a run writes (settings, log, scores, screenshots, replays).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common ${CMAKE_SOURCE_DIR}/Files/257
        DESTINATION ${PUFFWICK_SHARE}/Files
        PATTERN "scores.dat" EXCLUDE PATTERN "crash.dat" EXCLUDE PATTERN "*.new" EXCLUDE
        PATTERN "*.new-*" EXCLUDE PATTERN "*.unsaved*" EXCLUDE PATTERN "replays" EXCLUDE)

install(FILES ${PUFFWICK_PACKAGING_DIR}/${PUFFWICK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 32 64 128 256)
  install(FILES ${PUFFWICK_PACKAGING_DIR}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${PUFFWICK_APP_ID}.png)
endforeach()
configure_file(${PUFFWICK_PACKAGING_DIR}/${PUFFWICK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${PUFFWICK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${PUFFWICK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(VERSION ${PROJECT_VERSION})
configure_file(${PUFFWICK_PACKAGING_DIR}/puffwick-loopery.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-loopery.6 @ONLY)
configure_file(${PUFFWICK_PACKAGING_DIR}/puffwick-music.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-music.6 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/puffwick-loopery.6 ${CMAKE_BINARY_DIR}/packaging/puffwick-music.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${PUFFWICK_PACKAGING_DIR}/copyright DESTINATION ${PUFFWICK_DOC})
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/screenshots)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION ${PUFFWICK_DOC} FILES_MATCHING PATTERN "*.png")
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common/ DESTINATION ${PUFFWICK_DOC}/fonts
        FILES_MATCHING PATTERN "*.LICENSE.txt")

# The .deb: dependencies from the binaries' libraries (dpkg-shlibdeps), stripped
# programs, and a pre-build step that compresses what Debian wants compressed.
set(CPACK_PACKAGE_NAME puffwick-loopery)
set(CPACK_PACKAGE_VENDOR "The Puffwick Loopery developers")
set(CPACK_PACKAGE_CONTACT "${PUFFWICK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "railway arcade game: lay track for a train that runs by itself")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A single-player arcade game: lay track with the mouse, and a train runs
around it by itself, collecting people and parcels at stations and delivering
them for money. Stations that overflow explode and trains that leave the track
crash; either ends the game, and your money is the score.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PUFFWICK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PUFFWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
configure_file(${PUFFWICK_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(PUFFWICK_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(${PUFFWICK_PACKAGING_DIR}/deb_prebuild.cmake.in ${CMAKE_BINARY_DIR}/packaging/deb_prebuild.cmake @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_BINARY_DIR}/packaging/deb_prebuild.cmake)
include(CPack)

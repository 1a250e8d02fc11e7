# Installing and packaging Parcel Dash beside the first game: its program, its
# media (its own folder and the shared one) under share/parcel-dash/, where the
# program looks beside itself, its desktop entry, icons, man page and documents,
# all in the component parcel-dash, which cpack makes its own .deb.
include(GNUInstallDirs)

set(DASH_APP_ID "org.brindlewood.ParcelDash")
set(DASH_PACKAGING ${CMAKE_CURRENT_LIST_DIR}/packaging)
set(DASH_SHARE ${CMAKE_INSTALL_DATADIR}/parcel-dash)
set(DASH_DOC ${CMAKE_INSTALL_DATADIR}/doc/parcel-dash)

install(TARGETS parcel-dash RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT parcel-dash)

# The media only: nothing a run writes (settings, log, scores, screenshots, replays).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common ${CMAKE_SOURCE_DIR}/Files/258
        DESTINATION ${DASH_SHARE}/Files COMPONENT parcel-dash
        PATTERN "scores.dat" EXCLUDE PATTERN "crash.dat" EXCLUDE PATTERN "*.new" EXCLUDE
        PATTERN "*.new-*" EXCLUDE PATTERN "*.unsaved*" EXCLUDE PATTERN "replays" EXCLUDE)

install(FILES ${DASH_PACKAGING}/${DASH_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT parcel-dash)
foreach(size 32 64 128 256)
  install(FILES ${DASH_PACKAGING}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${DASH_APP_ID}.png
          COMPONENT parcel-dash)
endforeach()
set(VERSION ${PROJECT_VERSION})
configure_file(${DASH_PACKAGING}/parcel-dash.6 ${CMAKE_BINARY_DIR}/packaging/parcel-dash.6 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/parcel-dash.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
        COMPONENT parcel-dash)
install(FILES ${DASH_PACKAGING}/copyright DESTINATION ${DASH_DOC} COMPONENT parcel-dash)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Files/Common/ DESTINATION ${DASH_DOC}/fonts COMPONENT parcel-dash
        FILES_MATCHING PATTERN "*.LICENSE.txt")

# Its .deb (packaging/cpack.cmake, read at the top). Handed to
# cpack.cmake, which reads them in the top folder (brindle_deb_setting).
brindle_deb_setting(CPACK_DEBIAN_PARCEL-DASH_PACKAGE_NAME parcel-dash)
brindle_deb_setting(CPACK_DEBIAN_PARCEL-DASH_DESCRIPTION "arcade game: catch falling parcels and people with a cart
A single-player arcade game: move a cart along the bottom of the screen with
the mouse or the arrow keys and catch the parcels and people that fall from
the rooftops, for money. A person missed costs one of three lives; a game
lasts a minute, and your money is the score.")
set(PUFFWICK_CHANGELOG_NAME parcel-dash)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/parcel-dash/changelog @ONLY)

# The .debs, one per game: each game's install rules name their component (its
# program's name), and cpack packs each component as a package of its own. Read
# after every game's install rules.
if(NOT PUFFWICK_MAINTAINER)
  set(PUFFWICK_MAINTAINER "Brindlewood developers <brindlewood@example.org>")
endif()
set(CPACK_PACKAGE_NAME brindlewood-games)
set(CPACK_PACKAGE_VENDOR "The Brindlewood developers")
set(CPACK_PACKAGE_CONTACT "${PUFFWICK_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PUFFWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PUFFWICK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Each game's changelog, by the folder of its documents (see the games' install rules).
configure_file(${CMAKE_SOURCE_DIR}/packaging/deb_prebuild.cmake.in ${CMAKE_BINARY_DIR}/packaging/deb_prebuild.cmake @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_BINARY_DIR}/packaging/deb_prebuild.cmake)
include(CPack)

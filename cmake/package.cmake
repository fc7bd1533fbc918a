# The Debian package zib_<version>_<arch>.deb, built by CPack from the installed layout
# (install.cmake): `cmake --build build --target package` or scripts/package.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zib)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZIB developers")
set(CPACK_PACKAGE_CONTACT "ZIB developers <zib@users.noreply.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZIB developers <zib@users.noreply.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player snake game in Czech or English")
set(CPACK_PACKAGE_DESCRIPTION
    "ZIB is a snake game for two players, in Czech or English. A red and a blue
snake share one keyboard on a field of 80 x 60 cells; each grows when it
reaches the food, and the one that runs into a wall or into a snake loses
the round.

Ten levels come with the game and players can add their own. The computer
can steer the blue snake, or both snakes in a demo game. The package also
holds zibsim, which plays games without a screen and checks level files,
and zib-server, which gives out invite codes for online games (its systemd
unit is installed disabled).")
# The libraries from the binaries themselves (dpkg-shlibdeps: SDL, ENet, and libnatpmp1 and
# libminiupnpc17 for the host's port mapping), and the fonts that fontconfig
# offers for the game's captions (Arial's metric twin and a sans-serif face).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

# The Debian package (`cpack -G DEB` in the build folder): corvelnmea_<version>_<arch>.deb, installed
# under /usr, with what `cmake --install` puts there. dpkg-shlibdeps (dpkg-dev) computes the libraries'
# packages from the program; the Qt platform plugins, which the program loads at run time and no
# library names, are added by hand.
set(CPACK_PACKAGE_NAME corvelnmea)
set(CPACK_PACKAGE_VENDOR "CorvelNMEA")
# Whoever publishes the package names themselves here (-DCORVEL_PACKAGE_MAINTAINER="Name <address>").
set(CORVEL_PACKAGE_MAINTAINER "CorvelNMEA maintainers <maintainers@corvelnmea.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${CORVEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sailing boat simulator and NMEA 0183 sentence generator")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "CorvelNMEA simulates a sailing boat (polar speed, leeway, current, apparent wind, autopilot\n"
       "and tiller) and sends the NMEA 0183 sentences of its instruments (27 kinds, each every 3 s,\n"
       "GGA every 12 s) to a serial port, a TCP server or UDP broadcasts, as if on board. Its user\n"
       "interface is French. A headless mode runs the same simulation without a window, for the\n"
       "tests of chart plotters and navigation software.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)

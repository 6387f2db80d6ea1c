# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh
# makes a Release build and runs it). Files go under /usr; the library
# dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vondrix)
set(CPACK_PACKAGE_VENDOR "The Vondrix team")
set(CPACK_PACKAGE_CONTACT "The Vondrix team <vondrix@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manager for Siemens C35/S35 GSM phones")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vondrix manages a Siemens GSM phone of the C35/S35 generation over its AT
command interpreter, through a serial cable, a Bluetooth serial port or a
network bridge: phonebooks, call lists, short messages, organizer, logo and
ring tone, network information and call services.
.
The package holds the desktop program (Qt 6), the command-line program
vondrix-cli and a simulated phone, vondrix-phonesim, to try everything
without a phone.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt platform plugins are loaded at run time, so dpkg-shlibdeps cannot
# see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

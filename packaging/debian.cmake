# qv-updater_<version>_amd64.deb, made by CPack from the install rules; its dependencies
# come from dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qv-updater)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QV_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QV_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The completion of qv-flash that the package ships does nothing without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for QV-310 and QV-410 radios")
set(CPACK_PACKAGE_DESCRIPTION
    "Writes new firmware into QV-310 and QV-410 handheld radios (hardware 2.0)
over a serial cable: finds the radio's boot loader, identifies the radio,
checks its model, confirms the version change and writes the firmware block
by block.

The package holds the desktop application qv-updater, the command-line
updater qv-flash for scripts and service shops, and qv-radio-sim, a
simulated radio for trying an update without one.")

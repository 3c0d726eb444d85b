# Installation layout and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS tarquel tarquel-cli tarquel-unitsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The help document and its pictures, where the program looks for them (../share/doc/tarquel).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tarquel)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarquel.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarquel.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME tarquel)
set(CPACK_PACKAGE_VENDOR "Corvane Industries, Inc.")
set(CPACK_PACKAGE_CONTACT "Corvane support <support@corvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Heading calibration tool for Corvane sensor units")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6, libqt6gui6, libqt6widgets6, libqt6serialport6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)

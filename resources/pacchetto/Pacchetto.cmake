# The Debian package: `cpack -G DEB` in the build folder. It installs the
# program folder under /usr/lib/zerired, the launcher that gives each user a
# writable program folder as /usr/bin/zerired, a desktop entry under Office
# and its icon. Library dependencies come from dpkg-shlibdeps; the plugins Qt
# loads at run time are named here.
set(ZR_PACCHETTO ${CMAKE_CURRENT_LIST_DIR})
install(PROGRAMS ${ZR_PACCHETTO}/zerired DESTINATION bin)
install(FILES ${ZR_PACCHETTO}/zerired.desktop DESTINATION share/applications)
install(FILES ${ZR_PACCHETTO}/zerired.png DESTINATION share/icons/hicolor/128x128/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerired)
# The program's version "07.2003-40" as a Debian version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.40)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gestione del magazzino: carichi, scarichi, scadenze e stampe")
set(CPACK_PACKAGE_DESCRIPTION "Tiene i conti di un piccolo magazzino: prodotti, produttori e categorie,\ncarichi e scarichi con i loro prezzi, lo storico dei movimenti, i controlli\ndi scadenza e di quantità, le stampe, le esportazioni e i salvataggi.")
set(CPACK_PACKAGE_CONTACT "Vavori Rarovazazo <assistenza@vavori.example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)

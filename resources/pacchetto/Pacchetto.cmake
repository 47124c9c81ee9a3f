# The Debian package: `cpack -G DEB` in the build folder. It installs the
# program folder under /usr/lib/zerired, the launcher that gives each user a
# writable program folder as /usr/bin/zerired, a desktop entry under Office
# and its icon, the AppStream metainfo that software centres read, the manual
# page, and the copyright file and changelog Debian asks of every package.
# Library dependencies come from dpkg-shlibdeps; the plugins Qt loads at run
# time are named here.
set(ZR_PACCHETTO ${CMAKE_CURRENT_LIST_DIR})
install(PROGRAMS ${ZR_PACCHETTO}/zerired DESTINATION bin)
install(FILES ${ZR_PACCHETTO}/zerired.desktop DESTINATION share/applications)
install(FILES ${ZR_PACCHETTO}/zerired.png DESTINATION share/icons/hicolor/128x128/apps)
install(FILES ${ZR_PACCHETTO}/io.github.zerired.zerired.metainfo.xml DESTINATION share/metainfo)
install(FILES ${ZR_PACCHETTO}/copyright DESTINATION share/doc/zerired)

# The manual page and the changelog go compressed at gzip's highest level and
# without a time stamp, as Debian wants them.
set(ZR_COMPRESSI ${CMAKE_BINARY_DIR}/pacchetto)
file(MAKE_DIRECTORY ${ZR_COMPRESSI})
add_custom_command(OUTPUT ${ZR_COMPRESSI}/zerired.1.gz
  COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${ZR_PACCHETTO}/zerired.1 ${ZR_COMPRESSI}/zerired.1.gz
  DEPENDS ${ZR_PACCHETTO}/zerired.1 VERBATIM)
add_custom_command(OUTPUT ${ZR_COMPRESSI}/changelog.Debian.gz
  COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${ZR_PACCHETTO}/changelog ${ZR_COMPRESSI}/changelog.Debian.gz
  DEPENDS ${ZR_PACCHETTO}/changelog VERBATIM)
add_custom_target(zerired_pacchetto ALL DEPENDS ${ZR_COMPRESSI}/zerired.1.gz ${ZR_COMPRESSI}/changelog.Debian.gz)
install(FILES ${ZR_COMPRESSI}/zerired.1.gz DESTINATION share/man/man1)
install(FILES ${ZR_COMPRESSI}/changelog.Debian.gz DESTINATION share/doc/zerired)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerired)
# The program's version "07.2003-40" as a Debian version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.40)
set(CPACK_DEBIAN_PACKAGE_RELEASE 2)
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

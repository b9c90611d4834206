# Where an installed Vaultora lives (FHS and XDG), and the Debian package CPack makes of it.
# The QML and artwork are compiled into the executables, so nothing here depends on the
# install prefix or on the build folder.
include(GNUInstallDirs)

set(VAULTORA_APP_ID org.vaultora.Vaultora)
set(VAULTORA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)

install(TARGETS vaultora vaultora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/app/resources/test_database.kdb
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vaultora)
install(FILES ${VAULTORA_PACKAGING_DIR}/${VAULTORA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VAULTORA_PACKAGING_DIR}/${VAULTORA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VAULTORA_PACKAGING_DIR}/${VAULTORA_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The bitmap sizes of the icon are rendered from its one SVG at build time.
find_program(VAULTORA_RSVG_CONVERT rsvg-convert REQUIRED)
set(VAULTORA_ICON_PNGS)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}/${VAULTORA_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
    COMMAND ${VAULTORA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
            ${VAULTORA_PACKAGING_DIR}/${VAULTORA_APP_ID}.svg
    DEPENDS ${VAULTORA_PACKAGING_DIR}/${VAULTORA_APP_ID}.svg VERBATIM)
  list(APPEND VAULTORA_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages, from their scdoc sources beside the code they describe.
find_program(VAULTORA_SCDOC scdoc REQUIRED)
set(VAULTORA_MAN_PAGES)
foreach(source ${CMAKE_SOURCE_DIR}/launch/vaultora.1.scd ${CMAKE_SOURCE_DIR}/tools/vaultora-cli.1.scd)
  get_filename_component(page ${source} NAME_WLE)
  set(output ${CMAKE_BINARY_DIR}/man/${page})
  add_custom_command(OUTPUT ${output}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "${VAULTORA_SCDOC} < ${source} | gzip -9n > ${output}.gz"
    DEPENDS ${source} VERBATIM)
  list(APPEND VAULTORA_MAN_PAGES ${output}.gz)
  install(FILES ${output}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/tools/vaultora-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vaultora-cli)
add_custom_target(vaultora_install_files ALL DEPENDS ${VAULTORA_ICON_PNGS} ${VAULTORA_MAN_PAGES})

# Debian's documentation of a package: its copyright and its changelog, compressed (a package
# without an upstream of its own names it changelog.gz).
set(VAULTORA_DEBIAN_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${VAULTORA_DEBIAN_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND sh -c "gzip -9n < ${VAULTORA_PACKAGING_DIR}/debian/changelog > ${VAULTORA_DEBIAN_CHANGELOG}"
  DEPENDS ${VAULTORA_PACKAGING_DIR}/debian/changelog VERBATIM)
add_custom_target(vaultora_debian_changelog ALL DEPENDS ${VAULTORA_DEBIAN_CHANGELOG})
install(FILES ${VAULTORA_DEBIAN_CHANGELOG} ${VAULTORA_PACKAGING_DIR}/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vaultora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vaultora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vaultora developers <developers@vaultora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-only viewer for KeePass password databases")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Vaultora keeps a list of KeePass databases (1.x kdb and 2.x kdbx), brings
each file onto the device by HTTP download, from Dropbox or by upload from a
browser on the local network, opens it with the master password, and lets
the user browse, search and copy user names and passwords. It never changes
a database and locks itself when idle.

The package also holds vaultora-cli, which lists, searches and exports
databases from a terminal.")
# Shared libraries are found by dpkg-shlibdeps; the Qt Quick modules and the platform plugin
# are loaded at run time, which no linker sees, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtquick-window, qml6-module-qtqml-workerscript, qml6-module-qtquick-dialogs, qml6-module-qtqml, qt6-qpa-plugins")
include(CPack)

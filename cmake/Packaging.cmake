# Installation and the Debian package: the program, its menu entry, its icon
# in the hicolor theme, AppStream metainfo and the manual page.
include(GNUInstallDirs)

set(STOCK_MAINTAINER "stockkun developers <stockkun@stockkun.example>")
set(STOCK_SUMMARY "Collect the text that passes through the clipboard, edit and reuse it")

# The icon as PNG files, drawn by the program's own code at each of its sizes.
set(STOCK_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/icons/done
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${STOCK_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:stockkun_icon_export> ${STOCK_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/icons/done
  DEPENDS stockkun_icon_export
  COMMENT "Exporting the program icon"
  VERBATIM)

set(STOCK_DATA ${CMAKE_BINARY_DIR}/data)
set(MAINTAINER ${STOCK_MAINTAINER})
configure_file(data/example.stockkun.stockkun.metainfo.xml.in ${STOCK_DATA}/example.stockkun.stockkun.metainfo.xml @ONLY)
configure_file(data/stockkun.1.in ${STOCK_DATA}/stockkun.1 @ONLY)
configure_file(data/changelog.in ${STOCK_DATA}/changelog @ONLY)
add_custom_command(OUTPUT ${STOCK_DATA}/stockkun.1.gz ${STOCK_DATA}/changelog.gz
  COMMAND sh -c "gzip -9nc stockkun.1 > stockkun.1.gz && gzip -9nc changelog > changelog.gz"
  WORKING_DIRECTORY ${STOCK_DATA}
  DEPENDS ${STOCK_DATA}/stockkun.1 ${STOCK_DATA}/changelog
  VERBATIM)
add_custom_target(stockkun_data ALL DEPENDS ${CMAKE_BINARY_DIR}/icons/done ${STOCK_DATA}/stockkun.1.gz)

install(TARGETS stockkun RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/stockkun.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${STOCK_DATA}/example.stockkun.stockkun.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${STOCK_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${STOCK_DATA}/stockkun.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package (make deb): installed under /usr, stripped, its library
# dependencies found by dpkg-shlibdeps; the Japanese captions need IPAPGothic.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stockkun)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${STOCK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${STOCK_SUMMARY})
set(CPACK_PACKAGE_DESCRIPTION "すとっくん (stockkun) looks at the clipboard once a second and keeps every
new text in a history, newest first. A click on an entry puts it into an
edit box, where Copy, Cut, Paste and Delete work between the box and the
clipboard. Its window stays on top and it lives in the notification area.
Start at login with: stockkun --autostart on")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${STOCK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://stockkun.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STOCK_DOC_FILES "${CMAKE_SOURCE_DIR}/data/copyright;${STOCK_DATA}/changelog.gz")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebianDocs.cmake)
include(CPack)

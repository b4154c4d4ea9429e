# Where the installed program's files go, and the Debian package CPack makes
# of them (scripts/package). Paths follow the usual Debian places:
#   /usr/bin                         priceinquiry, qel-db
#   /usr/libexec/priceinquiry/start  the desktop entry's launcher
#   /usr/share/priceinquiry          the print layout and sql/
#   /etc/priceinquiry/desktop.conf   what the desktop entry starts
include(GNUInstallDirs)

set(QEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QEL_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/priceinquiry)
set(QEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/priceinquiry)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS priceinquiry qel-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${QEL_PACKAGING_DIR}/start DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/priceinquiry)
install(FILES ${PROJECT_SOURCE_DIR}/src/report/Form_ChkPrice.frf DESTINATION ${QEL_SHARE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/sql/config.sql ${PROJECT_SOURCE_DIR}/sql/business.sql
              ${PROJECT_SOURCE_DIR}/sql/program.sql ${PROJECT_SOURCE_DIR}/sql/demo.sql
              ${PROJECT_SOURCE_DIR}/sql/embedded.sql ${PROJECT_SOURCE_DIR}/sql/README.md
        DESTINATION ${QEL_SHARE_DIR}/sql)
install(FILES ${QEL_PACKAGING_DIR}/priceinquiry.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QEL_PACKAGING_DIR}/priceinquiry.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${QEL_PACKAGING_DIR}/desktop.conf DESTINATION /etc/priceinquiry)
install(FILES ${QEL_PACKAGING_DIR}/copyright ${PROJECT_SOURCE_DIR}/docs/layout.md DESTINATION ${QEL_DOC_DIR})

# Manual pages and the changelog go compressed, without a time stamp, so that
# the same sources give the same package.
set(QEL_COMPRESSED)
foreach(source priceinquiry.1 qel-db.1 changelog)
  set(target ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${QEL_PACKAGING_DIR}/${source} > ${target}
    DEPENDS ${QEL_PACKAGING_DIR}/${source}
    VERBATIM)
  list(APPEND QEL_COMPRESSED ${target})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${QEL_COMPRESSED})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/priceinquiry.1.gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/qel-db.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${QEL_DOC_DIR})

# The package: priceinquiry_VERSION_ARCH.deb. Libraries come from the
# binaries (dpkg-shlibdeps); what the program loads at run time is named:
# Qt's SQLite and ODBC drivers, unixODBC with FreeTDS for SQL Server, Thai
# fonts. The JPEG reader and the window-system plugin are in libqt6gui6,
# which the binaries pull in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME priceinquiry)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Price Inquiry Team <priceinquiry@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "telephone price inquiry of a Thai sales and inventory suite")
# CPack puts the summary line in front of this.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "While a customer is on the phone, the clerk types a customer and a product
code and sees the product's units, prices with the customer's own price,
the stock of every warehouse, the last purchase price, the sales history
and the pictures, and collects an offer list that prints.
.
The program works against Microsoft SQL Server through ODBC and FreeTDS,
or on an embedded engine for laptops and training rooms. qel-db sets up,
copies and checks the databases and print layouts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, unixodbc, tdsodbc, fonts-thai-tlwg")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${QEL_PACKAGING_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)

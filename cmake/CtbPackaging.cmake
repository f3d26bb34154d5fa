# What gets installed, where, and the Debian package made of it (`cpack -G DEB` in the build folder).
#
#   bin/                      ctb-host, ctb-server, ctb-uiscript
#   LIBDIR/                   libctb_platform.so.N, libctb_hostlib.so.N (one copy of each per process)
#   LIBDIR/ctb/               PKG_CTB10000.so, the module the host loads
#   lib/systemd/system/       ctb-server.service (installed, not enabled)
#   share/doc/ctb/            README.md, http-api.md
#
# Every installed binary finds the libraries relative to itself ($ORIGIN), so an installation works
# wherever it is unpacked (a package in /usr, `cmake --install --prefix /opt/ctb`, a test's DESTDIR).

file(RELATIVE_PATH ctb_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH ctb_module_to_lib /${CTB_MODULE_INSTALL_DIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(ctb-host ctb-server ctb-uiscript PROPERTIES INSTALL_RPATH "$ORIGIN/${ctb_bin_to_lib}")
set_target_properties(ctb_platform ctb_hostlib PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(PKG_CTB10000 PROPERTIES INSTALL_RPATH "$ORIGIN/${ctb_module_to_lib}")

install(TARGETS ctb-host ctb-server ctb-uiscript RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Private libraries: the runtime files only, no link-time name.
install(TARGETS ctb_platform ctb_hostlib LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
install(TARGETS PKG_CTB10000 LIBRARY DESTINATION ${CTB_MODULE_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ctb-server.service DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/http-api.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME ctb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "CTB")
set(CPACK_PACKAGE_CONTACT "CTB developers <ctb@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Journal entries: host application, module and application server")
set(CPACK_PACKAGE_DESCRIPTION "The journal-entry module PKG_CTB10000 of the accounting suite, the host \
application ctb-host that loads it, the application server ctb-server (SQLite or PostgreSQL) with a \
systemd unit that is installed disabled, and the UI-script runner ctb-uiscript.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Library dependencies come from dpkg-shlibdeps; plugins Qt loads at run time are named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/platform ${CMAKE_BINARY_DIR}/hostlib)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

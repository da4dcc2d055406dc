# Installation and the Debian package.
#
# The program reads Connect.ini from its own folder, so it is installed in a
# folder of its own (lib/trevalo) with a link in bin; there Connect.ini is a
# link to the configuration file in etc/trevalo, which the administrator edits.
include(GNUInstallDirs)

# Installing needs only the program, not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TREVALO_APPDIR ${CMAKE_INSTALL_LIBDIR}/trevalo)

install(TARGETS trevalo RUNTIME DESTINATION ${TREVALO_APPDIR})
install(FILES data/schema.sql data/demo.sql DESTINATION ${CMAKE_INSTALL_DATADIR}/trevalo)
install(PROGRAMS scripts/create-database DESTINATION ${CMAKE_INSTALL_DATADIR}/trevalo)
install(FILES packaging/Connect.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/trevalo
        RENAME Connect.ini.example)
install(FILES packaging/trevalo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/trevalo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The prefix is known only now (the package installs into /usr, whose
# configuration lives in /etc).
install(CODE "set(TREVALO_SOURCE \"${PROJECT_SOURCE_DIR}\")
set(TREVALO_APPDIR \"${TREVALO_APPDIR}\")
set(TREVALO_BINDIR \"${CMAKE_INSTALL_BINDIR}\")")
install(CODE [[
    set(root "$ENV{DESTDIR}")
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(confdir "/etc/trevalo")
    else()
        set(confdir "${CMAKE_INSTALL_PREFIX}/etc/trevalo")
    endif()
    # An existing configuration is the administrator's: never replaced.
    if(NOT EXISTS "${root}${confdir}/Connect.ini")
        file(MAKE_DIRECTORY "${root}${confdir}")
        file(COPY_FILE "${TREVALO_SOURCE}/packaging/Connect.ini" "${root}${confdir}/Connect.ini")
    endif()
    file(MAKE_DIRECTORY "${root}${CMAKE_INSTALL_PREFIX}/${TREVALO_BINDIR}")
    file(CREATE_LINK "../${TREVALO_APPDIR}/trevalo"
         "${root}${CMAKE_INSTALL_PREFIX}/${TREVALO_BINDIR}/trevalo" SYMBOLIC)
    file(CREATE_LINK "${confdir}/Connect.ini"
         "${root}${CMAKE_INSTALL_PREFIX}/${TREVALO_APPDIR}/Connect.ini" SYMBOLIC)
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trevalo)
set(CPACK_PACKAGE_VERSION 1.0.033)
set(CPACK_PACKAGE_CONTACT "Trevalo <suporte@trevalo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Registers beneficiaries, accounts and agreements on a boleto platform")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Library dependencies come from the executable itself; the engine plugin
# for local database files and libcurl (by the first platform request) are
# loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, libcurl4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "firebird3.0-utils")
# The administrator's configuration survives upgrades.
file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "/etc/trevalo/Connect.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
set(CPACK_STRIP_FILES ON)
include(CPack)

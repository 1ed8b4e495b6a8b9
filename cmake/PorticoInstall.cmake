# What `cmake --install` puts where (GNUInstallDirs), and the .deb CPack
# makes of it (scripts/package.sh runs both):
#   bin/portico, bin/portico-skin
#   share/man/man1/portico.1, portico-skin.1
#   share/doc/portico/  README.md, LICENSE, THIRD-PARTY-NOTICES.md, copyright,
#                       licenses/ (the full texts the notices name)
#   share/portico/demo/ the demo skin
include(GNUInstallDirs)

install(TARGETS portico RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET portico-skin)
  install(TARGETS portico-skin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(NOT WIN32)
  install(FILES ${PROJECT_BINARY_DIR}/docs/man/portico.1 ${PROJECT_BINARY_DIR}/docs/man/portico-skin.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES README.md LICENSE THIRD-PARTY-NOTICES.md packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY licenses/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/licenses)
install(FILES src/text/freetype/face/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}/licenses
        RENAME PorticoSans.txt)
install(DIRECTORY demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/portico/demo)

# The Debian package. The programs carry their libraries (statically
# linked), so its dependencies are only what dpkg-shlibdeps finds in the
# one dynamically linked program, portico-skin (the C library).
set(PORTICO_DEB_MAINTAINER "The Portico authors <portico@example.org>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME portico)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME portico_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PORTICO_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The URL control opens its address with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned first screen of an installation")
# The long description, a paragraph CPack indents under the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Portico shows one borderless, shaped window drawn entirely from a few skin
images, whose controls light up, press and click under the pointer, and
tells the installer that started it what the user chose through its exit
code. portico-skin checks, previews and watches skins for their authors.")
# Debian's layout on top of the install tree: compressed manual pages, a
# changelog, the lintian overrides for the static programs.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian/finish_tree.cmake)
set(CPACK_PORTICO_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(CPack)

# Where an installed Marbleway lives, and the Debian package of it.
#   cmake --install BUILD [--prefix /usr]      scripts/package      cpack -G DEB
include(GNUInstallDirs)

install(TARGETS marbleway marbleway-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks for its browser module in ../lib/marbleway beside itself,
# whatever the distribution's multiarch library folder is.
install(TARGETS marbleway-webengine LIBRARY DESTINATION lib/marbleway)

set(data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${data}/marbleway.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marbleway)
install(FILES ${data}/icons/marbleway.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS marbleway_icon_sizes)
    install(FILES ${data}/icons/marbleway-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME marbleway.png)
endforeach()

# The command line's man page, written from its --help.
set(man_page ${CMAKE_BINARY_DIR}/man/marbleway-cli.1.gz)
add_custom_command(OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:marbleway-cli> -DVERSION=${PROJECT_VERSION}
            -DOUTPUT=${man_page} -P ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    DEPENDS marbleway-cli ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMENT "Writing the man page of marbleway-cli")
add_custom_target(marbleway-man ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME marbleway)
set(CPACK_PACKAGE_VENDOR Marbleway)
set(CPACK_PACKAGE_CONTACT "Marbleway <feedback@marbleway.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Keyword ranks with favourites and a daily rank history, related-keyword\n\
research with page counts and Baidu figures, a local keyword database, an\n\
ad-platform keyword tool and a backlink resource library, in one window and\n\
on the command line (marbleway-cli).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY marbleway)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://marbleway.example/marbleway")
# Libraries come from the binaries (dpkg-shlibdeps); what is loaded by name at
# run time is listed here: the SQLite driver, Qt's own translations, a font
# with Chinese characters.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)

# `cpack -G DEB` builds a Debian package from the install rules, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME meloport)
set(CPACK_PACKAGE_VENDOR "${MELOPORT_COPYRIGHT_HOLDER}")
# Debian wants an address to write to; resources/debian/changelog signs with the same one.
set(CPACK_PACKAGE_CONTACT "${MELOPORT_COPYRIGHT_HOLDER} <developers@meloport.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rename audio tracks to their song titles (Japanese interface)")
set(CPACK_PACKAGE_DESCRIPTION
"Meloport gives the audio tracks of a folder (WAV, MP3 or WMA) their song
titles as file names. It pairs the files, sorted by name, with a list of
titles (typed, or loaded from a text file with one title per line) by
position and renames every file in one step. It can also copy the listed
files to another folder.

Its interface is in Japanese.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${MELOPORT_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Without a Japanese font Qt draws the whole interface as empty boxes, and says nothing.
set(meloport_font_depends "fonts-ipafont-gothic | fonts-noto-cjk")
find_program(MELOPORT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(MELOPORT_DPKG_SHLIBDEPS)
    # The Qt and TagLib libraries and their versions come from the executable itself; the font is
    # appended.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${meloport_font_depends}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= ${Qt6_VERSION}), libqt6gui6 (>= ${Qt6_VERSION}), libqt6core6 (>= ${Qt6_VERSION}), libtag1v5 (>= ${TagLib_VERSION}), ${meloport_font_depends}")
endif()
# Japanese standard buttons in message boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

# What Debian asks of every package beside the program: the licence in its machine-readable
# copyright format, where the MIT licence goes by the name Expat (the text itself comes from
# LICENSE, so the two cannot drift apart), and the
# changelog, compressed, in the package's documentation folder. CMake's DOCDIR would take the
# project's capitalised name.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE meloport_license_text)
string(FIND "${meloport_license_text}" "Permission is hereby granted" meloport_license_start)
string(SUBSTRING "${meloport_license_text}" ${meloport_license_start} -1 meloport_license_text)
string(STRIP "${meloport_license_text}" meloport_license_text)
# A licence paragraph indents every line by one blank and marks an empty line with " .".
string(REPLACE "\n\n" "\n.\n" meloport_license_text "${meloport_license_text}")
string(REPLACE "\n" "\n " meloport_license_text " ${meloport_license_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
configure_file(resources/debian/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright @ONLY)

set(meloport_changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
meloport_gzip(${PROJECT_SOURCE_DIR}/resources/debian/changelog ${meloport_changelog})
add_custom_target(meloport_changelog ALL DEPENDS ${meloport_changelog})
set(meloport_docdir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright ${meloport_changelog} DESTINATION ${meloport_docdir})

# lintian's verdict on the package has no errors and no warnings. Its informational tags that
# remain, and why:
# - binary-has-unneeded-section .comment: the compilers' version notes; CPack's strip keeps them,
#   and they cost a few hundred bytes.
# - hardening-no-fortify-functions: the program is built with _FORTIFY_SOURCE=2, but no buffer call
#   in it has a size the compiler knows and cannot prove safe, so none is turned into a checked one.
# - package-contains-documentation-outside-usr-share-doc: the help command opens Meloport.html
#   from share/meloport, where the program finds it from its own folder under any prefix.

set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/" "__pycache__")

include(CPack)

# `cpack -G DEB` builds a Debian package from the install rules, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME meloport)
set(CPACK_PACKAGE_VENDOR "${MELOPORT_COPYRIGHT_HOLDER}")
set(CPACK_PACKAGE_CONTACT "${MELOPORT_COPYRIGHT_HOLDER}")
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
    # The Qt libraries and their versions come from the executable itself; the font is appended.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${meloport_font_depends}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= ${Qt6_VERSION}), libqt6gui6 (>= ${Qt6_VERSION}), libqt6core6 (>= ${Qt6_VERSION}), ${meloport_font_depends}")
endif()
# Japanese standard buttons in message boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/" "__pycache__")

include(CPack)

# Where `cmake --install` puts the program so that a desktop finds it: the executable in bin/, the
# desktop entry, the AppStream metadata, the icon and the manual pages under share/. The help
# document's rule sits with the help code.

# One id names the desktop entry, the AppStream component and the icon, so that software centres,
# menus and the window match. The screenshot is published under the homepage.
set(MELOPORT_APP_ID "org.meloport.Meloport")
set(MELOPORT_HOMEPAGE "https://meloport.org")
# Update together with the version in project(), the latest entry of resources/debian/changelog
# and the first lines of the manual pages in resources/man.
set(MELOPORT_RELEASE_DATE "2026-12-06")
set(MELOPORT_EXECUTABLE meloport)
# Qt on X11 names the window class after the application name; docks match it to the entry.
set(MELOPORT_WM_CLASS Meloport)

# Wayland compositors match the window to its desktop entry through this name.
target_compile_definitions(meloport PRIVATE MELOPORT_APP_ID="${MELOPORT_APP_ID}")

# Qt's project setup adds $ORIGIN/../lib for bundled libraries; every library here comes from the
# system, and an RPATH would only let a stray library next to the program be loaded first.
set_target_properties(meloport PROPERTIES INSTALL_RPATH "")
install(TARGETS meloport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

configure_file(resources/desktop/meloport.desktop.in
    ${CMAKE_CURRENT_BINARY_DIR}/desktop/${MELOPORT_APP_ID}.desktop @ONLY)
configure_file(resources/desktop/meloport.metainfo.xml.in
    ${CMAKE_CURRENT_BINARY_DIR}/desktop/${MELOPORT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/desktop/${MELOPORT_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/desktop/${MELOPORT_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES resources/images/meloport-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${MELOPORT_APP_ID}.png)
endforeach()

# `gzip -n` leaves out the file's name and time, so that a rebuild gives the same bytes; -9 is
# what Debian's own packages use.
find_program(MELOPORT_GZIP gzip REQUIRED)
function(meloport_gzip source output)
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${MELOPORT_GZIP} -9n -c ${source} > ${output}
        DEPENDS ${source}
        VERBATIM)
endfunction()

# The manual pages, English and Japanese, compressed as Debian installs them.
set(meloport_man_pages)
foreach(page IN ITEMS man1/meloport.1 ja/man1/meloport.1)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    meloport_gzip(${PROJECT_SOURCE_DIR}/resources/man/${page} ${compressed})
    list(APPEND meloport_man_pages ${compressed})
    get_filename_component(folder ${page} DIRECTORY)
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/${folder})
endforeach()
add_custom_target(meloport_man ALL DEPENDS ${meloport_man_pages})

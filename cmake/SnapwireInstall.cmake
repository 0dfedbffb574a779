# cmake --install build --prefix DIR: the program and snapwire-reg in DIR/bin, the help
# pages in DIR/share/snapwire/help, and a desktop launcher with the program's icon in
# DIR/share/applications and DIR/share/icons, so the desktop's menu can start it.
include(GNUInstallDirs)

install(TARGETS snapwire snapwire-reg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/windows/help_pages/ DESTINATION ${CMAKE_INSTALL_DATADIR}/snapwire/help
        FILES_MATCHING PATTERN "*.htm")
install(FILES ${CMAKE_SOURCE_DIR}/engine/resources/camera.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME snapwire.svg)

# The launcher names the installed program and icon by their full paths, so it starts
# whatever the prefix; the prefix is known only when the install runs.
install(CODE "set(snapwire_bindir \"${CMAKE_INSTALL_BINDIR}\")
              set(snapwire_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  set(launcher "$ENV{DESTDIR}${prefix}/${snapwire_datadir}/applications/snapwire.desktop")
  message(STATUS "Installing: ${launcher}")
  file(WRITE "${launcher}"
       "[Desktop Entry]\n"
       "Type=Application\n"
       "Name=Snapwire\n"
       "Comment=Webcam picture publisher\n"
       "Exec=\"${prefix}/${snapwire_bindir}/snapwire\"\n"
       "Icon=${prefix}/${snapwire_datadir}/icons/hicolor/scalable/apps/snapwire.svg\n"
       "Terminal=false\n"
       "Categories=AudioVideo;Video;Network;\n")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${launcher}")
]])

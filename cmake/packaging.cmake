# Packages (cpack in a build directory, or scripts/package for all of them):
#   Windows: QuorvexCommandPack-<version>-win64.zip / -win32.zip, the
#            programs and README.txt at the top of the archive;
#   Linux:   a .tar.gz and a .deb with the programs in bin/ and the manual page.
set(CPACK_PACKAGE_NAME "QuorvexCommandPack")
set(CPACK_PACKAGE_VENDOR "Quorvex")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Twenty-one small command-line tools for batch files and shells")
set(CPACK_PACKAGE_CONTACT "Quorvex <support@quorvex.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.quorvex.com")

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QCP_PACKAGE_ARCH win64)
  else()
    set(QCP_PACKAGE_ARCH win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${QCP_PACKAGE_ARCH}")
  # Plain text with CR LF line ends, for Notepad.
  file(READ ${CMAKE_SOURCE_DIR}/packaging/README.txt readme)
  string(REPLACE "\r\n" "\n" readme "${readme}")
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${readme}")
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux-x86_64")
  set(CPACK_DEBIAN_PACKAGE_NAME "quorvex-command-pack")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: GStreamer and its
  # plug-ins (sound, video, the GTK video sink), the icon and sound themes.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libgstreamer1.0-0, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-gtk3, adwaita-icon-theme")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-pulseaudio, sound-theme-freedesktop, xdg-utils")
  # The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Close, restore, minimise, maximise and pin windows; list processes; print\nthe tick count; lock the session; log off; empty the trash; open\ndocuments; beep; play WAVE files; list text files; roll dice; show\nmessage boxes, pictures and videos; and print jokes.")
  # Manual pages are installed compressed.
  set(man ${CMAKE_BINARY_DIR}/packaging/quorvex-command-pack.1)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/quorvex-command-pack.1 ${man} COPYONLY)
  file(ARCHIVE_CREATE OUTPUT ${man}.gz PATHS ${man} FORMAT raw COMPRESSION GZip)
  install(FILES ${man}.gz DESTINATION share/man/man1)
  # Each tool has its own page too (qcp_tool()).
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/quorvex-command-pack)
endif()

include(CPack)

qcp_platform_concern(picture_window
  PACKAGE media
  WIN32 win32/win32_picture_window.cc
  POSIX posix/gtk_picture_window.cc
  FAKE fake/fake_picture_window.cc
  WIN32_LIBS gdiplus gdi32 user32
  POSIX_LIBS PkgConfig::GTK qcp_platform_files)
# The pack's icon, drawn in tools/media/picture_show_icon.xpm; the build
# turns it into pixels for this backend and into a resource for Windows.
if(NOT QCP_BACKEND STREQUAL "win32")
  target_include_directories(qcp_platform_picture_window PRIVATE ${CMAKE_BINARY_DIR}/generated)
endif()

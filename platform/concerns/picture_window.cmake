qcp_platform_concern(picture_window
  WIN32 win32/win32_picture_window.cc
  POSIX posix/gtk_picture_window.cc
  FAKE fake/fake_picture_window.cc
  WIN32_LIBS gdiplus gdi32 user32
  POSIX_LIBS PkgConfig::GTK)

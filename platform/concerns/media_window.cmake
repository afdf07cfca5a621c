qcp_platform_concern(media_window
  PACKAGE media
  WIN32 win32/win32_media_window.cc win32/win32_ole_site.cc
  POSIX posix/gtk_media_window.cc
  FAKE fake/fake_media_window.cc
  WIN32_LIBS ole32 oleaut32 uuid user32
  POSIX_LIBS PkgConfig::GTK PkgConfig::GST)

qcp_platform_concern(event_loop
  PACKAGE media
  WIN32 win32/win32_event_loop.cc
  POSIX posix/gtk_event_loop.cc
  FAKE fake/fake_event_loop.cc
  WIN32_LIBS user32
  POSIX_LIBS PkgConfig::GTK)

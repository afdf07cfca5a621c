qcp_platform_concern(dialogs
  PACKAGE media
  WIN32 win32/win32_dialogs.cc
  POSIX posix/gtk_dialogs.cc
  FAKE fake/fake_dialogs.cc
  WIN32_LIBS user32
  POSIX_LIBS PkgConfig::GTK)

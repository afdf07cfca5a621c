qcp_platform_concern(open
  PACKAGE windows
  WIN32 win32/win32_open.cc
  POSIX posix/gio_open.cc
  FAKE fake/fake_open.cc
  WIN32_LIBS shell32 ole32 user32
  POSIX_LIBS PkgConfig::GIO)

qcp_platform_concern(session
  PACKAGE windows
  WIN32 win32/win32_session.cc
  POSIX posix/logind_session.cc
  FAKE fake/fake_session.cc
  WIN32_LIBS advapi32 user32
  POSIX_LIBS PkgConfig::GIO)

qcp_platform_concern(console
  WIN32 win32/win32_console.cc
  POSIX posix/posix_console.cc
  FAKE fake/fake_platform.cc fake/fake_calls.cc fake/fake_console.cc
  POSIX_STATIC)

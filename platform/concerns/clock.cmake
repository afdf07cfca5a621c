qcp_platform_concern(clock
  WIN32 win32/win32_clock.cc
  POSIX posix/posix_clock.cc
  FAKE fake/fake_clock.cc
  POSIX_STATIC)

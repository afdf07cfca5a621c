qcp_platform_concern(locale
  WIN32 win32/win32_locale.cc
  POSIX posix/posix_locale.cc
  FAKE fake/fake_locale.cc
  POSIX_STATIC)

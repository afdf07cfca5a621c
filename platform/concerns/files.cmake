qcp_platform_concern(files
  WIN32 win32/win32_files.cc
  POSIX posix/posix_files.cc posix/file_failure.cc
  FAKE fake/fake_files.cc
  POSIX_STATIC)

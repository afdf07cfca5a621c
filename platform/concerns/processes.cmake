qcp_platform_concern(processes
  WIN32 win32/win32_processes.cc
  POSIX posix/proc_processes.cc
  FAKE fake/fake_processes.cc
  POSIX_STATIC)

qcp_platform_concern(window_control
  WIN32 win32/win32_window_control.cc
  POSIX posix/x11_window_control.cc
  FAKE fake/fake_window_control.cc
  WIN32_LIBS user32
  POSIX_LIBS qcp_x11_static
  POSIX_STATIC)

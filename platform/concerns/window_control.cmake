# Natively: Wayland compositors first where the session has one, then X11
# (Xlib from its static archives). libwayland-client exists only as a shared
# library, so the window tools are dynamic programs.
qcp_platform_concern(window_control
  WIN32 win32/win32_window_control.cc
  POSIX posix/posix_window_control.cc posix/x11_window_control.cc
  FAKE fake/fake_window_control.cc
  WIN32_LIBS user32
  POSIX_LIBS qcp_platform_wayland qcp_x11_static)

# Natively: Wayland compositors first where the session has one (through the
# Wayland module, loaded only then), then X11, with Xlib from its static
# archives (or shared, with QCP_STATIC off). Loading the module takes the
# dynamic loader, so the window tools are dynamic programs, though of the C
# library alone when static.
qcp_platform_concern(window_control
  PACKAGE windows
  WIN32 win32/win32_window_control.cc
  POSIX posix/window_control/chooser.cc posix/window_control/wayland_module_loader.cc
        posix/window_control/x11_ewmh.cc posix/window_control/gnome_shell.cc
        posix/window_control/gio_session_bus.cc
  FAKE fake/fake_window_control.cc
  WIN32_LIBS user32
  POSIX_LIBS qcp_x11 qcp_gio_headers ${CMAKE_DL_LIBS})
if(QCP_BACKEND STREQUAL "posix")
  add_dependencies(qcp_platform_window_control qcp_wayland_module)
endif()

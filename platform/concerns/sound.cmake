qcp_platform_concern(sound
  PACKAGE media
  WIN32 win32/win32_sound.cc
  POSIX posix/gst_sound.cc posix/gst_library.cc
  FAKE fake/fake_sound.cc
  WIN32_LIBS winmm
  POSIX_LIBS qcp_gst_headers)

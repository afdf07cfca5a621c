# On POSIX the trash plays its emptying sound through the sound concern's player.
qcp_platform_concern(trash
  PACKAGE media
  WIN32 win32/win32_trash.cc
  POSIX posix/xdg_trash.cc posix/fd_tree.cc posix/gtk_trash_dialogs.cc posix/trash_sound.cc
  FAKE fake/fake_trash.cc
  WIN32_LIBS shell32
  POSIX_LIBS PkgConfig::GTK PkgConfig::GIO qcp_platform_sound)

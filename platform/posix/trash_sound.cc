#include "platform/posix/trash_sound.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/gst_sound.h"
#include "platform/posix/gtk_trash_dialogs.h"

namespace platform {
namespace {

// The sound theme's file for `name`: the user's theme first, then the
// freedesktop theme every other inherits from.
std::string ThemeSound(const char* name) {
  std::vector<std::string> themes;
  if (TrashDisplayAvailable()) {
    gchar* theme = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-sound-theme-name", &theme, nullptr);
    if (theme != nullptr && *theme != '\0' && std::string_view(theme).find('/') == std::string_view::npos) {
      themes.emplace_back(theme);
    }
    g_free(theme);
  }
  if (std::find(themes.begin(), themes.end(), "freedesktop") == themes.end()) themes.emplace_back("freedesktop");

  std::vector<std::string> bases{g_get_user_data_dir()};
  for (const gchar* const* data = g_get_system_data_dirs(); *data != nullptr; ++data) bases.emplace_back(*data);
  for (const std::string& theme : themes) {
    for (const std::string& base : bases) {
      for (const char* subdirectory : {"/stereo/", "/"}) {
        for (const char* extension : {".oga", ".ogg", ".wav"}) {
          const std::string path = base + "/sounds/" + theme + subdirectory + name + extension;
          if (::access(path.c_str(), R_OK) == 0) return path;
        }
      }
    }
  }
  return {};
}

}  // namespace

void PlayEmptyingSound() {
  if (TrashDisplayAvailable()) {
    gboolean enabled = TRUE;
    g_object_get(gtk_settings_get_default(), "gtk-enable-event-sounds", &enabled, nullptr);
    if (!enabled) return;
  }
  const std::string path = ThemeSound("trash-empty");
  if (path.empty()) return;
  // A theme sound is short; a stuck output device must not keep the tool.
  PlaySoundFile(path, std::chrono::seconds(10));
}

}  // namespace platform

// Win32 recycle bin: SHEmptyRecycleBinW.
#include "platform/win32/win32_common.h"

#include <shellapi.h>

#include "platform/trash.h"

namespace platform {

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  DWORD flags = 0;
  if (!options.confirm) flags |= SHERB_NOCONFIRMATION;
  if (!options.show_progress) flags |= SHERB_NOPROGRESSUI;
  if (!options.play_sound) flags |= SHERB_NOSOUND;
  return SUCCEEDED(::SHEmptyRecycleBinW(nullptr, Wide(root), flags));
}

}  // namespace platform

#include "platform/fake/fake_platform.h"
#include "platform/trash.h"

namespace platform {

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  fake::Record(fake::EmptyTrashCall{root, options.confirm, options.show_progress, options.play_sound});
  return true;
}

}  // namespace platform

#include "platform/fake/fake_trash.h"

#include "platform/fake/fake_platform.h"
#include "platform/trash.h"

namespace fake {
namespace {

std::vector<EmptyTrashCall>& Made() {
  static std::vector<EmptyTrashCall> calls;
  return calls;
}

const Resetter reset([] { Made().clear(); });

}  // namespace

const std::vector<EmptyTrashCall>& EmptyTrashCalls() { return Made(); }

}  // namespace fake

namespace platform {

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  fake::Made().push_back({root, options.confirm, options.show_progress, options.play_sound});
  return true;
}

}  // namespace platform

// The recycle bin's calls, as made.
#pragma once

#include <string>
#include <vector>

namespace fake {

struct EmptyTrashCall {
  std::u16string root;
  bool confirm = false;
  bool show_progress = false;
  bool play_sound = false;
  bool operator==(const EmptyTrashCall&) const = default;
};

const std::vector<EmptyTrashCall>& EmptyTrashCalls();

}  // namespace fake

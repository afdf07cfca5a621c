// The items opened, as asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct OpenItemCall {
  std::u16string item;
  std::u16string parameters;
  std::u16string directory;
  std::intptr_t owner_window = 0;
  bool wait = false;
  bool operator==(const OpenItemCall&) const = default;
};

const std::vector<OpenItemCall>& OpenItemCalls();

}  // namespace fake

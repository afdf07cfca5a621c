#include "platform/fake/fake_open.h"

#include "platform/fake/fake_platform.h"
#include "platform/open.h"

namespace fake {
namespace {

std::vector<OpenItemCall>& Made() {
  static std::vector<OpenItemCall> calls;
  return calls;
}

const Resetter reset([] { Made().clear(); });

}  // namespace

const std::vector<OpenItemCall>& OpenItemCalls() { return Made(); }

}  // namespace fake

namespace platform {

bool OpenItem(const OpenRequest& request) {
  fake::Made().push_back({request.item, request.parameters, request.directory, request.owner_window, request.wait});
  return true;
}

}  // namespace platform

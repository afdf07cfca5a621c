#include "platform/fake/fake_platform.h"
#include "platform/open.h"

namespace platform {

bool OpenItem(const OpenRequest& request) {
  fake::Record(fake::OpenItemCall{request.item, request.parameters, request.directory,
                                  request.wait});
  return true;
}

}  // namespace platform

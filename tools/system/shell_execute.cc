#include "tools/system/shell_execute.h"

#include "platform/open.h"

namespace start {

void ExecuteFile(const std::u16string& file, const std::u16string& parameters, WindowShow /*show*/,
                 const std::u16string& directory, bool wait) {
  // Every item opens in a normal window, the only way `show` can ask for.
  platform::OpenRequest request;
  request.item = file;
  request.parameters = parameters;
  request.directory = directory;
  request.wait = wait;
  platform::OpenItem(request);
}

}  // namespace start

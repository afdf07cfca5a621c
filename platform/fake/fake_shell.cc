#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/shell.h"

namespace platform {

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  std::string call = "EmptyTrash(\"" + fake::Narrow(root) + "\"";
  if (options.confirm) call += ", confirm";
  if (options.show_progress) call += ", progress";
  if (options.play_sound) call += ", sound";
  fake::Record(call + ")");
  return true;
}

bool OpenItem(const OpenRequest& request) {
  std::string call = "OpenItem(" + fake::Narrow(request.item);
  if (!request.parameters.empty()) call += ", parameters " + fake::Narrow(request.parameters);
  if (!request.directory.empty()) call += ", in " + fake::Narrow(request.directory);
  if (request.owner_window != 0) call += ", owner " + std::to_string(request.owner_window);
  if (request.wait) call += ", wait";
  fake::Record(call + ")");
  return true;
}

}  // namespace platform

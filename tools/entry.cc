#include "tools/entry.h"

#include <new>
#include <string>

#include "console/failure.h"
#include "platform/console.h"

namespace qcp {

int RunTool(int argc, char** argv, const ToolEntry& tool) {
  platform::StartProcess();
  std::u16string failure;
  try {
    const std::u16string tail = platform::CommandTail(argc, argv);
    // Event-time handlers of the windowed tools print through it too, so it
    // lives until the event loop has returned.
    StdOutput out;
    tool.main(tail, out);
    if (tool.event_loop != nullptr) tool.event_loop();
    return 0;
  } catch (const Unfulfilled& unmet) {
    std::u16string line(tool.name);
    line += u": ";
    line += unmet.What();
    platform::WriteStdErrLine(line);
    return 1;
  } catch (const Failure& raised) {
    failure = raised.Description();
  } catch (const std::bad_alloc&) {
    failure = std::u16string(failures::kOutOfMemory);
  }
  std::u16string line(tool.name);
  line += u": run-time error: ";
  line += failure;
  platform::WriteStdErrLine(line);
  return 1;
}

}  // namespace qcp

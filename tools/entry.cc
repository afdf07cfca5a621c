#include "tools/entry.h"

#include <new>
#include <string>

#include "console/failure.h"
#include "platform/console.h"

namespace qcp {

int RunTool(int argc, char** argv, std::u16string_view name, void (*main)(), void (*message_loop)()) {
  platform::StartProcess(argc, argv);
  std::u16string failure;
  try {
    main();
    if (message_loop != nullptr) message_loop();
    return 0;
  } catch (const Failure& raised) {
    failure = raised.Description();
  } catch (const std::bad_alloc&) {
    failure = std::u16string(failures::kOutOfMemory);
  }
  std::u16string line(name);
  line += u": run-time error: ";
  line += failure;
  platform::WriteStdErrLine(line);
  return 1;
}

}  // namespace qcp

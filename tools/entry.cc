#include "tools/entry.h"

#include <new>
#include <string>

#include "console/command_line.h"
#include "console/failure.h"
#include "platform/console.h"
#include "tools/help.h"
#include "tools/products.h"

namespace qcp {

bool ShowsHelp(HelpRule rule, std::u16string_view tail) {
  switch (rule) {
    case HelpRule::kHelpSwitch:
    case HelpRule::kHelpSwitchOrDash:
      return HasHelpSwitch(tail);
    case HelpRule::kEmptyTail:
      return tail.empty();
    case HelpRule::kFewerThanTwoWords:
      return SplitWords(tail).size() < 2;  // an empty tail is one empty word
    case HelpRule::kExactlyTwoWords:
      return SplitWords(tail).size() != 2;
  }
  return false;
}

void PrintToolHelp(const ToolEntry& tool, IPrintTarget& out) { PrintHelpScreen(out, tool.help); }

Status RunTail(const ToolEntry& tool, std::u16string_view tail, IPrintTarget& out) {
  if (platform::UnixCommandConventions()) {
    // Reserved before anything else, so that no tool ever acts on them.
    if (tail == u"--help") {
      PrintToolHelp(tool, out);
      return Status::kDone;
    }
    if (tail == u"--version") {
      std::u16string line(tool.name);
      line += u" (";
      line += kPackProduct;
      line += u") " QCP_VERSION;
      PrintLine(out, line);
      return Status::kDone;
    }
    if (tail == u"--list-captions" && tool.list_captions != nullptr) return tool.list_captions(out);
  }
  const std::u16string cleaned = tool.removes_quotes ? CleanCommandLine(tail) : std::u16string(tail);
  if (ShowsHelp(tool.help_rule, cleaned)) {
    PrintToolHelp(tool, out);
    return tool.help_rule == HelpRule::kHelpSwitch || tool.help_rule == HelpRule::kHelpSwitchOrDash ? Status::kDone
                                                                                                    : Status::kMissing;
  }
  // Natively an option is typed with a dash; these tools have none, so one
  // is a request for help that was not understood, never for the work.
  if (tool.help_rule == HelpRule::kHelpSwitchOrDash && platform::UnixCommandConventions() && HasDashWord(cleaned)) {
    PrintToolHelp(tool, out);
    return Status::kMissing;
  }
  return tool.main(cleaned, out);
}

namespace {

// The one line on standard error that ends a failed run, naming the tool.
int Report(const ToolEntry& tool, std::u16string_view what) {
  std::u16string line(tool.name);
  line += u": ";
  line += what;
  platform::WriteStdErrLine(line);
  return 1;
}

}  // namespace

int RunTool(int argc, char** argv, const ToolEntry& tool) {
  platform::StartProcess();
  std::u16string failure;
  try {
    const std::u16string tail = platform::CommandTail(argc, argv);
    // Event-time handlers of the windowed tools print through it too, so it
    // lives until the event loop has returned.
    StdOutput out;
    Status status = RunTail(tool, tail, out);
    if (tool.event_loop != nullptr) {
      const Status after = tool.event_loop();
      if (after != Status::kDone) status = after;
    }
    const std::u16string lost = platform::StdOutFailure();
    if (!lost.empty()) RaiseUnfulfilled(u"cannot write to standard output (" + lost + u"); the output is incomplete");
    return platform::UnixCommandConventions() ? static_cast<int>(status) : 0;
  } catch (const Unfulfilled& unmet) {
    return Report(tool, unmet.What());
  } catch (const Failure& raised) {
    failure = raised.Description();
  } catch (const std::bad_alloc&) {
    failure = std::u16string(failures::kOutOfMemory);
  }
  return Report(tool, u"run-time error: " + failure);
}

}  // namespace qcp

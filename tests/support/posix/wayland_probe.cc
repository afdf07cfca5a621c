// Drives the Wayland window module from the command line for the
// end-to-end tests: wayland_probe <verb> <caption>, where the caption "0"
// means the active window. Verbs: find, active, close, minimize, maximize,
// restore, pin, unpin; with a "kwin-" prefix the KWin script does the work.
// Prints one line: "found <id> <title>", "done", "not found", "no sway",
// "failed" or "not available: <why>".
#include <cstdio>
#include <string>
#include <string_view>

#include "console/utf.h"
#include "platform/posix/wayland_kwin_script.h"
#include "platform/posix/wayland_sway_ipc.h"
#include "platform/posix/wayland_toplevels.h"

namespace {

using platform::wayland::Action;
using platform::wayland::KWinAction;
using platform::wayland::KWinOutcome;

void Say(const std::string& line) { std::printf("%s\n", line.c_str()); }

int RunKWin(std::string_view verb, const std::u16string& caption) {
  const bool active = caption == u"0";
  KWinAction action = KWinAction::kFind;
  if (verb == "close") action = KWinAction::kClose;
  else if (verb == "minimize") action = KWinAction::kMinimize;
  else if (verb == "maximize") action = KWinAction::kMaximize;
  else if (verb == "restore") action = KWinAction::kRestore;
  else if (verb == "pin") action = KWinAction::kPin;
  else if (verb == "unpin") action = KWinAction::kUnpin;
  else if (verb != "find" && verb != "active") return 2;
  std::u16string title;
  switch (platform::wayland::KWinAct(caption, active || verb == "active", action, &title)) {
    case KWinOutcome::kNoKWin:
      Say("not available: no KWin");
      break;
    case KWinOutcome::kNotFound:
      Say("not found");
      break;
    case KWinOutcome::kDone:
      Say(action == KWinAction::kFind ? "found " + qcp::Utf8FromUtf16(title) : "done");
      break;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wayland_probe [kwin-]find|active|close|minimize|maximize|restore|pin|unpin <caption>\n");
    return 2;
  }
  std::string_view verb = argv[1];
  std::string words;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) words += ' ';
    words += argv[i];
  }
  const std::u16string caption = qcp::Utf16FromUtf8(words);
  if (verb.substr(0, 5) == "kwin-") return RunKWin(verb.substr(5), caption);

  switch (platform::wayland::Probe()) {
    case platform::wayland::Availability::kNoDisplay:
      Say("not available: no display");
      return 0;
    case platform::wayland::Availability::kNoManager:
      Say("not available: no toplevel manager");
      return 0;
    case platform::wayland::Availability::kAvailable:
      break;
  }
  const platform::wayland::ToplevelId id =
      verb == "active" || caption == u"0" ? platform::wayland::ActiveToplevel() : platform::wayland::FindToplevel(caption);
  std::u16string title;
  if (id == 0 || !platform::wayland::ToplevelTitle(id, title)) {
    Say("not found");
    return 0;
  }
  if (verb == "find" || verb == "active") {
    Say("found " + std::to_string(id) + " " + qcp::Utf8FromUtf16(title));
    return 0;
  }
  if (verb == "pin" || verb == "unpin") {
    switch (platform::wayland::SwaySetPinned(qcp::Utf8FromUtf16(title), verb == "pin")) {
      case platform::wayland::SwayOutcome::kNoSway:
        Say("no sway");
        break;
      case platform::wayland::SwayOutcome::kDone:
        Say("done");
        break;
      case platform::wayland::SwayOutcome::kRefused:
        Say("failed");
        break;
    }
    return 0;
  }
  Action action;
  if (verb == "close") action = Action::kClose;
  else if (verb == "minimize") action = Action::kMinimize;
  else if (verb == "maximize") action = Action::kMaximize;
  else if (verb == "restore") action = Action::kRestore;
  else return 2;
  Say(platform::wayland::Act(id, action) ? "done" : "failed");
  return 0;
}

// The six window tools: each asks a top-level window, named by its caption
// or "0" for the active one, to do one thing. Each is a program of its own;
// they differ only in their help screen and their one call.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace qcp::entries {

namespace {

// The tail, quotes and all, is the caption. Nothing is printed once the
// window is found, also when the request could not be sent.
template <bool (*kAct)(platform::WindowHandle)>
Status PaneMain(std::u16string_view tail, IPrintTarget& out) {
  const platform::WindowHandle window = TargetWindow(out, tail);
  return window != 0 && kAct(window) ? Status::kDone : Status::kFailed;
}

bool Pin(platform::WindowHandle window) { return platform::SetTopmost(window, true); }
bool Unpin(platform::WindowHandle window) { return platform::SetTopmost(window, false); }

constexpr std::u16string_view kPaneShutHelp[] = {
    u"    PaneShut.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to be closed. Pass a 0 (zero) to",
    u"    close the currently active window.",
};
constexpr std::u16string_view kPaneReviveHelp[] = {
    u"    PaneRevive.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to restore. Pass a 0 (zero) to restore",
    u"    the currently active window.",
};
constexpr std::u16string_view kPaneShrinkHelp[] = {
    u"    PaneShrink.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to be minimized. Pass a 0 (zero) to",
    u"    minimize the currently active window.",
};
constexpr std::u16string_view kPaneGrowHelp[] = {
    u"    PaneGrow.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to be maximized. Pass a 0 (zero) to",
    u"    maximize the currently active window.",
};
constexpr std::u16string_view kPanePinHelp[] = {
    u"    PanePin.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to be topmost (stickied). Pass a",
    u"    0 (zero) to make the currently active window",
    u"    topmost (stickied).",
};
constexpr std::u16string_view kPaneUnpinHelp[] = {
    u"    PaneUnpin.exe <window caption>",
    u"",
    u"    Pass the name of the window (minus quotes!) that",
    u"    you would like to not be topmost. Pass a 0 (zero)",
    u"    to make the currently active window not topmost.",
};

// One line per caption, each once; one that would not stay one line is left out.
Status ListCaptions(IPrintTarget& out) {
  std::vector<std::u16string> listed;
  for (const std::u16string& caption : platform::WindowCaptions()) {
    if (caption.find_first_of(u"\r\n") != std::u16string::npos) continue;
    if (std::find(listed.begin(), listed.end(), caption) != listed.end()) continue;
    PrintLine(out, caption);
    listed.push_back(caption);
  }
  return Status::kDone;
}

}  // namespace

// PaneShut, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Asks a window to close
//   About: Asks a window to close, as its Close menu item does.
//   Example: PaneShut untitled document 1 - gedit
//   Batch example: PaneShut.exe Untitled - Notepad
//   Synopsis: caption
//   Pack page: Asks the top-level window with that caption to close.
extern const ToolEntry kPaneShut{u"PaneShut", kPaneShutHelp, HelpRule::kEmptyTail, false,
                                 &PaneMain<&platform::CloseWindow>, nullptr, &ListCaptions};
// PaneRevive, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Restores a minimised or maximised window
//   About: Restores a minimised or maximised window.
//   Example: PaneRevive Calculator
//   Batch example: PaneRevive.exe Calculator
//   Synopsis: caption
//   Pack page: Asks the window to restore from minimised or maximised.
extern const ToolEntry kPaneRevive{u"PaneRevive", kPaneReviveHelp, HelpRule::kEmptyTail, false,
                                   &PaneMain<&platform::RestoreWindow>, nullptr, &ListCaptions};
// PaneShrink, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Minimises a window
//   About: Minimises a window.
//   Example: PaneShrink 0
//   Batch example: PaneShrink.exe 0
//   Synopsis: caption
//   Pack page: Minimises the window.
extern const ToolEntry kPaneShrink{u"PaneShrink", kPaneShrinkHelp, HelpRule::kEmptyTail, false,
                                   &PaneMain<&platform::MinimizeWindow>, nullptr, &ListCaptions};
// PaneGrow, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Maximises a window
//   About: Maximises a window.
//   Example: PaneGrow Terminal
//   Example: PaneGrow Terminal || echo "no window called Terminal"
//   Batch example: PaneGrow.exe Untitled - Notepad
//   Synopsis: caption
//   Pack page: Maximises the window.
extern const ToolEntry kPaneGrow{u"PaneGrow", kPaneGrowHelp, HelpRule::kEmptyTail, false,
                                 &PaneMain<&platform::MaximizeWindow>, nullptr, &ListCaptions};
// PanePin, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Keeps a window above all others
//   About: Keeps a window above all others.
//   Example: PanePin 0
//   Batch example: PanePin.exe 0
//   Synopsis: caption
//   Pack page: Keeps the window above the others.
extern const ToolEntry kPanePin{u"PanePin", kPanePinHelp, HelpRule::kEmptyTail, false, &PaneMain<&Pin>, nullptr,
                                &ListCaptions};
// PaneUnpin, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: window_control
//   Sources: window_targeting.h
//   Description: Lets a topmost window go back among the others
//   About: Lets a pinned window go below others again.
//   Example: PaneUnpin 0
//   Batch example: PaneUnpin.exe 0
//   Synopsis: caption
//   Pack page: Lets the window go below the others again.
extern const ToolEntry kPaneUnpin{u"PaneUnpin", kPaneUnpinHelp, HelpRule::kEmptyTail, false, &PaneMain<&Unpin>,
                                  nullptr, &ListCaptions};

}  // namespace qcp::entries

// PaneUnpin: lets a topmost window, named by its caption, go back among the others.
#include "console/help.h"
#include "console/std_output.h"
#include "platform/window_control.h"
#include "tools/window/window_targeting.h"

namespace PaneUnpin::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    PaneUnpin.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to not be topmost. Pass a 0 (zero)",
      u"    to make the currently active window not topmost.",
  });
}

void Main() {
  qcp::RunWindowTool(objOutput, ShowUsage, [](platform::WindowHandle window) {
    platform::SetWindowPos(window, platform::kHwndNoTopmost, 0, 0, 0, 0, platform::kSwpNoMove | platform::kSwpNoSize);
  });
}

}  // namespace PaneUnpin::modStartup

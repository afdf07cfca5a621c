// PaneShut: asks a top-level window, named by its caption, to close (as its Close menu item does).
#include "console/help.h"
#include "console/std_output.h"
#include "platform/window_control.h"
#include "tools/window/window_targeting.h"

namespace PaneShut::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    PaneShut.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be closed. Pass a 0 (zero) to",
      u"    close the currently active window.",
  });
}

void Main() {
  qcp::RunWindowTool(objOutput, ShowUsage, [](platform::WindowHandle window) {
    platform::PostMessage(window, platform::kWmSysCommand, platform::kScClose, 0);
  });
}

}  // namespace PaneShut::modStartup

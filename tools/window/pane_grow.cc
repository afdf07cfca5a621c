// PaneGrow: asks a top-level window, named by its caption, to maximise.
#include "console/help.h"
#include "console/std_output.h"
#include "platform/window_control.h"
#include "tools/window/window_targeting.h"

namespace PaneGrow::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    PaneGrow.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be maximized. Pass a 0 (zero) to",
      u"    maximize the currently active window.",
  });
}

void Main() {
  qcp::RunWindowTool(objOutput, ShowUsage, [](platform::WindowHandle window) {
    platform::PostMessage(window, platform::kWmSysCommand, platform::kScMaximize, 0);
  });
}

}  // namespace PaneGrow::modStartup

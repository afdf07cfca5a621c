// PaneShrink: asks a top-level window, named by its caption, to minimise.
#include "console/help.h"
#include "console/std_output.h"
#include "platform/window_control.h"
#include "tools/window/window_targeting.h"

namespace PaneShrink::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    PaneShrink.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be minimized. Pass a 0 (zero) to",
      u"    minimize the currently active window.",
  });
}

void Main() {
  qcp::RunWindowTool(objOutput, ShowUsage, [](platform::WindowHandle window) {
    platform::PostMessage(window, platform::kWmSysCommand, platform::kScMinimize, 0);
  });
}

}  // namespace PaneShrink::modStartup

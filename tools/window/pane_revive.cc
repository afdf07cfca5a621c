// PaneRevive: asks a top-level window, named by its caption, to restore from minimised or maximised.
#include "console/help.h"
#include "console/std_output.h"
#include "platform/window_control.h"
#include "tools/window/window_targeting.h"

namespace PaneRevive::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    PaneRevive.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to restore. Pass a 0 (zero) to restore",
      u"    the currently active window.",
  });
}

void Main() {
  qcp::RunWindowTool(objOutput, ShowUsage, [](platform::WindowHandle window) {
    platform::PostMessage(window, platform::kWmSysCommand, platform::kScRestore, 0);
  });
}

}  // namespace PaneRevive::modStartup

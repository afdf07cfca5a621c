// PaneRevive: asks a top-level window, named by its caption, to restore from minimised or maximised.
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_revive {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PaneRevive.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to restore. Pass a 0 (zero) to restore",
      u"    the currently active window.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::RestoreWindow(window); });
}

extern const qcp::ToolEntry kTool{u"PaneRevive", &Main};

}  // namespace pane_revive

// PaneShrink: asks a top-level window, named by its caption, to minimise.
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_shrink {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PaneShrink.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be minimized. Pass a 0 (zero) to",
      u"    minimize the currently active window.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::MinimizeWindow(window); });
}

extern const qcp::ToolEntry kTool{u"PaneShrink", &Main};

}  // namespace pane_shrink

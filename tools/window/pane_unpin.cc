// PaneUnpin: lets a topmost window, named by its caption, go back among the others.
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_unpin {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PaneUnpin.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to not be topmost. Pass a 0 (zero)",
      u"    to make the currently active window not topmost.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::SetTopmost(window, false); });
}

extern const qcp::ToolEntry kTool{u"PaneUnpin", &Main};

}  // namespace pane_unpin

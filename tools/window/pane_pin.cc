// PanePin: keeps a top-level window, named by its caption, above all others (topmost).
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_pin {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PanePin.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be topmost (stickied). Pass a",
      u"    0 (zero) to make the currently active window",
      u"    topmost (stickied).",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::SetTopmost(window, true); });
}

extern const qcp::ToolEntry kTool{u"PanePin", &Main};

}  // namespace pane_pin

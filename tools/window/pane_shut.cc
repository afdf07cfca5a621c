// PaneShut: asks a top-level window, named by its caption, to close (as its Close menu item does).
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_shut {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PaneShut.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be closed. Pass a 0 (zero) to",
      u"    close the currently active window.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::CloseWindow(window); });
}

extern const qcp::ToolEntry kTool{u"PaneShut", &Main};

}  // namespace pane_shut

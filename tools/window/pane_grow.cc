// PaneGrow: asks a top-level window, named by its caption, to maximise.
#include "platform/window_control.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/window/window_targeting.h"

namespace pane_grow {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    PaneGrow.exe <window caption>",
      u"",
      u"    Pass the name of the window (minus quotes!) that",
      u"    you would like to be maximized. Pass a 0 (zero) to",
      u"    maximize the currently active window.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  qcp::RunWindowTool(tail, out, ShowUsage, [](platform::WindowHandle window) { platform::MaximizeWindow(window); });
}

extern const qcp::ToolEntry kTool{u"PaneGrow", &Main};

}  // namespace pane_grow

// The window intents on a Linux desktop. On a Wayland session the
// compositor's own windows are looked for first, through whatever it offers
// other programs (the wlroots foreign-toplevel protocol, a KWin script, or
// on GNOME the pack's Shell extension), then the X11 windows of XWayland;
// without Wayland, X11 alone, as ever. Handles of Wayland windows carry tag
// bits that no X11 window id has (GNOME's: both top bits). The
// Wayland code is a module loaded only on a Wayland session.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <errno.h>

#include "console/utf.h"
#include "platform/console.h"
#include "platform/posix/gnome_windows.h"
#include "platform/posix/wayland_module.h"
#include "platform/posix/x11_window_control.h"
#include "platform/window_control.h"

namespace platform {
namespace {

// X11 ids fit in 29 bits; the top two bits of a handle say whose it is.
constexpr unsigned kHandleBits = sizeof(WindowHandle) * 8;
constexpr WindowHandle kToplevelTag = WindowHandle{1} << (kHandleBits - 1);
constexpr WindowHandle kKWinTag = WindowHandle{1} << (kHandleBits - 2);
constexpr WindowHandle kTags = kToplevelTag | kKWinTag;

enum class Desktop {
  kX11,          // no Wayland session
  kWlroots,      // a compositor with the foreign-toplevel protocol
  kKWin,         // KDE Plasma: windows through KWin scripts
  kGnome,        // GNOME Shell: windows through the pack's Shell extension
  kWaylandShut,  // a Wayland session that lets no other program at its windows
};

bool HasText(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool OnKde() {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  return (desktops != nullptr && std::strstr(desktops, "KDE") != nullptr) || HasText("KDE_FULL_SESSION");
}

bool OnGnome() {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  return desktops != nullptr && std::strstr(desktops, "GNOME") != nullptr;
}

// The Wayland module; only ever asked for once CurrentDesktop has found it.
const wayland::Module& Wayland() { return *wayland::LoadModule(); }

Desktop CurrentDesktop() {
  static const Desktop desktop = [] {
    if (!HasText("WAYLAND_DISPLAY")) return Desktop::kX11;
    // GNOME needs nothing of the Wayland module.
    if (OnGnome()) return Desktop::kGnome;
    if (wayland::LoadModule() == nullptr) return Desktop::kX11;
    switch (Wayland().probe()) {
      case wayland::Availability::kAvailable: return Desktop::kWlroots;
      case wayland::Availability::kNoDisplay: return Desktop::kX11;  // a stale variable: no compositor there
      case wayland::Availability::kNoManager: break;
    }
    if (OnKde()) return Desktop::kKWin;
    return gnome::ExtensionPresent() ? Desktop::kGnome : Desktop::kWaylandShut;
  }();
  return desktop;
}

// Once per run, beside the tool's own not-found line: on such a desktop the
// window may well exist, out of reach.
void WarnOfShutDesktop() {
  static bool warned = false;
  if (warned) return;
  std::u16string note;
  if (CurrentDesktop() == Desktop::kWaylandShut) {
    note = u"this desktop lets no other program control its Wayland windows; only X11 windows can be found";
  } else if (CurrentDesktop() == Desktop::kGnome) {
    note = gnome::UnreachableNote();
  }
  if (note.empty()) return;
  warned = true;
  WriteStdErrLine(qcp::Utf16FromUtf8(program_invocation_short_name) + u": " + note);
}

// KWin finds its windows by caption: a handle is the caption it answered with.
std::vector<std::u16string>& KWinCaptions() {
  static std::vector<std::u16string> captions;
  return captions;
}

WindowHandle KWinHandle(const std::u16string& caption) {
  KWinCaptions().push_back(caption);
  return kKWinTag | KWinCaptions().size();
}

const std::u16string* KWinCaption(WindowHandle window) {
  const WindowHandle index = window & ~kTags;
  if (index == 0 || index > KWinCaptions().size()) return nullptr;
  return &KWinCaptions()[index - 1];
}

bool IsToplevel(WindowHandle window) { return (window & kTags) == kToplevelTag; }
bool IsKWin(WindowHandle window) { return (window & kTags) == kKWinTag; }
wayland::ToplevelId ToplevelOf(WindowHandle window) { return static_cast<wayland::ToplevelId>(window & ~kTags); }

bool ActOnKWin(WindowHandle window, wayland::KWinAction action) {
  const std::u16string* caption = KWinCaption(window);
  return caption != nullptr && Wayland().kwin_act(*caption, false, action, nullptr) == wayland::KWinOutcome::kDone;
}

// The request on whichever kind of window it is.
bool Request(WindowHandle window, wayland::Action action, wayland::KWinAction kwin_action,
             bool (*x11_request)(WindowHandle), bool (*gnome_request)(WindowHandle)) {
  if (gnome::IsGnomeHandle(window)) return gnome_request(window);
  if (IsToplevel(window)) return Wayland().act(ToplevelOf(window), action);
  if (IsKWin(window)) return ActOnKWin(window, kwin_action);
  return x11_request(window);
}

}  // namespace

WindowHandle FindWindow(const std::u16string& caption) {
  switch (CurrentDesktop()) {
    case Desktop::kWlroots:
      if (const wayland::ToplevelId id = Wayland().find_toplevel(caption)) return kToplevelTag | id;
      break;
    case Desktop::kKWin: {
      std::u16string title;
      if (Wayland().kwin_act(caption, false, wayland::KWinAction::kFind, &title) == wayland::KWinOutcome::kDone) {
        return KWinHandle(title);
      }
      break;
    }
    case Desktop::kGnome:
      if (const WindowHandle window = gnome::Backend().find(caption)) return window;
      break;
    case Desktop::kX11:
    case Desktop::kWaylandShut:
      break;
  }
  const WindowHandle window = x11::FindWindow(caption);
  if (window == 0) WarnOfShutDesktop();
  return window;
}

WindowHandle ActiveWindow() {
  switch (CurrentDesktop()) {
    case Desktop::kWlroots:
      if (const wayland::ToplevelId id = Wayland().active_toplevel()) return kToplevelTag | id;
      break;
    case Desktop::kKWin: {
      std::u16string title;
      if (Wayland().kwin_act(u"", true, wayland::KWinAction::kFind, &title) == wayland::KWinOutcome::kDone) {
        return KWinHandle(title);
      }
      break;
    }
    case Desktop::kGnome:
      if (const WindowHandle window = gnome::Backend().active()) return window;
      break;
    case Desktop::kX11:
    case Desktop::kWaylandShut:
      break;
  }
  const WindowHandle window = x11::ActiveWindow();
  if (window == 0) WarnOfShutDesktop();
  return window;
}

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  if (gnome::IsGnomeHandle(window)) return gnome::Backend().caption(window, max_length);
  std::u16string caption;
  if (IsToplevel(window)) {
    if (!Wayland().toplevel_title(ToplevelOf(window), caption)) return {};
  } else if (IsKWin(window)) {
    if (const std::u16string* title = KWinCaption(window)) caption = *title;
  } else {
    return x11::WindowCaption(window, max_length);
  }
  if (caption.size() > max_length) caption.resize(max_length);
  return caption;
}

bool CloseWindow(WindowHandle window) {
  return Request(window, wayland::Action::kClose, wayland::KWinAction::kClose, &x11::CloseWindow,
                 gnome::Backend().close);
}

bool RestoreWindow(WindowHandle window) {
  return Request(window, wayland::Action::kRestore, wayland::KWinAction::kRestore, &x11::RestoreWindow,
                 gnome::Backend().restore);
}

bool MinimizeWindow(WindowHandle window) {
  return Request(window, wayland::Action::kMinimize, wayland::KWinAction::kMinimize, &x11::MinimizeWindow,
                 gnome::Backend().minimize);
}

bool MaximizeWindow(WindowHandle window) {
  return Request(window, wayland::Action::kMaximize, wayland::KWinAction::kMaximize, &x11::MaximizeWindow,
                 gnome::Backend().maximize);
}

// The foreign-toplevel protocol has no keep-above: under sway its IPC pins
// the window; on other wlroots compositors nothing can be done.
bool SetTopmost(WindowHandle window, bool topmost) {
  if (gnome::IsGnomeHandle(window)) return gnome::Backend().set_topmost(window, topmost);
  if (IsToplevel(window)) {
    std::u16string title;
    if (!Wayland().toplevel_title(ToplevelOf(window), title)) return false;
    return Wayland().sway_set_pinned(qcp::Utf8FromUtf16(title), topmost) == wayland::SwayOutcome::kDone;
  }
  if (IsKWin(window)) return ActOnKWin(window, topmost ? wayland::KWinAction::kPin : wayland::KWinAction::kUnpin);
  return x11::SetTopmost(window, topmost);
}

}  // namespace platform

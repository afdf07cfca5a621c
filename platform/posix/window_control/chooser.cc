// The window intents on a Linux desktop, through the window backend chosen
// once per run. On a Wayland session that is the compositor's own (through
// the Wayland module, loaded only then), with the X11 windows of XWayland
// behind it: a window is looked for among the compositor's first. GNOME
// Shell's windows are reached through the pack's Shell extension. Without
// Wayland, X11 alone, as ever. Handles of the compositor's windows carry a
// tag bit that no X11 window id has.
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/console.h"
#include "platform/posix/window_control/backend.h"
#include "platform/posix/window_control/gnome_shell.h"
#include "platform/posix/window_control/wayland_module/module.h"
#include "platform/posix/window_control/x11_ewmh.h"
#include "platform/window_control.h"

namespace platform {
namespace {

// X11 ids fit in 29 bits; the top bit of a handle marks the compositor's.
constexpr WindowHandle kCompositorTag = WindowHandle{1} << (sizeof(WindowHandle) * 8 - 1);

bool HasText(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

bool OnKde() {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  return (desktops != nullptr && std::strstr(desktops, "KDE") != nullptr) || HasText("KDE_FULL_SESSION");
}

WindowHandle FindNone(const std::u16string&) { return 0; }
WindowHandle NoneActive() { return 0; }

// A backend that finds nothing and hands out no handle, so nothing else is
// ever asked of it.
constexpr WindowBackend FindsNothing(const char* name) {
  return {.name = name, .find = &FindNone, .active = &NoneActive, .caption = nullptr, .close = nullptr,
          .restore = nullptr, .minimize = nullptr, .maximize = nullptr, .set_topmost = nullptr};
}

// A Wayland session that lets no other program at its windows: nothing is
// found there, and the X11 windows are looked for alone.
const WindowBackend kShutCompositor = FindsNothing("none");

// Without the Wayland module, on a Wayland display that answers: the line
// naming the module has said that only X11 windows can be found.
const WindowBackend kNoModule = FindsNothing("no module");

// Whether a Wayland compositor accepts a connection at WAYLAND_DISPLAY.
bool WaylandDisplayReachable() {
  std::string path = std::getenv("WAYLAND_DISPLAY");
  if (path.front() != '/') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    path = std::string(runtime) + "/" + path;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// Where the Wayland module keeps a failure it has met.
wayland::PendingFailure (*take_module_failure)() = nullptr;

// Raises here, in the program, the failure the module has kept, if any.
void RaiseModuleFailure() {
  if (take_module_failure == nullptr) return;
  const wayland::PendingFailure failure = take_module_failure();
  switch (failure.kind) {
    case wayland::PendingFailure::kNone: return;
    case wayland::PendingFailure::kRunTime: qcp::Raise(failure.text);
    case wayland::PendingFailure::kUnfulfilled: qcp::RaiseUnfulfilled(failure.text);
  }
}

template <typename Result>
Result Checked(Result result) {
  RaiseModuleFailure();
  return result;
}

// A request on a window that was found: one that could not be made is said,
// where it would end the run silently.
bool Acted(bool done) {
  RaiseModuleFailure();
  if (!done) {
    qcp::RaiseUnfulfilled(u"the window was found, but the request could not be made (it may have closed meanwhile)");
  }
  return true;
}

// The Wayland module, loaded on first use; null when it cannot be.
const wayland::Module* WaylandModule() {
  static const wayland::Module* const module = [] {
    const wayland::Module* loaded = wayland::LoadModule();
    if (loaded != nullptr) take_module_failure = loaded->take_failure;
    return loaded;
  }();
  return module;
}

// What the module finds at WAYLAND_DISPLAY, asked once.
wayland::Availability ToplevelManager() {
  static const wayland::Availability availability = Checked(WaylandModule()->probe());
  return availability;
}

// The probes, in the order of the rows that ask them.
bool NoWaylandDisplay() { return !HasText("WAYLAND_DISPLAY"); }
bool ToplevelsOffered() {
  return WaylandModule() != nullptr && ToplevelManager() == wayland::Availability::kAvailable;
}
bool StaleWaylandDisplay() {
  return WaylandModule() != nullptr && ToplevelManager() == wayland::Availability::kNoDisplay;
}
bool ModuleMissing() { return WaylandModule() == nullptr; }
bool Always() { return true; }

// The backends the rows hand out; null for X11 alone.
const WindowBackend* X11Alone() { return nullptr; }
const WindowBackend* Wlroots() { return WaylandModule()->wlroots; }
const WindowBackend* GnomeShell() { return &gnome::Backend(); }
const WindowBackend* KWin() { return WaylandModule()->kwin; }
const WindowBackend* ShutCompositor() { return &kShutCompositor; }

// The module's line on standard error has said that only X11 windows can
// be found; where no compositor answers either, X11 alone it is.
const WindowBackend* WithoutModule() {
  wayland::ComplainOfModule();
  return WaylandDisplayReachable() ? &kNoModule : nullptr;
}

// The notes for a window not found, beside the tool's own line.
std::u16string ShutNote() {
  if (gnome::SessionBusLost()) {
    return u"the session bus cannot be reached, through which GNOME Shell and KWin are asked for their Wayland "
           u"windows; only X11 windows can be found";
  }
  return u"this desktop lets no other program control its Wayland windows; only X11 windows can be found";
}

// One way to a session's windows. The rows are walked once per run, in
// order, and the first whose probe answers is the run's; a new backend is
// its files and one row. Chosen by what answers, not by a desktop's name:
// the foreign-toplevel protocol first (Phosh offers it, beside an
// org.gnome.Shell of its own), then GNOME Shell on the session bus, which
// needs nothing of the module.
struct CompositorRow {
  const char* name;
  bool (*probe)();
  // The compositor's backend, asked once the row is chosen; null for X11
  // alone.
  const WindowBackend* (*backend)();
  // Why a window may exist out of reach, once a run finds none; empty when
  // nothing is to be said. Null for a row with no such note.
  std::u16string (*not_found_note)() = nullptr;
};

constexpr CompositorRow kCompositorRows[] = {
    {.name = "X11 alone", .probe = &NoWaylandDisplay, .backend = &X11Alone},
    {.name = "wlroots foreign toplevels", .probe = &ToplevelsOffered, .backend = &Wlroots},
    // A stale variable: no compositor there.
    {.name = "no compositor", .probe = &StaleWaylandDisplay, .backend = &X11Alone},
    {.name = "GNOME Shell",
     .probe = &gnome::ShellAnswers,
     .backend = &GnomeShell,
     .not_found_note = &gnome::UnreachableNote},
    {.name = "no module", .probe = &ModuleMissing, .backend = &WithoutModule},
    {.name = "KWin", .probe = &OnKde, .backend = &KWin},
    {.name = "shut compositor", .probe = &Always, .backend = &ShutCompositor, .not_found_note = &ShutNote},
};

// The run's row and its backend, chosen on first use; ends the run when
// there is no display at all.
struct Chosen {
  const CompositorRow* row;
  const WindowBackend* compositor;
};

Chosen Choose() {
  for (const CompositorRow& row : kCompositorRows) {
    if (row.probe()) return {&row, row.backend()};
  }
  return {nullptr, nullptr};
}

const Chosen& Choice() {
  static const Chosen chosen = Choose();
  static const bool reachable = chosen.compositor != nullptr || x11::DisplayReachable();
  if (!reachable) qcp::RaiseUnfulfilled(qcp::kNoDisplay);
  return chosen;
}

const WindowBackend* Compositor() { return Choice().compositor; }

// Once per run, beside the tool's own not-found line: on such a desktop the
// window may well exist, out of reach.
void WarnOfShutCompositor() {
  static bool warned = false;
  if (warned) return;
  const CompositorRow* row = Choice().row;
  if (row == nullptr || row->not_found_note == nullptr) return;
  const std::u16string note = row->not_found_note();
  if (note.empty()) return;
  warned = true;
  WriteStdErrLine(qcp::Utf16FromUtf8(program_invocation_short_name) + u": " + note);
}

// The backend a handle belongs to, and the backend's own handle.
struct Owned {
  const WindowBackend& backend;
  WindowHandle window;
};

Owned OwnerOf(WindowHandle window) {
  if ((window & kCompositorTag) == 0) return {x11::kWindowBackend, window};
  return {*Compositor(), window & ~kCompositorTag};
}

WindowHandle Tagged(WindowHandle compositors) { return compositors | kCompositorTag; }

WindowHandle X11Found(WindowHandle window) {
  if (window == 0) WarnOfShutCompositor();
  return window;
}

}  // namespace

// The compositor's windows first, then XWayland's.
WindowHandle FindWindowByCaption(const std::u16string& caption) {
  const WindowBackend* compositor = Compositor();
  if (compositor != nullptr) {
    if (const WindowHandle window = Checked(compositor->find(caption))) return Tagged(window);
  }
  return X11Found(x11::kWindowBackend.find(caption));
}

WindowHandle ActiveWindow() {
  const WindowBackend* compositor = Compositor();
  if (compositor != nullptr) {
    if (const WindowHandle window = Checked(compositor->active())) return Tagged(window);
  }
  return X11Found(x11::kWindowBackend.active());
}

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  const Owned owned = OwnerOf(window);
  return Checked(owned.backend.caption(owned.window, max_length));
}

std::vector<std::u16string> WindowCaptions() {
  std::vector<std::u16string> captions;
  const WindowBackend* compositor = Compositor();
  if (compositor != nullptr && compositor->captions != nullptr) captions = Checked(compositor->captions());
  for (std::u16string& caption : x11::kWindowBackend.captions()) captions.push_back(std::move(caption));
  return captions;
}

bool CloseWindow(WindowHandle window) {
  const Owned owned = OwnerOf(window);
  return Acted(owned.backend.close(owned.window));
}

bool RestoreWindow(WindowHandle window) {
  const Owned owned = OwnerOf(window);
  return Acted(owned.backend.restore(owned.window));
}

bool MinimizeWindow(WindowHandle window) {
  const Owned owned = OwnerOf(window);
  return Acted(owned.backend.minimize(owned.window));
}

bool MaximizeWindow(WindowHandle window) {
  const Owned owned = OwnerOf(window);
  return Acted(owned.backend.maximize(owned.window));
}

bool SetTopmost(WindowHandle window, bool topmost) {
  const Owned owned = OwnerOf(window);
  return Acted(owned.backend.set_topmost(owned.window, topmost));
}

}  // namespace platform

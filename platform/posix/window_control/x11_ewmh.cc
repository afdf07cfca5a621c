// X11 windows (and XWayland's) through plain Xlib and the window manager's EWMH hints: the
// top-level windows are the manager's client list, the requests go to it as
// client messages. Without a display every window is "not found". Without a
// window manager (or one that does not support a request) the children of
// the root window stand in for the list and the tools act on the window
// directly, as the ICCCM describes: close by WM_DELETE_WINDOW, minimise by
// unmapping, restore by mapping (and putting back the size from before a
// maximise), maximise by covering the screen, pin and unpin by raising and
// lowering.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "console/case_fold.h"
#include "console/utf.h"
#include "platform/posix/held_std_err.h"
#include "platform/posix/window_control/x11_ewmh.h"

namespace platform::x11 {
namespace {

enum AtomName {
  kNetClientListStacking,
  kNetClientList,
  kNetActiveWindow,
  kNetWmName,
  kUtf8String,
  kCompoundText,
  kNetCloseWindow,
  kNetWmState,
  kNetWmStateMaximizedVert,
  kNetWmStateMaximizedHorz,
  kNetWmStateAbove,
  kNetWmStateHidden,
  kWmState,
  kNetSupportingWmCheck,
  kNetSupported,
  kWmProtocols,
  kWmDeleteWindow,
  kRestoreGeometry,
  kAtomCount
};

const char* const kAtomNames[kAtomCount] = {
    "_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW", "_NET_WM_NAME",
    "UTF8_STRING", "COMPOUND_TEXT", "_NET_CLOSE_WINDOW", "_NET_WM_STATE",
    "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_HIDDEN",
    "WM_STATE", "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "WM_PROTOCOLS", "WM_DELETE_WINDOW",
    "_QCP_RESTORE_GEOMETRY",
};

// _NET_WM_STATE actions, and the source indication of a pager or other tool
// acting for the user, which window managers obey without focus checks.
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
constexpr long kSourcePager = 2;
constexpr long kIconicState = 3;  // ICCCM WM_STATE

struct Connection {
  Display* display = nullptr;
  Window root = 0;
  Atom atoms[kAtomCount] = {};
};

// A window can vanish between any two requests: its errors are expected
// and must not end the tool (Xlib's default handler exits).
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// The connection, opened on first use; null when there is no display.
Connection* Open() {
  static Connection connection;
  static bool tried = false;
  if (!tried) {
    tried = true;
    {
      HeldStdErr xlib_says;
      connection.display = ::XOpenDisplay(nullptr);
      if (connection.display == nullptr) xlib_says.Drop();  // the tool says it in its own line
    }
    if (connection.display != nullptr) {
      ::XSetErrorHandler(IgnoreError);
      connection.root = DefaultRootWindow(connection.display);
      ::XInternAtoms(connection.display, const_cast<char**>(kAtomNames), kAtomCount, False, connection.atoms);
    }
  }
  return connection.display != nullptr ? &connection : nullptr;
}

// A window property as raw items (format 8: bytes; format 32: longs).
struct Property {
  Atom type = None;
  int format = 0;
  std::vector<unsigned char> bytes;
  std::vector<unsigned long> longs;
};

bool Read(const Connection& x, Window window, Atom name, Property& property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (::XGetWindowProperty(x.display, window, name, 0, 0x7fffffff, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success) {
    return false;
  }
  property.type = type;
  property.format = format;
  if (data != nullptr) {
    if (format == 8) property.bytes.assign(data, data + count);
    // Xlib hands 32-bit items over as longs.
    if (format == 32) property.longs.assign(reinterpret_cast<unsigned long*>(data),
                                            reinterpret_cast<unsigned long*>(data) + count);
    ::XFree(data);
  }
  return type != None;
}

std::u16string FromLatin1(const std::vector<unsigned char>& bytes) {
  return std::u16string(bytes.begin(), bytes.end());
}

// Compound text with its character set switches, through Xlib's own conversion.
bool FromCompoundText(const Connection& x, const Property& name, std::u16string& caption) {
  XTextProperty text = {};
  text.value = const_cast<unsigned char*>(name.bytes.data());
  text.encoding = name.type;
  text.format = 8;
  text.nitems = name.bytes.size();
  char** list = nullptr;
  int count = 0;
  const int converted = ::Xutf8TextPropertyToTextList(x.display, &text, &list, &count);
  if (converted < 0 || list == nullptr) return false;
  std::string joined;
  for (int i = 0; i < count; ++i) joined += list[i];
  ::XFreeStringList(list);
  caption = qcp::Utf16FromUtf8(joined);
  return true;
}

// The caption: _NET_WM_NAME (UTF-8), else WM_NAME. WM_NAME in compound text
// without an escape sequence is Latin-1.
bool Caption(const Connection& x, Window window, std::u16string& caption) {
  Property name;
  if (Read(x, window, x.atoms[kNetWmName], name) && name.format == 8 && name.type == x.atoms[kUtf8String]) {
    caption = qcp::Utf16FromUtf8({reinterpret_cast<const char*>(name.bytes.data()), name.bytes.size()});
    return true;
  }
  name = {};
  if (!Read(x, window, XA_WM_NAME, name) || name.format != 8) return false;
  if (name.type == x.atoms[kUtf8String]) {
    caption = qcp::Utf16FromUtf8({reinterpret_cast<const char*>(name.bytes.data()), name.bytes.size()});
    return true;
  }
  const bool compound = name.type == x.atoms[kCompoundText];
  if (compound && std::find(name.bytes.begin(), name.bytes.end(), 0x1b) != name.bytes.end()) {
    return FromCompoundText(x, name, caption);
  }
  if (!compound && name.type != XA_STRING) return false;
  caption = FromLatin1(name.bytes);
  return true;
}

// Whether an EWMH window manager is running: the root's check window names
// itself. A manager that has gone leaves its root properties behind, the
// client list included, which then must not be trusted.
bool ManagerRunning(const Connection& x) {
  Property check;
  if (!Read(x, x.root, x.atoms[kNetSupportingWmCheck], check) || check.format != 32 || check.longs.empty()) {
    return false;
  }
  const Window manager = static_cast<Window>(check.longs[0]);
  Property self;
  return Read(x, manager, x.atoms[kNetSupportingWmCheck], self) && self.format == 32 && !self.longs.empty() &&
         static_cast<Window>(self.longs[0]) == manager;
}

// Whether the running window manager will carry out `request`: it is among
// the manager's supported hints.
bool ManagerSupports(const Connection& x, Atom request) {
  if (!ManagerRunning(x)) return false;
  Property supported;
  if (!Read(x, x.root, x.atoms[kNetSupported], supported) || supported.format != 32) return false;
  return std::find(supported.longs.begin(), supported.longs.end(), request) != supported.longs.end();
}

// Top-level windows, topmost first.
std::vector<Window> TopLevelWindows(const Connection& x) {
  std::vector<Window> windows;
  Property list;
  const bool managed = ManagerRunning(x);
  if (managed && Read(x, x.root, x.atoms[kNetClientListStacking], list) && list.format == 32) {
    windows.assign(list.longs.rbegin(), list.longs.rend());  // listed bottom to top
    return windows;
  }
  list = {};
  if (managed && Read(x, x.root, x.atoms[kNetClientList], list) && list.format == 32) {
    windows.assign(list.longs.begin(), list.longs.end());
    return windows;
  }
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (::XQueryTree(x.display, x.root, &root, &parent, &children, &count) != 0 && children != nullptr) {
    windows.assign(children, children + count);
    std::reverse(windows.begin(), windows.end());  // listed bottom to top
    ::XFree(children);
  }
  return windows;
}

bool HasState(const Connection& x, Window window, Atom state) {
  Property states;
  if (!Read(x, window, x.atoms[kNetWmState], states) || states.format != 32) return false;
  return std::find(states.longs.begin(), states.longs.end(), state) != states.longs.end();
}

bool IsMinimised(const Connection& x, Window window) {
  Property state;
  if (Read(x, window, x.atoms[kWmState], state) && state.format == 32 && !state.longs.empty() &&
      static_cast<long>(state.longs[0]) == kIconicState) {
    return true;
  }
  return HasState(x, window, x.atoms[kNetWmStateHidden]);
}

// A request to the window manager about `window`, then a round trip so it
// has left before the tool ends.
bool SendToManager(const Connection& x, Window window, Atom type, long l0, long l1, long l2, long l3) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  const Status sent = ::XSendEvent(x.display, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  ::XSync(x.display, False);
  return sent != 0;
}

bool ChangeState(const Connection& x, Window window, long action, Atom first, Atom second) {
  return SendToManager(x, window, x.atoms[kNetWmState], action, static_cast<long>(first), static_cast<long>(second),
                       kSourcePager);
}

// The requests below act on the window itself, for displays without a
// window manager; each ends with a round trip so it has left the tool.
bool Flush(const Connection& x) {
  ::XSync(x.display, False);
  return true;
}

// WM_DELETE_WINDOW where the window takes part in that protocol; otherwise
// nothing, as a window ignores a close it does not handle.
bool AskToClose(const Connection& x, Window window) {
  Atom* protocols = nullptr;
  int count = 0;
  bool takes_part = false;
  if (::XGetWMProtocols(x.display, window, &protocols, &count) != 0 && protocols != nullptr) {
    takes_part = std::find(protocols, protocols + count, x.atoms[kWmDeleteWindow]) != protocols + count;
    ::XFree(protocols);
  }
  if (!takes_part) return true;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = x.atoms[kWmProtocols];
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(x.atoms[kWmDeleteWindow]);
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = ::XSendEvent(x.display, window, False, NoEventMask, &event);
  Flush(x);
  return sent != 0;
}

// Without a window manager the active window is the top-level window that
// holds the input focus, or 0 when the focus is on none.
WindowHandle FocusedTopLevel(const Connection& x) {
  Window focus = None;
  int revert = 0;
  ::XGetInputFocus(x.display, &focus, &revert);
  if (focus == None || focus == PointerRoot || focus == x.root) return 0;
  for (Window window = focus;;) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (::XQueryTree(x.display, window, &root, &parent, &children, &count) == 0) return 0;
    if (children != nullptr) ::XFree(children);
    if (parent == root) return static_cast<WindowHandle>(window);
    window = parent;
  }
}

// Without a window manager the place and size from before maximising are
// kept on the window itself (x, y, width, height), for restore to put back.
// A second maximise keeps the first one's.
void KeepGeometry(const Connection& x, Window window) {
  Property kept;
  if (Read(x, window, x.atoms[kRestoreGeometry], kept)) return;
  Window root = 0;
  int left = 0;
  int top = 0;
  unsigned int width = 0;
  unsigned int height = 0;
  unsigned int border = 0;
  unsigned int depth = 0;
  if (::XGetGeometry(x.display, window, &root, &left, &top, &width, &height, &border, &depth) == 0) return;
  const long geometry[4] = {left, top, static_cast<long>(width), static_cast<long>(height)};
  ::XChangeProperty(x.display, window, x.atoms[kRestoreGeometry], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(geometry), 4);
}

void PutBackGeometry(const Connection& x, Window window) {
  Property kept;
  if (!Read(x, window, x.atoms[kRestoreGeometry], kept)) return;
  ::XDeleteProperty(x.display, window, x.atoms[kRestoreGeometry]);
  if (kept.format != 32 || kept.longs.size() != 4 || kept.longs[2] == 0 || kept.longs[3] == 0) return;
  ::XMoveResizeWindow(x.display, window, static_cast<int>(static_cast<long>(kept.longs[0])),
                      static_cast<int>(static_cast<long>(kept.longs[1])), static_cast<unsigned>(kept.longs[2]),
                      static_cast<unsigned>(kept.longs[3]));
}

bool CoverScreen(const Connection& x, Window window) {
  KeepGeometry(x, window);
  const int screen = DefaultScreen(x.display);
  ::XMoveResizeWindow(x.display, window, 0, 0, static_cast<unsigned>(DisplayWidth(x.display, screen)),
                      static_cast<unsigned>(DisplayHeight(x.display, screen)));
  ::XMapWindow(x.display, window);
  return Flush(x);
}

WindowHandle FindWindow(const std::u16string& caption) {
  const Connection* x = Open();
  if (x == nullptr) return 0;
  for (Window window : TopLevelWindows(*x)) {
    std::u16string name;
    const bool named = Caption(*x, window, name);
    // Captions compare as on Windows: regardless of case.
    if (named ? qcp::EqualIgnoringCase(name, caption) : caption.empty()) return static_cast<WindowHandle>(window);
  }
  return 0;
}

WindowHandle ActiveWindow() {
  const Connection* x = Open();
  if (x == nullptr) return 0;
  if (!ManagerRunning(*x)) return FocusedTopLevel(*x);
  Property active;
  if (!Read(*x, x->root, x->atoms[kNetActiveWindow], active) || active.format != 32 || active.longs.empty()) {
    return 0;
  }
  return static_cast<WindowHandle>(active.longs[0]);
}

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  const Connection* x = Open();
  std::u16string caption;
  if (x == nullptr || window == 0 || !Caption(*x, static_cast<Window>(window), caption)) return {};
  if (caption.size() > max_length) caption.resize(max_length);
  return caption;
}

bool CloseWindow(WindowHandle handle) {
  const Connection* x = Open();
  if (x == nullptr || handle == 0) return false;
  const Window window = static_cast<Window>(handle);
  if (!ManagerSupports(*x, x->atoms[kNetCloseWindow])) return AskToClose(*x, window);
  return SendToManager(*x, window, x->atoms[kNetCloseWindow], CurrentTime, kSourcePager, 0, 0);
}

bool MinimizeWindow(WindowHandle handle) {
  const Connection* x = Open();
  if (x == nullptr || handle == 0) return false;
  const Window window = static_cast<Window>(handle);
  if (!ManagerSupports(*x, x->atoms[kNetWmStateHidden])) {
    ::XUnmapWindow(x->display, window);
    return Flush(*x);
  }
  const Status sent = ::XIconifyWindow(x->display, window, DefaultScreen(x->display));
  ::XSync(x->display, False);
  return sent != 0;
}

bool MaximizeWindow(WindowHandle handle) {
  const Connection* x = Open();
  if (x == nullptr || handle == 0) return false;
  const Window window = static_cast<Window>(handle);
  const Atom vertical = x->atoms[kNetWmStateMaximizedVert];
  const Atom horizontal = x->atoms[kNetWmStateMaximizedHorz];
  if (!ManagerSupports(*x, vertical) || !ManagerSupports(*x, horizontal)) return CoverScreen(*x, window);
  return ChangeState(*x, window, kStateAdd, vertical, horizontal);
}

bool RestoreWindow(WindowHandle handle) {
  const Connection* x = Open();
  if (x == nullptr || handle == 0) return false;
  const Window window = static_cast<Window>(handle);
  const Atom vertical = x->atoms[kNetWmStateMaximizedVert];
  const Atom horizontal = x->atoms[kNetWmStateMaximizedHorz];
  if (!ManagerSupports(*x, x->atoms[kNetActiveWindow]) || !ManagerSupports(*x, vertical) ||
      !ManagerSupports(*x, horizontal)) {
    PutBackGeometry(*x, window);
    ::XMapWindow(x->display, window);
    return Flush(*x);
  }
  // Activating a minimised window maps it back in the state it had.
  if (IsMinimised(*x, window)) {
    return SendToManager(*x, window, x->atoms[kNetActiveWindow], kSourcePager, CurrentTime, 0, 0);
  }
  return ChangeState(*x, window, kStateRemove, vertical, horizontal);
}

bool SetTopmost(WindowHandle handle, bool topmost) {
  const Connection* x = Open();
  if (x == nullptr || handle == 0) return false;
  const Window window = static_cast<Window>(handle);
  if (!ManagerSupports(*x, x->atoms[kNetWmStateAbove])) {
    if (topmost) {
      ::XRaiseWindow(x->display, window);
    } else {
      ::XLowerWindow(x->display, window);
    }
    return Flush(*x);
  }
  return ChangeState(*x, window, topmost ? kStateAdd : kStateRemove, x->atoms[kNetWmStateAbove], None);
}

}  // namespace

std::vector<std::u16string> WindowCaptions() {
  std::vector<std::u16string> captions;
  const Connection* x = Open();
  if (x == nullptr) return captions;
  for (Window window : TopLevelWindows(*x)) {
    std::u16string caption;
    if (Caption(*x, window, caption) && !caption.empty()) captions.push_back(std::move(caption));
  }
  return captions;
}

bool DisplayReachable() { return Open() != nullptr; }

const WindowBackend kWindowBackend = {
    .name = "X11",
    .find = &FindWindow,
    .active = &ActiveWindow,
    .caption = &WindowCaption,
    .close = &CloseWindow,
    .restore = &RestoreWindow,
    .minimize = &MinimizeWindow,
    .maximize = &MaximizeWindow,
    .set_topmost = &SetTopmost,
    .captions = &WindowCaptions,
};

}  // namespace platform::x11

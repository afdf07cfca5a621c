// wlroots foreign-toplevel management, version 3 at most. The manager
// announces every toplevel on bind; each handle then sends its title and
// state, committed by `done`, so two round trips after binding give a
// complete list. Every exchange with the compositor has a time limit.
#include "platform/posix/window_control/wayland_module/wlr_foreign_toplevel.h"

#include <errno.h>
#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "console/case_fold.h"
#include "console/utf.h"
#include "platform/posix/window_control/wayland_module/pending_failure.h"
#include "platform/posix/window_control/wayland_module/sway_ipc.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace platform::wayland {
namespace {

constexpr std::uint32_t kManagerVersion = 3;
// A compositor answers a round trip at once; one that has not after this
// long has hung, and the tool must not hang with it.
constexpr std::chrono::milliseconds kAnswerTimeout{5000};
constexpr std::u16string_view kNoAnswer = u"The Wayland compositor did not answer";

struct Toplevel {
  zwlr_foreign_toplevel_handle_v1* handle = nullptr;
  ToplevelId id = 0;
  // As last committed by `done`, and as announced since.
  bool titled = false;
  std::string title;
  std::string app_id;
  bool activated = false;
  bool minimized = false;
  bool closed = false;
  bool pending_titled = false;
  std::string pending_title;
  std::string pending_app_id;
  bool pending_activated = false;
  bool pending_minimized = false;
};

struct Session {
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager = nullptr;
  std::vector<std::unique_ptr<Toplevel>> toplevels;
  Availability availability = Availability::kNoDisplay;
};

void OnTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
  auto* toplevel = static_cast<Toplevel*>(data);
  toplevel->pending_titled = true;
  toplevel->pending_title = title != nullptr ? title : "";
}

void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* app_id) {
  static_cast<Toplevel*>(data)->pending_app_id = app_id != nullptr ? app_id : "";
}
void OnOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void OnOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}

// The state is the full set of flags, each a 32-bit enum value.
void OnState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* state) {
  auto* toplevel = static_cast<Toplevel*>(data);
  toplevel->pending_activated = false;
  toplevel->pending_minimized = false;
  const std::size_t count = state->size / sizeof(std::uint32_t);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t flag = 0;
    std::memcpy(&flag, static_cast<const char*>(state->data) + i * sizeof flag, sizeof flag);
    if (flag == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) toplevel->pending_activated = true;
    if (flag == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED) toplevel->pending_minimized = true;
  }
}

void OnDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
  auto* toplevel = static_cast<Toplevel*>(data);
  toplevel->titled = toplevel->pending_titled;
  toplevel->title = toplevel->pending_title;
  toplevel->app_id = toplevel->pending_app_id;
  toplevel->activated = toplevel->pending_activated;
  toplevel->minimized = toplevel->pending_minimized;
}

void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1*) { static_cast<Toplevel*>(data)->closed = true; }

void OnParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {
    OnTitle, OnAppId, OnOutputEnter, OnOutputLeave, OnState, OnDone, OnClosed, OnParent,
};

void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
  auto* session = static_cast<Session*>(data);
  auto toplevel = std::make_unique<Toplevel>();
  toplevel->handle = handle;
  toplevel->id = static_cast<ToplevelId>(session->toplevels.size() + 1);
  zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, toplevel.get());
  session->toplevels.push_back(std::move(toplevel));
}

void OnFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}

const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {OnToplevel, OnFinished};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
  auto* session = static_cast<Session*>(data);
  if (session->manager == nullptr && std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
    session->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
        registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, kManagerVersion)));
    zwlr_foreign_toplevel_manager_v1_add_listener(session->manager, &kManagerListener, session);
  } else if (session->seat == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0) {
    // Activation names the seat it happens for; the first one will do.
    session->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void Quiet(const char*, va_list) {}

void OnSyncDone(void* data, wl_callback* callback, std::uint32_t) {
  *static_cast<bool*>(data) = true;
  wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener = {OnSyncDone};

// Whether `fd` is ready for `events` before `deadline`.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready = {fd, events, 0};
    const int count = ::poll(&ready, 1, static_cast<int>(left.count()));
    if (count > 0) return true;
    if (count < 0 && errno != EINTR) return true;  // the read or write that follows reports it
  }
}

// wl_display_roundtrip within the time limit: false when the connection has
// failed, or the compositor has not answered in time (a failure kept).
bool Roundtrip(wl_display* display) {
  bool done = false;
  wl_callback* callback = wl_display_sync(display);
  if (callback == nullptr) return false;
  wl_callback_add_listener(callback, &kSyncListener, &done);
  const int fd = wl_display_get_fd(display);
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
  while (!done) {
    if (wl_display_prepare_read(display) != 0) {
      if (wl_display_dispatch_pending(display) < 0) return false;
      continue;
    }
    // What is queued goes out first; a socket too full to take it waits
    // like an answer does.
    bool answered = true;
    int flushed = 0;
    while ((flushed = wl_display_flush(display)) < 0 && errno == EAGAIN) {
      answered = WaitFor(fd, POLLOUT, deadline);
      if (!answered) break;
    }
    if (answered && flushed < 0) {
      wl_display_cancel_read(display);
      return false;
    }
    if (answered) answered = WaitFor(fd, POLLIN, deadline);
    if (!answered) {
      wl_display_cancel_read(display);
      wl_callback_destroy(callback);
      Fail(kNoAnswer);
      return false;
    }
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) return false;
  }
  return true;
}

Session& Open() {
  static Session session;
  static bool tried = false;
  if (tried) return session;
  tried = true;
  // Without WAYLAND_DISPLAY libwayland would try "wayland-0"; an X11 session
  // must not pick up a compositor it does not belong to.
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (name == nullptr || *name == '\0') return session;
  // libwayland would write its complaints to the tool's standard error.
  wl_log_set_handler_client(Quiet);
  session.display = wl_display_connect(nullptr);
  if (session.display == nullptr) return session;
  session.registry = wl_display_get_registry(session.display);
  wl_registry_add_listener(session.registry, &kRegistryListener, &session);
  // Globals, then the toplevels, then each toplevel's title and state.
  if (!Roundtrip(session.display)) return session;
  if (session.manager == nullptr) {
    session.availability = Availability::kNoManager;
    return session;
  }
  if (!Roundtrip(session.display) || !Roundtrip(session.display)) return session;
  session.availability = Availability::kAvailable;
  return session;
}

const Toplevel* Live(const Session& session, ToplevelId id) {
  if (session.availability != Availability::kAvailable || id == 0 || id > session.toplevels.size()) return nullptr;
  const Toplevel* toplevel = session.toplevels[id - 1].get();
  return toplevel->closed ? nullptr : toplevel;
}

}  // namespace

Availability Probe() { return Open().availability; }

ToplevelId FindToplevel(std::u16string_view caption) {
  const Session& session = Open();
  if (session.availability != Availability::kAvailable) return 0;
  ToplevelId found = 0;
  for (const auto& toplevel : session.toplevels) {
    if (toplevel->closed) continue;
    const bool matches = toplevel->titled ? qcp::EqualIgnoringCase(qcp::Utf16FromUtf8(toplevel->title), caption)
                                          : caption.empty();
    if (!matches) continue;
    if (toplevel->activated) return toplevel->id;
    found = toplevel->id;
  }
  return found;
}

ToplevelId ActiveToplevel() {
  const Session& session = Open();
  if (session.availability != Availability::kAvailable) return 0;
  for (const auto& toplevel : session.toplevels) {
    if (!toplevel->closed && toplevel->activated) return toplevel->id;
  }
  return 0;
}

std::vector<std::u16string> ToplevelTitles() {
  std::vector<std::u16string> titles;
  const Session& session = Open();
  if (session.availability != Availability::kAvailable) return titles;
  for (const auto& toplevel : session.toplevels) {
    if (!toplevel->closed && toplevel->titled && !toplevel->title.empty()) {
      titles.push_back(qcp::Utf16FromUtf8(toplevel->title));
    }
  }
  return titles;
}

bool ToplevelTitle(ToplevelId id, std::u16string& title) {
  const Toplevel* toplevel = Live(Open(), id);
  if (toplevel == nullptr) return false;
  title = qcp::Utf16FromUtf8(toplevel->title);
  return true;
}

bool Act(ToplevelId id, Action action) {
  Session& session = Open();
  const Toplevel* toplevel = Live(session, id);
  if (toplevel == nullptr) return false;
  zwlr_foreign_toplevel_handle_v1* handle = toplevel->handle;
  switch (action) {
    case Action::kClose:
      zwlr_foreign_toplevel_handle_v1_close(handle);
      break;
    case Action::kMinimize:
      zwlr_foreign_toplevel_handle_v1_set_minimized(handle);
      break;
    case Action::kMaximize:
      zwlr_foreign_toplevel_handle_v1_set_maximized(handle);
      break;
    case Action::kRestore:
      // As on the desktop: a minimised window comes back as it was, an
      // open one leaves its maximised state; either way it comes forward,
      // as restoring it from the task bar does.
      if (toplevel->minimized) {
        zwlr_foreign_toplevel_handle_v1_unset_minimized(handle);
      } else {
        zwlr_foreign_toplevel_handle_v1_unset_maximized(handle);
      }
      if (session.seat != nullptr) zwlr_foreign_toplevel_handle_v1_activate(handle, session.seat);
      break;
  }
  // The round trip returns once the compositor has read the request.
  return Roundtrip(session.display);
}

namespace {

// Ids are 32-bit; a larger handle is no toplevel's.
ToplevelId IdOf(WindowHandle window) {
  return window <= UINT32_MAX ? static_cast<ToplevelId>(window) : 0;
}

WindowHandle FindWindow(const std::u16string& caption) { return FindToplevel(caption); }
WindowHandle ActiveWindow() { return ActiveToplevel(); }

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  std::u16string title;
  if (!ToplevelTitle(IdOf(window), title)) return {};
  if (title.size() > max_length) title.resize(max_length);
  return title;
}

bool CloseWindow(WindowHandle window) { return Act(IdOf(window), Action::kClose); }
bool RestoreWindow(WindowHandle window) { return Act(IdOf(window), Action::kRestore); }
bool MinimizeWindow(WindowHandle window) { return Act(IdOf(window), Action::kMinimize); }
bool MaximizeWindow(WindowHandle window) { return Act(IdOf(window), Action::kMaximize); }

// The protocol has no keep-above: under sway its IPC pins the window; on
// other wlroots compositors nothing can be done.
bool SetTopmost(WindowHandle window, bool topmost) {
  const Toplevel* toplevel = Live(Open(), IdOf(window));
  if (toplevel == nullptr) return false;
  return SwaySetPinned({toplevel->title, toplevel->app_id, toplevel->activated}, topmost) == SwayOutcome::kDone;
}

}  // namespace

const WindowBackend kWlrootsBackend = {
    .name = "wlroots",
    .find = &FindWindow,
    .active = &ActiveWindow,
    .caption = &WindowCaption,
    .close = &CloseWindow,
    .restore = &RestoreWindow,
    .minimize = &MinimizeWindow,
    .maximize = &MaximizeWindow,
    .set_topmost = &SetTopmost,
    .captions = &ToplevelTitles,
};

}  // namespace platform::wayland

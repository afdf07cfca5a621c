// wlroots foreign-toplevel management, version 3 at most. The manager
// announces every toplevel on bind; each handle then sends its title and
// state, committed by `done`, so two round trips after binding give a
// complete list.
#include "platform/posix/wayland_toplevels.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "console/case_fold.h"
#include "console/utf.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace platform::wayland {
namespace {

constexpr std::uint32_t kManagerVersion = 3;

struct Toplevel {
  zwlr_foreign_toplevel_handle_v1* handle = nullptr;
  ToplevelId id = 0;
  // As last committed by `done`, and as announced since.
  bool titled = false;
  std::string title;
  bool activated = false;
  bool minimized = false;
  bool closed = false;
  bool pending_titled = false;
  std::string pending_title;
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

void OnAppId(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
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
  if (wl_display_roundtrip(session.display) < 0) return session;
  if (session.manager == nullptr) {
    session.availability = Availability::kNoManager;
    return session;
  }
  if (wl_display_roundtrip(session.display) < 0 || wl_display_roundtrip(session.display) < 0) return session;
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
  return wl_display_roundtrip(session.display) >= 0;
}

}  // namespace platform::wayland

#include "platform/fake/fake_window_control.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace fake {
namespace {

struct Window {
  platform::WindowHandle handle;
  std::u16string caption;
  bool scripted_text = false;  // GetWindowText copies `caption` whole and returns `count`
  std::int32_t count = 0;
};

struct Desktop {
  std::vector<Window> windows;
  platform::WindowHandle foreground = 0;
};

Desktop desktop;
const Resetter reset_windows([] { desktop = Desktop{}; });

Window* Find(platform::WindowHandle handle) {
  for (Window& window : desktop.windows) {
    if (window.handle == handle) return &window;
  }
  return nullptr;
}
}  // namespace

void AddWindow(platform::WindowHandle window, std::u16string caption) {
  desktop.windows.push_back({window, std::move(caption)});
}

void SetForegroundWindow(platform::WindowHandle window) { desktop.foreground = window; }

void SetWindowTextResult(platform::WindowHandle window, std::u16string text, std::int32_t count) {
  Window* found = Find(window);
  if (found == nullptr) {
    desktop.windows.push_back({window, {}});
    found = &desktop.windows.back();
  }
  found->caption = std::move(text);
  found->scripted_text = true;
  found->count = count;
}
}  // namespace fake

namespace platform {

WindowHandle FindWindow(const std::u16string& window_name) {
  fake::Record("FindWindow(null, \"" + fake::Narrow(window_name) + "\")");
  for (const fake::Window& window : fake::desktop.windows) {
    if (!window.scripted_text && window.caption == window_name) return window.handle;
  }
  return 0;
}

WindowHandle GetForegroundWindow() {
  fake::Record("GetForegroundWindow");
  return fake::desktop.foreground;
}

std::int32_t GetWindowText(WindowHandle window, char16_t* buffer, std::int32_t max_count) {
  fake::Record("GetWindowText(" + fake::Hex(window) + ", " + std::to_string(max_count) + ")");
  if (max_count < 1) return 0;
  const fake::Window* found = fake::Find(window);
  if (found == nullptr) {
    buffer[0] = u'\0';
    return 0;
  }
  const std::size_t room = static_cast<std::size_t>(max_count);
  if (found->scripted_text) {
    std::copy_n(found->caption.begin(), std::min(found->caption.size(), room), buffer);
    return found->count;
  }
  const std::size_t copied = std::min(found->caption.size(), room - 1);
  std::copy_n(found->caption.begin(), copied, buffer);
  buffer[copied] = u'\0';
  return static_cast<std::int32_t>(copied);
}

bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t w_param, std::intptr_t l_param) {
  fake::Record("PostMessage(" + fake::Hex(window) + ", " + fake::Hex(message) + ", " + fake::Hex(w_param) + ", " +
               std::to_string(l_param) + ")");
  return fake::Find(window) != nullptr;
}

bool SetWindowPos(WindowHandle window, WindowHandle insert_after, std::int32_t x, std::int32_t y, std::int32_t cx,
                  std::int32_t cy, std::uint32_t flags) {
  fake::Record("SetWindowPos(" + fake::Hex(window) + ", " + std::to_string(static_cast<std::intptr_t>(insert_after)) +
               ", " + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " +
               std::to_string(cy) + ", " + std::to_string(flags) + ")");
  return fake::Find(window) != nullptr;
}
}  // namespace platform

#include "platform/fake/fake_window_control.h"

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace fake {
namespace {

struct Window {
  platform::WindowHandle handle;
  std::u16string caption;
};

struct Desktop {
  std::vector<Window> windows;
  platform::WindowHandle active = 0;
};

Desktop desktop;
const Resetter reset_windows([] { desktop = Desktop{}; });

const Window* Find(platform::WindowHandle handle) {
  for (const Window& window : desktop.windows) {
    if (window.handle == handle) return &window;
  }
  return nullptr;
}

// Records `request`; true when there is such a window.
bool Request(Call request, platform::WindowHandle window) {
  Record(std::move(request));
  return Find(window) != nullptr;
}

}  // namespace

void AddWindow(platform::WindowHandle window, std::u16string caption) {
  desktop.windows.push_back({window, std::move(caption)});
}

void SetActiveWindow(platform::WindowHandle window) { desktop.active = window; }

}  // namespace fake

namespace platform {

WindowHandle FindWindowByCaption(const std::u16string& caption) {
  fake::Record(fake::FindWindowByCaptionCall{caption});
  for (const fake::Window& window : fake::desktop.windows) {
    if (window.caption == caption) return window.handle;
  }
  return 0;
}

// Every scripted window's caption, in the order added.
std::vector<std::u16string> WindowCaptions() {
  std::vector<std::u16string> captions;
  for (const fake::Window& window : fake::desktop.windows) captions.push_back(window.caption);
  return captions;
}

WindowHandle ActiveWindow() {
  fake::Record(fake::ActiveWindowCall{});
  return fake::desktop.active;
}

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  fake::Record(fake::WindowCaptionCall{window, max_length});
  const fake::Window* found = fake::Find(window);
  return found == nullptr ? std::u16string() : found->caption.substr(0, max_length);
}

bool CloseWindow(WindowHandle window) { return fake::Request(fake::CloseWindowCall{window}, window); }
bool RestoreWindow(WindowHandle window) { return fake::Request(fake::RestoreWindowCall{window}, window); }
bool MinimizeWindow(WindowHandle window) { return fake::Request(fake::MinimizeWindowCall{window}, window); }
bool MaximizeWindow(WindowHandle window) { return fake::Request(fake::MaximizeWindowCall{window}, window); }
bool SetTopmost(WindowHandle window, bool topmost) {
  return fake::Request(fake::SetTopmostCall{window, topmost}, window);
}

}  // namespace platform

// Win32 picture window: GDI+ decodes the file, a frameless popup window
// paints the bitmap from its top-left corner, and a window timer ticks.
#include "platform/win32/win32_common.h"

#include <gdiplus.h>

#include "console/failure.h"
#include "platform/picture_window.h"
#include "platform/win32/win32_event_loop.h"

namespace platform {
namespace {

constexpr wchar_t kClassName[] = L"QcpPictureShow";
constexpr UINT_PTR kTimerId = 1;

struct Window {
  HWND handle = nullptr;
  HBITMAP picture = nullptr;
  PictureSize size;
  PictureWindowEvents events{};
  bool button_down = false;
};

Window window;

// Fails as the loader would when the file cannot be opened for reading.
void CheckReadable(const std::u16string& file_name) {
  if (file_name.empty()) qcp::Raise(qcp::failures::kFileNotFound);
  const DWORD attributes = ::GetFileAttributesW(Wide(file_name));
  if (attributes == INVALID_FILE_ATTRIBUTES) RaiseOpenFailure(file_name, ::GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) qcp::Raise(qcp::failures::kPathIsFolder);
  const HANDLE file = ::CreateFileW(Wide(file_name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) RaiseOpenFailure(file_name, ::GetLastError());
  ::CloseHandle(file);
}

bool StartGdiplus() {
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

// The picture as a screen bitmap; transparent parts take the window's colour.
HBITMAP DecodePicture(const std::u16string& file_name, PictureSize& size) {
  if (!StartGdiplus()) qcp::Raise(qcp::failures::kInvalidPicture);
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromFile(Wide(file_name), &bitmap) != Gdiplus::Ok || bitmap == nullptr) {
    qcp::Raise(qcp::failures::kInvalidPicture);
  }
  UINT width = 0;
  UINT height = 0;
  HBITMAP picture = nullptr;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const Gdiplus::ARGB background =
      0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  const bool decoded = Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width) == Gdiplus::Ok &&
                       Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height) == Gdiplus::Ok && width > 0 &&
                       height > 0 && PictureFits(width, height) &&
                       Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture, background) == Gdiplus::Ok;
  // Disposing of the GDI+ bitmap also lets go of the file.
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  if (!decoded || picture == nullptr) qcp::Raise(qcp::failures::kInvalidPicture);
  size = {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
  return picture;
}

void Paint(HWND handle) {
  PAINTSTRUCT paint;
  const HDC target = ::BeginPaint(handle, &paint);
  if (window.picture != nullptr) {
    const HDC source = ::CreateCompatibleDC(target);
    const HGDIOBJ old = ::SelectObject(source, window.picture);
    ::BitBlt(target, 0, 0, window.size.width, window.size.height, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
  }
  ::EndPaint(handle, &paint);
}

bool Inside(HWND handle, LPARAM point) {
  RECT client;
  ::GetClientRect(handle, &client);
  const POINT at = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  return ::PtInRect(&client, at) != FALSE;
}

LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(handle);
      return 0;
    case WM_LBUTTONDOWN:
      window.button_down = true;
      ::SetCapture(handle);
      return 0;
    case WM_LBUTTONUP:
      if (window.button_down) {
        window.button_down = false;
        ::ReleaseCapture();
        // A click is a press and a release on the picture.
        if (Inside(handle, lparam) && window.events.click != nullptr) window.events.click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      window.button_down = false;
      return 0;
    case WM_KEYUP:
      if (window.events.key_up != nullptr) window.events.key_up(wparam == VK_ESCAPE ? PictureKey::kEscape : PictureKey::kOther);
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId && window.events.timer != nullptr) window.events.timer();
      return 0;
    case WM_CLOSE:
      if (window.events.close != nullptr) window.events.close();
      return 0;
    default:
      return ::DefWindowProcW(handle, message, wparam, lparam);
  }
}

// The icon group the build writes from the pack's icon drawing.
constexpr int kIconResource = 1;

HICON LoadIconResource(int size_metric) {
  const int size = ::GetSystemMetrics(size_metric);
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

}  // namespace

void CreatePictureWindow(const PictureWindowEvents& events) {
  if (window.handle != nullptr) return;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  static const bool registered = [instance] {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconResource(SM_CXICON);
    window_class.hIconSm = LoadIconResource(SM_CXSMICON);
    window_class.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    return ::RegisterClassExW(&window_class) != 0;
  }();
  if (!registered) qcp::Raise(qcp::failures::kOutOfMemory);
  // No frame and no caption: the window is exactly the picture. As an app
  // window it still has its button in the task bar.
  window.handle = ::CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"PictureShow", WS_POPUP, 0, 0, 1, 1, nullptr,
                                    nullptr, instance, nullptr);
  if (window.handle == nullptr) qcp::Raise(qcp::failures::kOutOfMemory);
  window.events = events;
  WindowOpened();
}

PictureSize LoadPicture(const std::u16string& file_name) {
  CheckReadable(file_name);
  PictureSize size;
  const HBITMAP picture = DecodePicture(file_name, size);
  if (window.picture != nullptr) ::DeleteObject(window.picture);
  window.picture = picture;
  window.size = size;
  if (window.handle != nullptr) ::InvalidateRect(window.handle, nullptr, TRUE);
  return size;
}

void SizePictureWindow(std::int32_t width, std::int32_t height) {
  if (window.handle == nullptr) return;
  RECT frame = {0, 0, width, height};
  ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_APPWINDOW);
  const int outer_width = frame.right - frame.left;
  const int outer_height = frame.bottom - frame.top;
  // Centred in the work area; a picture larger than that starts at its top-left corner.
  RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = work.left + (work.right - work.left - outer_width) / 2;
  int y = work.top + (work.bottom - work.top - outer_height) / 2;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(window.handle, nullptr, x, y, outer_width, outer_height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowPictureWindow() {
  if (window.handle == nullptr) return;
  ::ShowWindow(window.handle, SW_SHOWNORMAL);
  ::UpdateWindow(window.handle);
  ::SetForegroundWindow(window.handle);
  ::SetFocus(window.handle);
}

void StartPictureTimer(std::int32_t interval) {
  if (window.handle == nullptr) return;
  // The same timer id replaces a running timer: it starts counting afresh.
  ::SetTimer(window.handle, kTimerId, static_cast<UINT>(interval), nullptr);
}

void StopPictureTimer() {
  if (window.handle != nullptr) ::KillTimer(window.handle, kTimerId);
}

void UnloadPictureWindow() {
  if (window.handle == nullptr) return;
  const HWND handle = window.handle;
  window.handle = nullptr;
  window.events = {};
  ::KillTimer(handle, kTimerId);
  ::DestroyWindow(handle);
  if (window.picture != nullptr) ::DeleteObject(window.picture);
  window.picture = nullptr;
  WindowClosed();
}

}  // namespace platform

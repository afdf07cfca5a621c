// Win32 media window: the media player control (WMPlayer.OCX) in place in a
// borderless window that covers the monitor, hosted by the OLE site of
// win32_ole_site.h, with the sink for the control's events. URL, controls
// and settings are reached through the control's IDispatch; the remaining
// members through its dual interfaces.
#include "platform/win32/win32_common.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <wmp.h>

#include "console/failure.h"
#include "platform/media_window.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_ole_site.h"

namespace platform {
namespace {

const CLSID kClsidPlayer = {0x6bf52a52, 0x394a, 0x11d3, {0xb1, 0x53, 0x00, 0xc0, 0x4f, 0x79, 0xfa, 0xa6}};
const IID kIidPlayerEvents = {0x6bf52a51, 0x394a, 0x11d3, {0xb1, 0x53, 0x00, 0xc0, 0x4f, 0x79, 0xfa, 0xa6}};
const IID kIidPlayer4 = {0x6c497d62, 0x8919, 0x413c, {0x82, 0xdb, 0xe9, 0x35, 0xfb, 0x3e, 0xc5, 0x84}};
const IID kIidControls = {0x74c09e02, 0xf828, 0x11d2, {0xa7, 0x4b, 0x00, 0xa0, 0xc9, 0x05, 0xf3, 0x6e}};
const IID kIidSettings = {0x9104d1ab, 0x80c9, 0x4fed, {0xab, 0xf0, 0x2e, 0x64, 0x17, 0xa6, 0xdf, 0x14}};

// Dispatch ids of the player's members and events.
constexpr DISPID kDispUrl = 1;
constexpr DISPID kDispControls = 4;
constexpr DISPID kDispSettings = 5;
constexpr DISPID kEventPlayStateChange = 5101;
constexpr DISPID kEventError = 5501;
constexpr DISPID kEventMediaError = 5821;
constexpr DISPID kEventKeyPress = 6508;

// The player's own numbers for the play states the tools hear of.
constexpr LONG kStateUndefined = 0;  // no media, or media lost
constexpr LONG kStateStopped = 1;
constexpr LONG kStatePaused = 2;
constexpr LONG kStatePlaying = 3;
constexpr LONG kStateMediaEnded = 8;
constexpr LONG kStateReady = 10;

constexpr wchar_t kClassName[] = L"QuorvexMediaWindow";
// Posted to the window to take it down once no call into the player is under way.
constexpr UINT kTeardownMessage = WM_APP + 1;

struct MediaWindow {
  HWND window = nullptr;
  IOleObject* object = nullptr;
  IOleInPlaceObject* in_place = nullptr;
  IDispatch* dispatch = nullptr;
  IWMPPlayer4* player = nullptr;  // may be missing from an old player
  IConnectionPoint* events_point = nullptr;
  DWORD events_cookie = 0;
  MediaWindowEvents events{};
  bool has_played = false;  // the player has reached the playing state
  bool open = false;  // counted with the message loop
  bool closing = false;
};

MediaWindow media;

[[noreturn]] void RaiseMember(std::u16string_view member, std::u16string_view object) {
  std::u16string description = u"Method '";
  description.append(member).append(u"' of object '").append(object).append(u"' failed");
  qcp::Raise(description);
}

void Check(HRESULT result, std::u16string_view member, std::u16string_view object) {
  if (FAILED(result)) RaiseMember(member, object);
}

// Event arguments come as 32-bit or 16-bit numbers, signed or not.
LONG IntegerArgument(DISPPARAMS* params) {
  if (params == nullptr || params->cArgs < 1) return 0;
  VARIANT value;
  ::VariantInit(&value);
  if (FAILED(::VariantChangeType(&value, &params->rgvarg[params->cArgs - 1], 0, VT_I4))) return 0;
  return value.lVal;
}

// A typed character as the key the tool tells apart: Esc is 27, Space 32.
MediaKey KeyOf(long ascii) {
  return ascii == 27 ? MediaKey::kEscape : ascii == 32 ? MediaKey::kSpace : MediaKey::kOther;
}

// The number of errors in the player's error queue; 0 from a player that
// keeps none.
LONG QueuedErrors() {
  if (media.player == nullptr) return 0;
  IWMPError* error = nullptr;
  LONG count = 0;
  if (SUCCEEDED(media.player->get_Error(&error)) && error != nullptr) {
    if (FAILED(error->get_errorCount(&count))) count = 0;
    error->Release();
  }
  return count;
}

// The control's outgoing events, to the tool's handlers.
class EventSink final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidPlayerEvents)) {
      *object = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One sink for the life of the process: counting would change nothing.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (media.window == nullptr || media.closing) return S_OK;
    switch (id) {
      case kEventPlayStateChange: {
        const LONG state = IntegerArgument(params);
        switch (state) {
          case kStateStopped:
          case kStateMediaEnded:
            media.events.media_event(MediaEvent::kEnded);
            break;
          case kStatePlaying:
            media.has_played = true;
            media.events.media_event(MediaEvent::kPlaying);
            break;
          case kStatePaused:
            media.events.media_event(MediaEvent::kPaused);
            break;
          // Ready is no sign of failure: the player may pass through it, in
          // any order, while it opens good media.
          case kStateReady:
            media.events.media_event(MediaEvent::kOpened);
            break;
          // Media that cannot be opened: the player loses it without ever playing.
          case kStateUndefined:
            if (!media.has_played) media.events.media_event(MediaEvent::kFailed);
            break;
          default:
            break;
        }
        // Ready or undefined is where media that cannot be opened leaves the
        // player, but also a normal step on the way to playing. An error in
        // the player's queue tells the two apart, for players that queue it
        // without an Error event.
        if ((state == kStateReady || state == kStateUndefined) && media.window != nullptr && !media.closing &&
            QueuedErrors() > 0) {
          media.events.media_event(MediaEvent::kFailed);
        }
        break;
      }
      case kEventKeyPress:
        media.events.key_press(KeyOf(IntegerArgument(params)));
        break;
      case kEventError:
      case kEventMediaError:
        media.events.media_event(MediaEvent::kFailed);
        break;
      default:
        break;
    }
    return S_OK;
  }
};

EventSink sink;
OleSite site(&media.window, &media.in_place);

template <typename T>
void ReleaseOf(T*& pointer) {
  if (pointer != nullptr) pointer->Release();
  pointer = nullptr;
}

void Teardown() {
  if (media.window == nullptr) return;
  if (media.events_point != nullptr) media.events_point->Unadvise(media.events_cookie);
  ReleaseOf(media.events_point);
  if (media.player != nullptr) {
    IWMPControls* controls = nullptr;
    if (SUCCEEDED(media.player->get_controls(&controls)) && controls != nullptr) {
      controls->stop();
      controls->Release();
    }
  }
  if (media.in_place != nullptr) media.in_place->InPlaceDeactivate();
  ReleaseOf(media.in_place);
  ReleaseOf(media.player);
  ReleaseOf(media.dispatch);
  if (media.object != nullptr) {
    media.object->Close(OLECLOSE_NOSAVE);
    media.object->SetClientSite(nullptr);
  }
  ReleaseOf(media.object);
  const HWND window = media.window;
  const bool open = media.open;
  media = MediaWindow{};
  ::DestroyWindow(window);
  if (open) WindowClosed();
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (media.in_place != nullptr) {
        RECT client;
        ::GetClientRect(window, &client);
        media.in_place->SetObjectRects(&client, &client);
      }
      return 0;
    case WM_CHAR:
      // Keys typed on the window itself; while the player has the focus,
      // its KeyPress event brings them instead.
      if (!media.closing && media.window != nullptr) media.events.key_press(KeyOf(static_cast<long>(wparam)));
      return 0;
    case WM_CLOSE:
      UnloadMediaWindow();
      return 0;
    case kTeardownMessage:
      Teardown();
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

RECT MonitorRect() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const POINT origin{0, 0};
  ::GetMonitorInfoW(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcMonitor;
}

// The control's own VARIANT_BOOL.
VARIANT_BOOL Flag(bool on) { return on ? VARIANT_TRUE : VARIANT_FALSE; }

// The settings the window keeps for its player: no controls of its own, the
// picture stretched to the window, playback as soon as a URL is set, no
// error dialogs, the context menu available, sound on at normal speed.
// Like stored design settings they are best effort: a player that lacks one
// still plays. Full screen is the window's own size (the control's full
// screen mode is only available while media plays).
void ApplyDesignSettings() {
  if (media.player == nullptr) return;
  if (BSTR none = ::SysAllocString(L"none")) {
    media.player->put_uiMode(none);
    ::SysFreeString(none);
  }
  media.player->put_stretchToFit(Flag(true));
  media.player->put_enableContextMenu(Flag(true));
  IWMPSettings* settings = nullptr;
  if (SUCCEEDED(media.player->get_settings(&settings)) && settings != nullptr) {
    settings->put_autoStart(Flag(true));
    settings->put_enableErrorDialogs(Flag(false));
    settings->put_mute(Flag(false));
    settings->put_rate(1.0);
    settings->Release();
  }
}

// A property of the player through IDispatch. A player whose dispatch
// interface is not implemented (Wine's) is reached through its dual
// interface instead.
HRESULT GetProperty(DISPID id, VARIANT* result) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ::VariantInit(result);
  return media.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result, nullptr,
                                nullptr);
}

// The object behind the `controls` or `settings` property, as `iid`.
template <typename T>
T* PlayerPart(DISPID id, const IID& iid, std::u16string_view member) {
  VARIANT value;
  HRESULT result = GetProperty(id, &value);
  IUnknown* part = nullptr;
  if (result == E_NOTIMPL && media.player != nullptr) {
    if (id == kDispControls) {
      IWMPControls* controls = nullptr;
      result = media.player->get_controls(&controls);
      part = controls;
    } else {
      IWMPSettings* settings = nullptr;
      result = media.player->get_settings(&settings);
      part = settings;
    }
  } else if (SUCCEEDED(result)) {
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
      part = value.punkVal;
      value.vt = VT_EMPTY;
    }
    ::VariantClear(&value);
  }
  Check(result, member, u"IWMPPlayer4");
  T* typed = nullptr;
  if (part != nullptr) {
    result = part->QueryInterface(iid, reinterpret_cast<void**>(&typed));
    part->Release();
  }
  if (typed == nullptr) RaiseMember(member, u"IWMPPlayer4");
  return typed;
}

IWMPControls* Controls() { return PlayerPart<IWMPControls>(kDispControls, kIidControls, u"controls"); }
IWMPSettings* Settings() { return PlayerPart<IWMPSettings>(kDispSettings, kIidSettings, u"settings"); }

bool Usable() { return media.window != nullptr && !media.closing; }

}  // namespace

void LoadMediaWindow(const MediaWindowEvents& events) {
  if (media.window != nullptr) return;
  static bool ole_ready = SUCCEEDED(::OleInitialize(nullptr));
  if (!ole_ready) qcp::Raise(u"Cannot start OLE");
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  static const ATOM window_class = [instance] {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    info.lpfnWndProc = &WindowProcedure;
    info.hInstance = instance;
    info.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    info.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    info.lpszClassName = kClassName;
    return ::RegisterClassExW(&info);
  }();
  if (window_class == 0) qcp::Raise(u"Cannot create the window");

  CLSID player_class;
  if (FAILED(::CLSIDFromProgID(L"WMPlayer.OCX", &player_class))) player_class = kClsidPlayer;
  IOleObject* object = nullptr;
  if (FAILED(::CoCreateInstance(player_class, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object)))) {
    qcp::Raise(u"ActiveX component can't create object");
  }
  // The control's default dispatch interface; a control that doesn't hand
  // out IDispatch as such (Wine's) still has it as the base of IWMPPlayer4.
  IDispatch* dispatch = nullptr;
  if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(object->QueryInterface(kIidPlayer4, reinterpret_cast<void**>(&dispatch)))) {
    object->Release();
    qcp::Raise(u"ActiveX component can't create object");
  }

  const RECT screen = MonitorRect();
  const HWND window = ::CreateWindowExW(0, kClassName, L"MovieShow", WS_POPUP | WS_CLIPCHILDREN, screen.left,
                                        screen.top, screen.right - screen.left, screen.bottom - screen.top, nullptr,
                                        nullptr, instance, nullptr);
  if (window == nullptr) {
    dispatch->Release();
    object->Release();
    qcp::Raise(u"Cannot create the window");
  }
  media.window = window;
  media.object = object;
  media.dispatch = dispatch;
  media.events = events;

  object->SetClientSite(&site);
  IPersistStreamInit* persist = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
    persist->InitNew();
    persist->Release();
  }
  object->QueryInterface(kIidPlayer4, reinterpret_cast<void**>(&media.player));
  ApplyDesignSettings();

  // Without its events the window would never learn that playback ended.
  IConnectionPointContainer* points = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
    if (SUCCEEDED(points->FindConnectionPoint(kIidPlayerEvents, &media.events_point)) &&
        FAILED(media.events_point->Advise(&sink, &media.events_cookie))) {
      ReleaseOf(media.events_point);
    }
    points->Release();
  }
  if (media.events_point == nullptr) {
    Teardown();
    qcp::Raise(u"ActiveX component can't create object");
  }

  RECT client;
  ::GetClientRect(window, &client);
  object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &client);
  if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&media.in_place)))) {
    media.in_place->SetObjectRects(&client, &client);
  }
  // Counted last: a window that failed to load never ends the message loop
  // (whose quit message would close the error box at once).
  media.open = true;
  WindowOpened();
}

void SetPlayerVolume(std::int32_t volume) {
  if (!Usable()) return;
  IWMPSettings* settings = Settings();
  const HRESULT result = settings->put_volume(volume);
  settings->Release();
  Check(result, u"volume", u"IWMPSettings");
}

void SetPlayerPlayCount(std::int32_t count) {
  if (!Usable()) return;
  IWMPSettings* settings = Settings();
  const HRESULT result = settings->put_playCount(count);
  settings->Release();
  // A control without the member (Wine's) keeps its stored count of 1, which
  // is what the count asks for: the media plays once.
  if (result == E_NOTIMPL) return;
  Check(result, u"playCount", u"IWMPSettings");
}

void SetPlayerUrl(const std::u16string& url) {
  if (!Usable()) return;
  BSTR text = ::SysAllocStringLen(Wide(url), static_cast<UINT>(url.size()));
  if (text == nullptr) qcp::Raise(qcp::failures::kOutOfMemory);
  // The string goes by reference, as the control's own type library has it.
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_BSTR | VT_BYREF;
  value.pbstrVal = &text;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  HRESULT result = media.dispatch->Invoke(kDispUrl, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                          nullptr, nullptr, nullptr);
  if (result == E_NOTIMPL && media.player != nullptr) result = media.player->put_URL(text);
  ::SysFreeString(text);
  Check(result, u"URL", u"IWMPPlayer4");
}

void PlayerPlay() {
  if (!Usable()) return;
  IWMPControls* controls = Controls();
  const HRESULT result = controls->play();
  controls->Release();
  Check(result, u"play", u"IWMPControls");
}

void PlayerPause() {
  if (!Usable()) return;
  IWMPControls* controls = Controls();
  const HRESULT result = controls->pause();
  controls->Release();
  Check(result, u"pause", u"IWMPControls");
}

void ShowMediaWindow() {
  if (!Usable() || ::IsWindowVisible(media.window)) return;
  ::ShowWindow(media.window, SW_SHOW);
  ::SetForegroundWindow(media.window);
  ::SetFocus(media.window);
}

void UnloadMediaWindow() {
  if (!Usable()) return;
  // Hidden and deaf at once; taken down once the player's call that led
  // here, if any, has returned.
  media.closing = true;
  ::ShowWindow(media.window, SW_HIDE);
  ::PostMessageW(media.window, kTeardownMessage, 0, 0);
}

}  // namespace platform

// The platform requests the fakes record: a struct per request, all in one
// list, because the tests check the order across requests (find, then act).
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/window_control.h"

namespace fake {

// Windows.
struct FindWindowByCaptionCall {
  std::u16string caption;
  bool operator==(const FindWindowByCaptionCall&) const = default;
};
struct ActiveWindowCall {
  bool operator==(const ActiveWindowCall&) const = default;
};
struct WindowCaptionCall {
  platform::WindowHandle window;
  std::size_t max_length;
  bool operator==(const WindowCaptionCall&) const = default;
};
struct CloseWindowCall {
  platform::WindowHandle window;
  bool operator==(const CloseWindowCall&) const = default;
};
struct RestoreWindowCall {
  platform::WindowHandle window;
  bool operator==(const RestoreWindowCall&) const = default;
};
struct MinimizeWindowCall {
  platform::WindowHandle window;
  bool operator==(const MinimizeWindowCall&) const = default;
};
struct MaximizeWindowCall {
  platform::WindowHandle window;
  bool operator==(const MaximizeWindowCall&) const = default;
};
struct SetTopmostCall {
  platform::WindowHandle window;
  bool topmost;
  bool operator==(const SetTopmostCall&) const = default;
};

// Processes, session, trash and opening.
struct ListProcessesCall {
  bool operator==(const ListProcessesCall&) const = default;
};
struct LockSessionCall {
  bool operator==(const LockSessionCall&) const = default;
};
struct EndSessionCall {
  bool operator==(const EndSessionCall&) const = default;
};
struct EmptyTrashCall {
  std::u16string root;
  bool confirm;
  bool show_progress;
  bool play_sound;
  bool operator==(const EmptyTrashCall&) const = default;
};
struct OpenItemCall {
  std::u16string item;
  std::u16string parameters;
  std::u16string directory;
  bool wait;
  bool operator==(const OpenItemCall&) const = default;
};

// Files, clock, random numbers and the event loop.
struct OpenFileForReadingCall {
  std::u16string name;
  bool operator==(const OpenFileForReadingCall&) const = default;
};
struct CloseFileCall {
  bool operator==(const CloseFileCall&) const = default;
};
struct TickCountCall {
  bool operator==(const TickCountCall&) const = default;
};
struct RandomizeCall {
  bool operator==(const RandomizeCall&) const = default;
};
struct RunMessageLoopCall {
  bool operator==(const RunMessageLoopCall&) const = default;
};

// Sound and the message box.
struct BeepCall {
  std::int32_t frequency;
  std::int32_t duration;
  bool operator==(const BeepCall&) const = default;
};
struct PlayWaveCall {
  std::u16string name;
  bool loop;
  bool operator==(const PlayWaveCall&) const = default;
};
struct ShowMessageBoxCall {
  std::u16string text;
  std::u16string title;
  platform::MessageIcon icon;
  bool operator==(const ShowMessageBoxCall&) const = default;
};

// The media player window.
struct LoadMediaWindowCall {
  bool operator==(const LoadMediaWindowCall&) const = default;
};
struct SetPlayerVolumeCall {
  std::int32_t volume;
  bool operator==(const SetPlayerVolumeCall&) const = default;
};
struct SetPlayerPlayCountCall {
  std::int32_t count;
  bool operator==(const SetPlayerPlayCountCall&) const = default;
};
struct SetPlayerUrlCall {
  std::u16string url;
  bool operator==(const SetPlayerUrlCall&) const = default;
};
struct PlayerPlayCall {
  bool operator==(const PlayerPlayCall&) const = default;
};
struct PlayerPauseCall {
  bool operator==(const PlayerPauseCall&) const = default;
};
struct ShowMediaWindowCall {
  bool operator==(const ShowMediaWindowCall&) const = default;
};
struct UnloadMediaWindowCall {
  bool operator==(const UnloadMediaWindowCall&) const = default;
};
// The request recorded just before raised the failure it was scripted with.
struct FailedCall {
  bool operator==(const FailedCall&) const = default;
};

// The picture window.
struct CreatePictureWindowCall {
  bool operator==(const CreatePictureWindowCall&) const = default;
};
struct LoadPictureCall {
  std::u16string file_name;
  bool operator==(const LoadPictureCall&) const = default;
};
struct SizePictureWindowCall {
  std::int32_t width;
  std::int32_t height;
  bool operator==(const SizePictureWindowCall&) const = default;
};
struct ShowPictureWindowCall {
  bool operator==(const ShowPictureWindowCall&) const = default;
};
struct StartPictureTimerCall {
  std::int32_t interval;
  bool operator==(const StartPictureTimerCall&) const = default;
};
struct StopPictureTimerCall {
  bool operator==(const StopPictureTimerCall&) const = default;
};
struct UnloadPictureWindowCall {
  bool operator==(const UnloadPictureWindowCall&) const = default;
};

// Each request as text such as `Beep(440, 200)`, for test failure messages.
void PrintTo(const FindWindowByCaptionCall& call, std::ostream* out);
void PrintTo(const ActiveWindowCall& call, std::ostream* out);
void PrintTo(const WindowCaptionCall& call, std::ostream* out);
void PrintTo(const CloseWindowCall& call, std::ostream* out);
void PrintTo(const RestoreWindowCall& call, std::ostream* out);
void PrintTo(const MinimizeWindowCall& call, std::ostream* out);
void PrintTo(const MaximizeWindowCall& call, std::ostream* out);
void PrintTo(const SetTopmostCall& call, std::ostream* out);
void PrintTo(const ListProcessesCall& call, std::ostream* out);
void PrintTo(const LockSessionCall& call, std::ostream* out);
void PrintTo(const EndSessionCall& call, std::ostream* out);
void PrintTo(const EmptyTrashCall& call, std::ostream* out);
void PrintTo(const OpenItemCall& call, std::ostream* out);
void PrintTo(const OpenFileForReadingCall& call, std::ostream* out);
void PrintTo(const CloseFileCall& call, std::ostream* out);
void PrintTo(const TickCountCall& call, std::ostream* out);
void PrintTo(const RandomizeCall& call, std::ostream* out);
void PrintTo(const RunMessageLoopCall& call, std::ostream* out);
void PrintTo(const BeepCall& call, std::ostream* out);
void PrintTo(const PlayWaveCall& call, std::ostream* out);
void PrintTo(const ShowMessageBoxCall& call, std::ostream* out);
void PrintTo(const LoadMediaWindowCall& call, std::ostream* out);
void PrintTo(const SetPlayerVolumeCall& call, std::ostream* out);
void PrintTo(const SetPlayerPlayCountCall& call, std::ostream* out);
void PrintTo(const SetPlayerUrlCall& call, std::ostream* out);
void PrintTo(const PlayerPlayCall& call, std::ostream* out);
void PrintTo(const PlayerPauseCall& call, std::ostream* out);
void PrintTo(const ShowMediaWindowCall& call, std::ostream* out);
void PrintTo(const UnloadMediaWindowCall& call, std::ostream* out);
void PrintTo(const FailedCall& call, std::ostream* out);
void PrintTo(const CreatePictureWindowCall& call, std::ostream* out);
void PrintTo(const LoadPictureCall& call, std::ostream* out);
void PrintTo(const SizePictureWindowCall& call, std::ostream* out);
void PrintTo(const ShowPictureWindowCall& call, std::ostream* out);
void PrintTo(const StartPictureTimerCall& call, std::ostream* out);
void PrintTo(const StopPictureTimerCall& call, std::ostream* out);
void PrintTo(const UnloadPictureWindowCall& call, std::ostream* out);

// Any one of the requests above. Two are equal when they are the same request
// with equal fields. Held behind a pointer rather than in a std::variant: the
// variant's inlined visits made a test function with a few dozen expected
// lists exhaust the compiler's memory.
class Call {
 public:
  template <typename Request>
    requires(!std::same_as<std::remove_cvref_t<Request>, Call> && std::equality_comparable<Request>)
  Call(Request request)  // NOLINT(google-explicit-constructor): lists of requests read as they were made
      : held_(std::make_shared<const Held<Request>>(std::move(request))) {}

  bool operator==(const Call& other) const { return held_->Equals(*other.held_); }

  friend void PrintTo(const Call& call, std::ostream* out) { call.held_->Print(out); }

 private:
  struct Base {
    virtual ~Base() = default;
    virtual bool Equals(const Base& other) const = 0;
    virtual void Print(std::ostream* out) const = 0;
  };

  template <typename Request>
  struct Held final : Base {
    explicit Held(Request made) : request(std::move(made)) {}
    bool Equals(const Base& other) const override {
      const auto* same = dynamic_cast<const Held*>(&other);
      return same != nullptr && same->request == request;
    }
    void Print(std::ostream* out) const override { PrintTo(request, out); }
    Request request;
  };

  std::shared_ptr<const Base> held_;
};

using CallList = std::vector<Call>;

// The requests made since the last Reset(), in order.
const CallList& Calls();
void Record(Call call);

}  // namespace fake

#include "platform/fake/fake_calls.h"

#include <ostream>
#include <string_view>

#include "platform/fake/fake_platform.h"

namespace fake {
namespace {

// Writes `name(` then the arguments, comma separated, then `)`.
class Printer {
 public:
  Printer(std::ostream* out, const char* name) : out_(*out) { out_ << name << '('; }
  ~Printer() { out_ << ')'; }

  Printer& operator<<(const std::u16string& text) {
    Next() << '"' << Narrow(text) << '"';
    return *this;
  }
  Printer& operator<<(std::int64_t number) {
    Next() << number;
    return *this;
  }
  Printer& operator<<(bool flag) {
    Next() << (flag ? "true" : "false");
    return *this;
  }
  Printer& operator<<(platform::MessageIcon icon) {
    Next() << IconName(icon);
    return *this;
  }
  Printer& Handle(platform::WindowHandle window) {
    Next() << "0x" << std::hex << window << std::dec;
    return *this;
  }

 private:
  std::ostream& Next() {
    if (!first_) out_ << ", ";
    first_ = false;
    return out_;
  }

  static const char* IconName(platform::MessageIcon icon) {
    switch (icon) {
      case platform::MessageIcon::kInformation: return "information";
      case platform::MessageIcon::kQuestion: return "question";
      case platform::MessageIcon::kWarning: return "warning";
      case platform::MessageIcon::kError: return "error";
      case platform::MessageIcon::kNone: break;
    }
    return "no icon";
  }

  std::ostream& out_;
  bool first_ = true;
};

}  // namespace

void PrintTo(const FindWindowByCaptionCall& call, std::ostream* out) {
  Printer(out, "FindWindowByCaption") << call.caption;
}
void PrintTo(const ActiveWindowCall&, std::ostream* out) { Printer(out, "ActiveWindow"); }
void PrintTo(const WindowCaptionCall& call, std::ostream* out) {
  Printer(out, "WindowCaption").Handle(call.window) << static_cast<std::int64_t>(call.max_length);
}
void PrintTo(const CloseWindowCall& call, std::ostream* out) { Printer(out, "CloseWindow").Handle(call.window); }
void PrintTo(const RestoreWindowCall& call, std::ostream* out) { Printer(out, "RestoreWindow").Handle(call.window); }
void PrintTo(const MinimizeWindowCall& call, std::ostream* out) { Printer(out, "MinimizeWindow").Handle(call.window); }
void PrintTo(const MaximizeWindowCall& call, std::ostream* out) { Printer(out, "MaximizeWindow").Handle(call.window); }
void PrintTo(const SetTopmostCall& call, std::ostream* out) {
  Printer(out, "SetTopmost").Handle(call.window) << call.topmost;
}
void PrintTo(const ListProcessesCall&, std::ostream* out) { Printer(out, "ListProcesses"); }
void PrintTo(const LockSessionCall&, std::ostream* out) { Printer(out, "LockSession"); }
void PrintTo(const EndSessionCall&, std::ostream* out) { Printer(out, "EndSession"); }
void PrintTo(const EmptyTrashCall& call, std::ostream* out) {
  Printer(out, "EmptyTrash") << call.root << call.confirm << call.show_progress << call.play_sound;
}
void PrintTo(const OpenItemCall& call, std::ostream* out) {
  Printer(out, "OpenItem") << call.item << call.parameters << call.directory << call.wait;
}
void PrintTo(const OpenFileForReadingCall& call, std::ostream* out) { Printer(out, "OpenFileForReading") << call.name; }
void PrintTo(const CloseFileCall&, std::ostream* out) { Printer(out, "CloseFile"); }
void PrintTo(const TickCountCall&, std::ostream* out) { Printer(out, "TickCount"); }
void PrintTo(const RandomizeCall&, std::ostream* out) { Printer(out, "Randomize"); }
void PrintTo(const RunMessageLoopCall&, std::ostream* out) { Printer(out, "RunMessageLoop"); }
void PrintTo(const BeepCall& call, std::ostream* out) {
  Printer(out, "Beep") << std::int64_t{call.frequency} << std::int64_t{call.duration};
}
void PrintTo(const PlayWaveCall& call, std::ostream* out) { Printer(out, "PlayWave") << call.name << call.loop; }
void PrintTo(const ShowMessageBoxCall& call, std::ostream* out) {
  Printer(out, "ShowMessageBox") << call.text << call.title << call.icon;
}
void PrintTo(const LoadMediaWindowCall&, std::ostream* out) { Printer(out, "LoadMediaWindow"); }
void PrintTo(const SetPlayerVolumeCall& call, std::ostream* out) {
  Printer(out, "SetPlayerVolume") << std::int64_t{call.volume};
}
void PrintTo(const SetPlayerPlayCountCall& call, std::ostream* out) {
  Printer(out, "SetPlayerPlayCount") << std::int64_t{call.count};
}
void PrintTo(const SetPlayerUrlCall& call, std::ostream* out) { Printer(out, "SetPlayerUrl") << call.url; }
void PrintTo(const PlayerPlayCall&, std::ostream* out) { Printer(out, "PlayerPlay"); }
void PrintTo(const PlayerPauseCall&, std::ostream* out) { Printer(out, "PlayerPause"); }
void PrintTo(const ShowMediaWindowCall&, std::ostream* out) { Printer(out, "ShowMediaWindow"); }
void PrintTo(const UnloadMediaWindowCall&, std::ostream* out) { Printer(out, "UnloadMediaWindow"); }
void PrintTo(const FailedCall&, std::ostream* out) { Printer(out, "failed"); }
void PrintTo(const CreatePictureWindowCall&, std::ostream* out) { Printer(out, "CreatePictureWindow"); }
void PrintTo(const LoadPictureCall& call, std::ostream* out) { Printer(out, "LoadPicture") << call.file_name; }
void PrintTo(const SizePictureWindowCall& call, std::ostream* out) {
  Printer(out, "SizePictureWindow") << std::int64_t{call.width} << std::int64_t{call.height};
}
void PrintTo(const ShowPictureWindowCall&, std::ostream* out) { Printer(out, "ShowPictureWindow"); }
void PrintTo(const StartPictureTimerCall& call, std::ostream* out) {
  Printer(out, "StartPictureTimer") << std::int64_t{call.interval};
}
void PrintTo(const StopPictureTimerCall&, std::ostream* out) { Printer(out, "StopPictureTimer"); }
void PrintTo(const UnloadPictureWindowCall&, std::ostream* out) { Printer(out, "UnloadPictureWindow"); }

}  // namespace fake

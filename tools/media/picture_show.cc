// PictureShow: shows an image in a window of its own, sized to the image,
// for some seconds or until it is clicked or Esc is released on it.
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/failure.h"
#include "console/numbers.h"
#include "platform/event_loop.h"
#include "platform/locale.h"
#include "platform/picture_window.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace picture_show {

// The window: a picture control at its top-left corner, sizing itself to its
// picture, and the quit timer. It has no frame, so the window is exactly the
// picture.
namespace window {

// The picture control; with auto-size on, its size is the picture's.
struct PictureBox {
  std::int32_t width = 0;
  std::int32_t height = 0;

  void LoadPicture(const std::u16string& file_name) {
    const platform::PictureSize size = platform::LoadPicture(file_name);
    width = size.width;
    height = size.height;
  }
};

// The timer control: an interval of 0 to 65,535 ms, counting while enabled.
class Timer {
 public:
  static constexpr std::int32_t kLongestInterval = 65535;

  void Interval(std::int32_t milliseconds) {
    if (milliseconds < 0 || milliseconds > kLongestInterval) qcp::Raise(qcp::failures::kInvalidPropertyValue);
    interval_ = milliseconds;
    if (enabled_) platform::StartPictureTimer(interval_);
  }

  void Enabled(bool enabled) {
    if (enabled) {
      platform::StartPictureTimer(interval_);
    } else if (enabled_) {
      platform::StopPictureTimer();
    }
    enabled_ = enabled;
  }

  // The window took its timer with it.
  void Discard() { *this = Timer(); }

 private:
  std::int32_t interval_ = 0;
  bool enabled_ = false;
};

PictureBox picture;
Timer quit_timer;
bool loaded = false;
bool visible = false;

void Unload();

void OnPictureClick() { Unload(); }

void OnPictureKeyUp(platform::PictureKey key) {
  if (key == platform::PictureKey::kEscape) Unload();
}

void OnQuitTimer() {
  quit_timer.Enabled(false);
  Unload();
}

// Alt+F4 and the task bar's close command unload the form like a click.
void OnQueryUnload() { Unload(); }

// Creates the window, hidden.
void Load() {
  if (loaded) return;
  platform::CreatePictureWindow({&OnPictureClick, &OnPictureKeyUp, &OnQueryUnload, &OnQuitTimer});
  loaded = true;
}

void Show() {
  platform::ShowPictureWindow();
  visible = true;
}

// Discards the window; the last window gone ends the program.
void Unload() {
  if (!loaded) return;
  loaded = false;
  visible = false;
  quit_timer.Discard();
  picture = PictureBox();
  platform::UnloadPictureWindow();
}

}  // namespace window

// Larger numbers of seconds give the timer's own refusal rather than an overflow.
constexpr double kMostSeconds = 65000;

constexpr std::u16string_view kHelp[] = {
    u"    PictureShow.exe <seconds> <filename.jpg|gif|bmp>",
    u"",
    u"    Pass the filename of the image to display.",
    u"    Enter the number of seconds to display the image",
    u"    for, or enter 0 until the image is clicked.",
    u"",
    u"    Seconds cannot be more than 65.",
};

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  try {
    const std::vector<std::u16string> words = qcp::SplitWords(tail);
    window::Load();
    const std::u16string file_name = qcp::TextAfterFirstBlank(tail);
    window::picture.LoadPicture(file_name);
    platform::SizePictureWindow(window::picture.width, window::picture.height);
    window::Show();

    std::u16string seconds = words[0];
    const double value = qcp::NumericValue(seconds);
    if (value <= 0) return qcp::Status::kDone;  // no timer: the window waits for a click or Esc
    if (value > kMostSeconds) seconds = u"65000";
    // The whole word must be a number, in the user's own number format.
    const double strict = qcp::StrictNumber(seconds, platform::DecimalSeparator());
    window::quit_timer.Interval(qcp::ToWholeNumber(strict * 1000));
    window::quit_timer.Enabled(true);
    return qcp::Status::kDone;
  } catch (const qcp::Failure& failure) {
    qcp::PrintLine(out, u"ERROR! " + failure.Description() + u".");
    // A window not yet shown goes, and the program ends with it; a shown
    // one stays, without a timer, until it is clicked or Esc is released.
    if (!window::visible) window::Unload();
    return qcp::Status::kFailed;
  }
}

qcp::Status RunWindow() {
  platform::RunMessageLoop();
  return qcp::Status::kDone;
}

}  // namespace picture_show

namespace qcp::entries {
// PictureShow, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: picture_window locale event_loop
//   Resources: picture_show.rc
//   Description: Shows an image in a window of its own
//   About: Shows a picture (JPEG, GIF, BMP, PNG) in a frameless window exactly its size, for up to
//     65 seconds, or with 0 until it is clicked or Esc is released on it.
//   Example: PictureShow 5 ~/Pictures/chart.png
//   Batch example: PictureShow.exe 5 C:\Pictures\chart.png
//   Synopsis: seconds file
//   Pack page: Shows a JPEG, GIF, BMP or PNG picture in a window exactly its size, for
//     .I seconds
//     (at most 65), or with 0 until the picture is clicked or Esc is released on
//     it.
extern const ToolEntry kPictureShow{u"PictureShow", picture_show::kHelp, HelpRule::kFewerThanTwoWords, true, &picture_show::Main, &picture_show::RunWindow};
}  // namespace qcp::entries

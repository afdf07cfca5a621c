// MovieShow: plays a video or music file full screen until it ends; Space
// pauses and resumes, Esc quits.
#include "console/command_line.h"
#include "console/failure.h"
#include "console/numbers.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/media_window.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace movie_show {

void ShowError(const std::u16string& description);

// The window and its one control, the player. Its events arrive after Main
// has returned (or, from some players, while a member call is under way).
namespace window {

// Whether Space has paused playback; other pauses don't change it.
bool paused = false;

namespace {

// The player counts plays from 1; the media plays once.
constexpr std::int32_t kPlayCount = 1;

bool loaded = false;          // the window and its player exist
bool play_requested = false;  // Main has asked the player to play
bool in_error_step = false;   // the error box is up; the window goes after it

void OnMediaEvent(platform::MediaEvent event);
void OnKeyPress(platform::MediaKey key);

void Unload() {
  if (!loaded) return;
  loaded = false;
  platform::UnloadMediaWindow();
}

void OnLoad() {
  platform::SetPlayerVolume(100);
  platform::SetPlayerPlayCount(kPlayCount);
}

// The first use of the player loads the window.
void Load() {
  if (loaded) return;
  platform::LoadMediaWindow({&OnMediaEvent, &OnKeyPress});
  loaded = true;
  OnLoad();
}

void OnMediaEvent(platform::MediaEvent event) {
  if (!loaded || in_error_step) return;
  switch (event) {
    // A failure ends the program without a word: the player shows no
    // dialogs of its own, and the window must not stay behind, hidden or frozen.
    case platform::MediaEvent::kEnded:
    case platform::MediaEvent::kFailed:
      Unload();
      break;
    case platform::MediaEvent::kPlaying:
      platform::ShowMediaWindow();
      break;
    case platform::MediaEvent::kOpened:
    case platform::MediaEvent::kPaused:
      break;
  }
}

void OnKeyPress(platform::MediaKey key) {
  if (!loaded || in_error_step) return;
  try {
    if (key == platform::MediaKey::kEscape) {
      Unload();
    } else if (key == platform::MediaKey::kSpace) {
      if (paused) {
        platform::PlayerPlay();
        paused = false;
      } else {
        platform::PlayerPause();
        paused = true;
      }
    }
  } catch (const qcp::Failure& failure) {
    ShowError(failure.Description());
  }
}

}  // namespace

// A fresh, hidden window; the player comes with its first use.
void Create() {
  paused = false;
  loaded = false;
  play_requested = false;
  in_error_step = false;
}

bool Loaded() { return loaded; }

void SetUrl(const std::u16string& url) {
  Load();
  platform::SetPlayerUrl(url);
}

void Play() {
  play_requested = true;
  platform::PlayerPlay();
}

// While the error box is up the player's events change nothing: the end of
// the media must not take the box away before the user has read it.
void BeginErrorStep() { in_error_step = true; }

void Close() { Unload(); }

}  // namespace window

namespace {
// The run's writer: the error step can come from a key press, after Main.
qcp::IPrintTarget* output = nullptr;
// An ERROR! line has been printed, in Main or at event time.
bool failed = false;
}  // namespace

constexpr std::u16string_view kHelp[] = {
    u"    MovieShow.exe <mode> <filename.avi|mpg|wmv|mp3|etc>",
    u"",
    u"    Pass the filename of the video/music file to play.",
    u"",
    u"      Mode: 0 = fullscreen. (default)",
};

// The box first; the line once the user has closed it; then the end.
void ShowError(const std::u16string& description) {
  window::BeginErrorStep();
  failed = true;
  std::u16string line = u"ERROR! ";
  line += description;
  line += u".";
  try {
    platform::ShowMessageBox(description, u"MovieShow", platform::MessageIcon::kNone);
  } catch (...) {
    // No box can be shown (no display): the line must not be lost with it.
    // The box's own failure then ends the run.
    qcp::PrintLine(*output, line);
    throw;
  }
  qcp::PrintLine(*output, line);
  window::Close();
}

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  output = &out;
  failed = false;
  try {
    const std::vector<std::u16string> words = qcp::SplitWords(tail);
    window::Create();
    const std::u16string file_name = qcp::TextAfterFirstBlank(tail);
    // One mode only, full screen; the word must still fit a whole number.
    qcp::ToWholeNumber(qcp::NumericValue(words[0]));
    window::SetUrl(file_name);
    // Media the player could not open may have ended the window already.
    if (window::Loaded()) window::Play();
  } catch (const qcp::Failure& failure) {
    ShowError(failure.Description());
  }
  return failed ? qcp::Status::kFailed : qcp::Status::kDone;
}

qcp::Status RunWindow() {
  platform::RunMessageLoop();
  return failed ? qcp::Status::kFailed : qcp::Status::kDone;
}

}  // namespace movie_show

namespace qcp::entries {
// MovieShow, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: media_window dialogs event_loop
//   Visual styles: yes
//   Description: Plays a video or music file in full screen
//   About: Plays a video or music file in full screen and ends when it has played. Space pauses,
//     Esc quits.
//   Example: MovieShow 0 intro.webm
//   Batch example: MovieShow.exe 0 intro.wmv
//   Synopsis: mode file
//   Pack page: Plays a video or music file in full screen (without a window manager, in a
//     window that covers the monitor) and ends when it has played.
//     Space pauses and resumes, Esc quits.
extern const ToolEntry kMovieShow{u"MovieShow", movie_show::kHelp, HelpRule::kFewerThanTwoWords, true, &movie_show::Main, &movie_show::RunWindow};
}  // namespace qcp::entries

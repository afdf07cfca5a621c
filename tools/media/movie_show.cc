// MovieShow: plays a video or music file full screen until it ends; Space
// pauses and resumes, Esc quits.
#include "console/command_line.h"
#include "console/failure.h"
#include "console/help.h"
#include "console/numbers.h"
#include "console/std_output.h"
#include "platform/dialogs.h"
#include "platform/media_window.h"

namespace MovieShow {

namespace modStartup {
extern qcp::StdOutput objOutput;
void ShowError(const std::u16string& description);
}  // namespace modStartup

// The window and its one control, the player. Its events arrive after Main
// has returned (or, from some players, while a member call is under way).
namespace frmMain {

// Whether Space has paused playback; other pauses don't change it.
bool IsPaused = false;

namespace {

constexpr std::int16_t kKeyEscape = 27;
constexpr std::int16_t kKeySpace = 32;
// The player counts plays from 1; the media plays once.
constexpr std::int32_t kPlayCount = 1;

bool loaded = false;          // the window and its player exist
bool play_requested = false;  // Main has asked the player to play
bool has_played = false;      // the player has reached the playing state
bool in_error_step = false;   // the error box is up; the window goes after it

void Player_PlayStateChange(std::int32_t NewState);
void Player_KeyPress(std::int16_t nKeyAscii);
void Player_MediaError();

void Unload() {
  if (!loaded) return;
  loaded = false;
  platform::UnloadMediaWindow();
}

void Form_Load() {
  platform::SetPlayerVolume(100);
  platform::SetPlayerPlayCount(kPlayCount);
}

// The first use of the player loads the window.
void Load() {
  if (loaded) return;
  platform::LoadMediaWindow({&Player_PlayStateChange, &Player_KeyPress, &Player_MediaError});
  loaded = true;
  Form_Load();
}

void Player_PlayStateChange(std::int32_t NewState) {
  if (!loaded || in_error_step) return;
  switch (NewState) {
    case platform::kPlayStateStopped:
    case platform::kPlayStateMediaEnded:
      Unload();
      break;
    case platform::kPlayStatePlaying:
      has_played = true;
      platform::ShowMediaWindow();
      break;
    // Media that cannot be opened: the player loses it (undefined) without
    // ever playing. Ready is no sign of failure: a player may pass through
    // it, in any order, while it opens good media; a failure comes as an
    // error event.
    case platform::kPlayStateUndefined:
      if (!has_played) Unload();
      break;
    default:
      break;
  }
}

void Player_KeyPress(std::int16_t nKeyAscii) {
  if (!loaded || in_error_step) return;
  try {
    if (nKeyAscii == kKeyEscape) {
      Unload();
    } else if (nKeyAscii == kKeySpace) {
      if (IsPaused) {
        platform::PlayerPlay();
        IsPaused = false;
      } else {
        platform::PlayerPause();
        IsPaused = true;
      }
    }
  } catch (const qcp::Failure& failure) {
    modStartup::ShowError(failure.Description());
  }
}

// A player error ends the program without a word: the player shows no
// dialogs of its own, and the window must not stay behind, hidden or frozen.
void Player_MediaError() {
  if (!in_error_step) Unload();
}

}  // namespace

// A fresh, hidden window; the player comes with its first use.
void Create() {
  IsPaused = false;
  loaded = false;
  play_requested = false;
  has_played = false;
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

void UnloadForm() { Unload(); }

}  // namespace frmMain

namespace modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    MovieShow.exe <mode> <filename.avi|mpg|wmv|mp3|etc>",
      u"",
      u"    Pass the filename of the video/music file to play.",
      u"",
      u"      Mode: 0 = fullscreen. (default)",
  });
}

// The box first; the line once the user has closed it; then the end.
void ShowError(const std::u16string& description) {
  frmMain::BeginErrorStep();
  std::u16string line = u"ERROR! ";
  line += description;
  line += u".";
  try {
    platform::MessageBox(description, u"MovieShow", platform::kMbOk);
  } catch (const qcp::Failure&) {
    // No box can be shown (no display): the line must not be lost with it.
    // The box's own failure then ends the run as uncaught failures do.
    qcp::PrintLine(objOutput, line);
    throw;
  }
  qcp::PrintLine(objOutput, line);
  frmMain::UnloadForm();
}

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  try {
    const std::vector<std::u16string> words = qcp::SplitWords(command_line);
    if (words.size() < 2) {  // an empty command line is one empty word
      ShowUsage();
      return;
    }
    frmMain::Create();
    const std::u16string file_name = qcp::TextAfterFirstBlank(command_line);
    // One mode only, full screen; the word must still fit a whole number.
    qcp::ToWholeNumber(qcp::NumericValue(words[0]));
    frmMain::SetUrl(file_name);
    // Media the player could not open may have ended the window already.
    if (frmMain::Loaded()) frmMain::Play();
  } catch (const qcp::Failure& failure) {
    ShowError(failure.Description());
  }
}

}  // namespace modStartup
}  // namespace MovieShow

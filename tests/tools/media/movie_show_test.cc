#include <gtest/gtest.h>

#include "platform/fake/fake_dialogs.h"
#include "platform/fake/fake_media_window.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(MovieShow)
namespace movie_show::window { extern bool paused; }

namespace {

using platform::MediaEvent;
using platform::MediaKey;
constexpr MediaKey kEsc = MediaKey::kEscape;
constexpr MediaKey kSpace = MediaKey::kSpace;
constexpr MediaKey kOther = MediaKey::kOther;

using qcp_test::RunMain;
using Calls = fake::CallList;

const fake::Call kLoad = fake::LoadMediaWindowCall{}, kVolume = fake::SetPlayerVolumeCall{100},
                 kCount = fake::SetPlayerPlayCountCall{1}, kUrl = fake::SetPlayerUrlCall{u"clip.wmv"},
                 kPlay = fake::PlayerPlayCall{}, kPause = fake::PlayerPauseCall{}, kShow = fake::ShowMediaWindowCall{},
                 kUnload = fake::UnloadMediaWindowCall{}, kFailed = fake::FailedCall{};
const Calls kStart = {kLoad, kVolume, kCount, kUrl, kPlay};

fake::Call Box(std::u16string text) {
  return fake::ShowMessageBoxCall{std::move(text), u"MovieShow", platform::MessageIcon::kNone};
}

Calls With(Calls calls, std::initializer_list<fake::Call> more) {
  calls.insert(calls.end(), more.begin(), more.end());
  return calls;
}

// Starts "0 clip.wmv"; what the player does afterwards is up to the test.
void Start() {
  RunMain(qcp::entries::kMovieShow, u"0 clip.wmv");
  ASSERT_EQ(fake::Calls(), kStart);
}

TEST(MovieShowTest, AnyModeWordPlaysTheRestOfTheLineFullScreen) {
  struct Case {
    const char16_t* tail;
    const char16_t* url;
  };
  const Case cases[] = {
      {u"0 C:\\My Videos\\clip.wmv", u"C:\\My Videos\\clip.wmv"},
      {u"\"0\" \"C:\\My Videos\\clip.wmv\"", u"C:\\My Videos\\clip.wmv"},
      {u"1 clip.wmv", u"clip.wmv"},
      {u"7 clip.wmv", u"clip.wmv"},
      {u"x clip.wmv", u"clip.wmv"},
      {u"-3 clip.wmv", u"clip.wmv"},
      {u"0  clip.wmv ", u" clip.wmv "},
      {u"0 http://host/a b.mp3", u"http://host/a b.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kMovieShow, c.tail), "");
    EXPECT_EQ(fake::Calls(), (Calls{kLoad, kVolume, kCount, fake::SetPlayerUrlCall{c.url}, kPlay}));
    EXPECT_TRUE(fake::MediaWindowLoaded());
  }
}

// The box comes first; the line only once it has been closed.
std::string out_while_box_shown;
void NoteOutput() { out_while_box_shown = fake::StdOut(); }

TEST(MovieShowTest, ModeBeyondAWholeNumberShowsTheBoxThenTheLine) {
  for (const char16_t* tail : {u"123456789012 clip.wmv", u"2147483648 clip.wmv", u"1e999 clip.wmv"}) {
    fake::Reset();
    fake::WhileMessageBoxShown(&NoteOutput);
    qcp_test::Call(qcp::entries::kMovieShow, tail);
    EXPECT_EQ(fake::Calls(), Calls{Box(u"Overflow")});
    EXPECT_EQ(out_while_box_shown, "");
    EXPECT_EQ(fake::StdOut(), "ERROR! Overflow.\r\n");
  }
}

TEST(MovieShowTest, AFailingMemberEndsInTheErrorStep) {
  struct Case {
    const char* member;
    Calls calls;
  };
  const Case cases[] = {
      {"LoadMediaWindow", {kLoad, kFailed}},
      {"SetPlayerVolume", {kLoad, kVolume, kFailed}},
      {"SetPlayerPlayCount", {kLoad, kVolume, kCount, kFailed}},
      {"SetPlayerUrl", {kLoad, kVolume, kCount, kUrl, kFailed}},
      {"PlayerPlay", {kLoad, kVolume, kCount, kUrl, kPlay, kFailed}},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::FailMediaCall(c.member, u"Method 'x' of object 'y' failed");
    fake::WhileMessageBoxShown(&NoteOutput);
    qcp_test::Call(qcp::entries::kMovieShow, u"0 clip.wmv");
    Calls expected = With(c.calls, {Box(u"Method 'x' of object 'y' failed")});
    // A window that was loaded goes, after the line.
    if (expected[1] != kFailed) expected.push_back(kUnload);
    EXPECT_EQ(fake::Calls(), expected) << c.member;
    EXPECT_EQ(out_while_box_shown, "");
    EXPECT_EQ(fake::StdOut(), "ERROR! Method 'x' of object 'y' failed.\r\n");
    EXPECT_FALSE(fake::MediaWindowLoaded());
  }
}

TEST(MovieShowTest, MediaEventTable) {
  struct Case {
    std::initializer_list<MediaEvent> events;
    std::initializer_list<fake::Call> calls;
  };
  const Case cases[] = {
      {{MediaEvent::kPlaying}, {kShow}},
      {{MediaEvent::kPlaying, MediaEvent::kPlaying}, {kShow, kShow}},
      {{MediaEvent::kPlaying, MediaEvent::kEnded}, {kShow, kUnload}},
      {{MediaEvent::kPlaying, MediaEvent::kEnded, MediaEvent::kEnded, MediaEvent::kPlaying}, {kShow, kUnload}},
      {{MediaEvent::kEnded}, {kUnload}},
      {{MediaEvent::kPlaying, MediaEvent::kPaused}, {kShow}},
      {{MediaEvent::kPaused}, {}},
      // Opened, even after the request to play, is a step on the way to playing.
      {{MediaEvent::kOpened}, {}},
      {{MediaEvent::kOpened, MediaEvent::kOpened, MediaEvent::kPlaying}, {kShow}},
      {{MediaEvent::kPlaying, MediaEvent::kOpened}, {kShow}},
  };
  for (const Case& c : cases) {
    Start();
    for (MediaEvent event : c.events) fake::DeliverMediaEvent(event);
    EXPECT_EQ(fake::Calls(), With(kStart, c.calls));
    EXPECT_EQ(fake::StdOut(), "");
  }
}

// Players that report the opening while the URL is being set (Wine's does).
void DeliverOpened() { fake::DeliverMediaEvent(MediaEvent::kOpened); }
void DeliverFailed() { fake::DeliverMediaEvent(MediaEvent::kFailed); }
void DeliverPlaying() { fake::DeliverMediaEvent(MediaEvent::kPlaying); }

TEST(MovieShowTest, StatesReportedWhileTheUrlIsSet) {
  const Calls before_play = {kLoad, kVolume, kCount, kUrl};
  struct Case {
    void (*during)();
    Calls after_url;
  };
  const Case cases[] = {
      {&DeliverOpened, {kPlay}},  // ready to play is where a URL leads
      {&DeliverPlaying, {kShow, kPlay}},
      // Nothing to play: no play request, the window goes at once.
      {&DeliverFailed, {kUnload}},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::DuringMediaCall("SetPlayerUrl", c.during);
    qcp_test::Call(qcp::entries::kMovieShow, u"0 clip.wmv");
    Calls expected = before_play;
    expected.insert(expected.end(), c.after_url.begin(), c.after_url.end());
    EXPECT_EQ(fake::Calls(), expected);
    EXPECT_EQ(fake::StdOut(), "");
  }
}

TEST(MovieShowTest, MediaErrorEndsSilently) {
  for (bool playing : {false, true}) {
    Start();
    if (playing) fake::DeliverMediaEvent(MediaEvent::kPlaying);
    fake::DeliverMediaEvent(MediaEvent::kFailed);
    EXPECT_EQ(fake::Calls(), playing ? With(kStart, {kShow, kUnload}) : With(kStart, {kUnload}));
    EXPECT_EQ(fake::StdOut(), "");
    EXPECT_FALSE(fake::MediaWindowLoaded());
  }
}

TEST(MovieShowTest, KeyTable) {
  struct Case {
    std::initializer_list<MediaKey> keys;
    std::initializer_list<fake::Call> calls;
    bool paused;
  };
  const Case cases[] = {
      {{kEsc}, {kUnload}, false},
      {{kSpace}, {kPause}, true},
      {{kSpace, kSpace}, {kPause, kPlay}, false},
      {{kSpace, kSpace, kSpace}, {kPause, kPlay, kPause}, true},
      {{kSpace, kEsc}, {kPause, kUnload}, true},
      {{kOther, kOther}, {}, false},
  };
  for (const Case& c : cases) {
    Start();
    fake::DeliverMediaEvent(MediaEvent::kPlaying);
    for (MediaKey key : c.keys) fake::DeliverKeyPress(key);
    EXPECT_EQ(fake::Calls(), With(With(kStart, {kShow}), c.calls));
    EXPECT_EQ(movie_show::window::paused, c.paused);
  }
}

TEST(MovieShowTest, IsPausedFollowsOnlyTheSpaceBar) {
  Start();
  // Paused and resumed some other way (the player's own menu): the tool's
  // toggle stays where it was.
  fake::DeliverMediaEvent(MediaEvent::kPlaying);
  fake::DeliverMediaEvent(MediaEvent::kPaused);
  fake::DeliverKeyPress(kSpace);
  fake::DeliverMediaEvent(MediaEvent::kPlaying);
  fake::DeliverKeyPress(kSpace);
  EXPECT_EQ(fake::Calls(), With(kStart, {kShow, kPause, kShow, kPlay}));
  EXPECT_FALSE(movie_show::window::paused);

  // A new run starts unpaused.
  Start();
  fake::DeliverKeyPress(kSpace);
  EXPECT_TRUE(movie_show::window::paused);
  Start();
  EXPECT_FALSE(movie_show::window::paused);
}

// The media ends while the box is up: the window stays until it is closed.
bool loaded_after_the_end = false;
void NoteOutputAndEndTheMedia() {
  NoteOutput();
  fake::DeliverMediaEvent(MediaEvent::kEnded);
  fake::DeliverKeyPress(kEsc);
  fake::DeliverMediaEvent(MediaEvent::kFailed);
  loaded_after_the_end = fake::MediaWindowLoaded();
}

TEST(MovieShowTest, AFailingPauseEndsInTheErrorStep) {
  Start();
  fake::FailMediaCall("PlayerPause", u"Method 'pause' of object 'IWMPControls' failed");
  fake::WhileMessageBoxShown(&NoteOutputAndEndTheMedia);
  fake::DeliverKeyPress(kSpace);
  EXPECT_EQ(fake::Calls(),
            With(kStart, {kPause, kFailed, Box(u"Method 'pause' of object 'IWMPControls' failed"), kUnload}));
  EXPECT_EQ(out_while_box_shown, "");
  EXPECT_TRUE(loaded_after_the_end);
  EXPECT_EQ(fake::StdOut(), "ERROR! Method 'pause' of object 'IWMPControls' failed.\r\n");
  EXPECT_FALSE(movie_show::window::paused);
}

}  // namespace

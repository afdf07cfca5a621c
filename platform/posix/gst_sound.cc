// Sound through GStreamer to the default audio output: sine tones for Beep,
// WAVE files for PlayWave and sound files of any kind for the desktop's own
// sounds. A tone or WAVE file that cannot be sounded is unfulfilled; the
// desktop's own sounds are left silent.
#include "platform/posix/gst_sound.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <numeric>
#include <string>
#include <vector>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/posix/gst_library.h"
#include "platform/sound.h"

namespace platform {
namespace {

constexpr int kToneRate = 48000;

enum class Outcome { kPlayed, kNoOutput, kNotPlayable };

// Plays the pipeline to its end (or first error, or for `longest` at most),
// then disposes of it.
Outcome PlayToEnd(const GstLibrary& gst, GstElement* pipeline, GstClockTime longest = GST_CLOCK_TIME_NONE) {
  Outcome outcome = Outcome::kNotPlayable;
  const bool started = gst.element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  // autoaudiosink's stand-in when no audio output would open: nothing is heard.
  GstElement* fake = started ? gst.bin_get_by_name(GST_BIN_CAST(pipeline), "fake-audio-sink") : nullptr;
  if (fake != nullptr) {
    gst.object_unref(fake);
    outcome = Outcome::kNoOutput;
  } else if (started) {
    GstBus* bus = gst.element_get_bus(pipeline);
    GstMessage* message = gst.bus_timed_pop_filtered(
        bus, longest, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (message == nullptr || GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
      outcome = Outcome::kPlayed;
    } else if (GST_MESSAGE_SRC(message) != nullptr &&
               GST_OBJECT_FLAG_IS_SET(GST_MESSAGE_SRC(message), GST_ELEMENT_FLAG_SINK)) {
      outcome = Outcome::kNoOutput;
    }
    if (message != nullptr) gst.mini_object_unref(GST_MINI_OBJECT_CAST(message));
    gst.object_unref(bus);
  }
  gst.element_set_state(pipeline, GST_STATE_NULL);
  gst.object_unref(pipeline);
  return outcome;
}

struct PadLink {
  const GstLibrary* gst;
  GstElement* next;
};

// Makes the named elements and adds them to a new pipeline, linking each to
// the next; a "sometimes" source pad (a parser's) is linked once it appears.
GstElement* MakeChain(const GstLibrary& gst, std::initializer_list<const char*> factories,
                      std::vector<GstElement*>& made) {
  GstElement* pipeline = gst.pipeline_new(nullptr);
  for (const char* factory : factories) {
    GstElement* element = gst.element_factory_make(factory, nullptr);
    if (element == nullptr) {
      gst.object_unref(pipeline);
      return nullptr;
    }
    gst.bin_add(GST_BIN_CAST(pipeline), element);
    made.push_back(element);
  }
  for (std::size_t i = 0; i + 1 < made.size(); ++i) {
    if (gst.element_link(made[i], made[i + 1])) continue;
    GstElementClass* element_class = GST_ELEMENT_GET_CLASS(made[i]);
    GstPadTemplate* source = gst.element_class_get_pad_template(element_class, "src");
    if (source == nullptr) source = gst.element_class_get_pad_template(element_class, "src_%u");
    if (source == nullptr || GST_PAD_TEMPLATE_PRESENCE(source) != GST_PAD_SOMETIMES) {
      gst.object_unref(pipeline);
      return nullptr;
    }
    auto on_pad_added = +[](GstElement*, GstPad* pad, gpointer data) {
      const auto* link = static_cast<PadLink*>(data);
      GstPad* sink = link->gst->element_get_static_pad(link->next, "sink");
      if (!link->gst->pad_is_linked(sink)) link->gst->pad_link(pad, sink);
      link->gst->object_unref(sink);
    };
    gst.signal_connect_data(made[i], "pad-added", G_CALLBACK(on_pad_added), new PadLink{&gst, made[i + 1]},
                            [](gpointer data, GClosure*) { delete static_cast<PadLink*>(data); },
                            static_cast<GConnectFlags>(0));
  }
  return pipeline;
}

}  // namespace

void Beep(std::int32_t frequency, std::int32_t duration) {
  if (duration <= 0) return;
  if (frequency < kLowestBeepFrequency || frequency > kHighestBeepFrequency) {
    qcp::RaiseUnfulfilled(u"cannot sound a tone of " + qcp::Utf16FromUtf8(std::to_string(frequency)) +
                          u" Hz: give a frequency from 37 to 32767");
  }
  const GstLibrary* gst = LoadGStreamer();
  std::vector<GstElement*> elements;
  GstElement* pipeline =
      gst == nullptr ? nullptr
                     : MakeChain(*gst, {"audiotestsrc", "capsfilter", "audioconvert", "audioresample", "autoaudiosink"},
                                 elements);
  if (pipeline == nullptr) qcp::RaiseUnfulfilled(u"cannot sound a tone: install GStreamer with its good and base plug-ins");
  // Whole buffers of g milliseconds, g dividing the duration, give the exact length.
  const int g = std::gcd(duration, 100);
  gst->object_set(elements[0], "wave", 0, "freq", static_cast<gdouble>(frequency), "volume", 0.5,
                  "samplesperbuffer", kToneRate / 1000 * g, "num-buffers", duration / g, nullptr);
  GstCaps* caps =
      gst->caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, kToneRate, "channels", G_TYPE_INT, 1, nullptr);
  gst->object_set(elements[1], "caps", caps, nullptr);
  gst->mini_object_unref(GST_MINI_OBJECT_CAST(caps));
  // Nothing but the output can fail a pipeline that was made.
  if (PlayToEnd(*gst, pipeline) != Outcome::kPlayed) {
    qcp::RaiseUnfulfilled(u"cannot sound a tone: no audio output; check the sound server");
  }
}

void PlayWave(const std::u16string& name, bool /*loop*/) {
  // The name is a file name; a looping request plays the sound once. Only a
  // WAVE file plays, but with whatever codec it holds (PCM, mu-law, A-law...).
  const std::string path = qcp::Utf8FromUtf16(name);
  const std::u16string quoted = u"\"" + name + u"\"";
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    qcp::RaiseUnfulfilled(u"cannot find the sound " + quoted + u": give the path of a WAVE file");
  }
  if (S_ISDIR(info.st_mode) || ::access(path.c_str(), R_OK) != 0) {
    qcp::RaiseUnfulfilled(u"cannot read the sound " + quoted + u": give the path of a WAVE file you may read");
  }
  const GstLibrary* gst = LoadGStreamer();
  std::vector<GstElement*> elements;
  GstElement* pipeline =
      gst == nullptr ? nullptr
                     : MakeChain(*gst, {"filesrc", "wavparse", "decodebin", "audioconvert", "audioresample",
                                        "autoaudiosink"},
                                 elements);
  if (pipeline == nullptr) {
    qcp::RaiseUnfulfilled(u"cannot play sounds: install GStreamer with its good and base plug-ins");
  }
  gst->object_set(elements[0], "location", path.c_str(), nullptr);
  switch (PlayToEnd(*gst, pipeline)) {
    case Outcome::kPlayed: break;
    case Outcome::kNoOutput:
      qcp::RaiseUnfulfilled(u"cannot play the sound " + quoted + u": no audio output; check the sound server");
    case Outcome::kNotPlayable:
      qcp::RaiseUnfulfilled(u"cannot play the sound " + quoted + u": it is not a WAVE file that plays here");
  }
}

void PlaySoundFile(const std::string& path, std::chrono::seconds longest) {
  const GstLibrary* gst = LoadGStreamer();
  if (gst == nullptr) return;
  GstElement* player = gst->element_factory_make("playbin", nullptr);
  if (player == nullptr) return;
  gchar* uri = gst->filename_to_uri(path.c_str(), nullptr, nullptr);
  if (uri == nullptr) {
    gst->object_unref(player);
    return;
  }
  gst->object_set(player, "uri", uri, nullptr);
  gst->free(uri);
  PlayToEnd(*gst, player, static_cast<GstClockTime>(longest.count()) * GST_SECOND);
}

}  // namespace platform

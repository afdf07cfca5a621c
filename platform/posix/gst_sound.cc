// Sound through GStreamer to the default audio output: sine tones for Beep
// and WAVE files for PlaySound. No device, or a file that won't play, gives
// silence and nothing else.
#include <gst/gst.h>
#include <unistd.h>

#include <numeric>
#include <vector>

#include "console/utf.h"
#include "platform/sound.h"

namespace platform {
namespace {

constexpr int kToneRate = 48000;

bool InitGStreamer() { return gst_init_check(nullptr, nullptr, nullptr); }

// Plays the pipeline to its end (or first error), then disposes of it.
void PlayToEnd(GstElement* pipeline) {
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (message != nullptr) gst_message_unref(message);
    gst_object_unref(bus);
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
}

// Makes the named elements and adds them to a new pipeline, linking each to
// the next; a "sometimes" source pad (a parser's) is linked once it appears.
GstElement* MakeChain(std::initializer_list<const char*> factories, std::vector<GstElement*>& made) {
  GstElement* pipeline = gst_pipeline_new(nullptr);
  for (const char* factory : factories) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element == nullptr) {
      gst_object_unref(pipeline);
      return nullptr;
    }
    gst_bin_add(GST_BIN(pipeline), element);
    made.push_back(element);
  }
  for (std::size_t i = 0; i + 1 < made.size(); ++i) {
    if (gst_element_link(made[i], made[i + 1])) continue;
    GstElementClass* klass = GST_ELEMENT_GET_CLASS(made[i]);
    GstPadTemplate* source = gst_element_class_get_pad_template(klass, "src");
    if (source == nullptr || GST_PAD_TEMPLATE_PRESENCE(source) != GST_PAD_SOMETIMES) {
      gst_object_unref(pipeline);
      return nullptr;
    }
    g_signal_connect(made[i], "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer next) {
                       GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(next), "sink");
                       if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
                       gst_object_unref(sink);
                     }),
                     made[i + 1]);
  }
  return pipeline;
}

}  // namespace

void Beep(std::int32_t frequency, std::int32_t duration) {
  if (frequency <= 0 || duration <= 0 || !InitGStreamer()) return;
  std::vector<GstElement*> elements;
  GstElement* pipeline =
      MakeChain({"audiotestsrc", "capsfilter", "audioconvert", "audioresample", "autoaudiosink"}, elements);
  if (pipeline == nullptr) return;
  // Whole buffers of g milliseconds, g dividing the duration, give the exact length.
  const int g = std::gcd(duration, 100);
  g_object_set(elements[0], "wave", 0, "freq", static_cast<gdouble>(frequency), "volume", 0.5,
               "samplesperbuffer", kToneRate / 1000 * g, "num-buffers", duration / g, nullptr);
  GstCaps* caps = gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, kToneRate, "channels", G_TYPE_INT, 1,
                                      nullptr);
  g_object_set(elements[1], "caps", caps, nullptr);
  gst_caps_unref(caps);
  PlayToEnd(pipeline);
}

void PlaySound(const std::u16string& name, std::int32_t flags) {
  // The name is a file name; the loop flag plays the sound once.
  const std::string path = qcp::Utf8FromUtf16(name);
  if (path.empty() || ::access(path.c_str(), R_OK) != 0 || !InitGStreamer()) return;
  std::vector<GstElement*> elements;
  GstElement* pipeline = MakeChain({"filesrc", "wavparse", "audioconvert", "audioresample", "autoaudiosink"}, elements);
  if (pipeline == nullptr) return;
  g_object_set(elements[0], "location", path.c_str(), nullptr);
  PlayToEnd(pipeline);
}

}  // namespace platform

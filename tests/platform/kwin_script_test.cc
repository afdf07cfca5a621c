// The KWin exchange over D-Bus against a stand-in KWin on a private bus,
// answering as KWin 5.27 did when the script ran live: loadScript gives a
// number, run at that number's object starts the script, the script calls
// back Done(title, found), and the script is unloaded by the name it was
// loaded under.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <thread>

#include "platform/posix/window_control/wayland_module/pending_failure.h"
#include "platform/posix/window_control/wayland_module/kwin_script.h"

namespace platform::wayland {
namespace {

constexpr char kKWinIntrospection[] =
    "<node>"
    "<interface name='org.kde.kwin.Scripting'>"
    "<method name='loadScript'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='i' direction='out'/></method>"
    "<method name='unloadScript'><arg type='s' direction='in'/><arg type='b' direction='out'/></method>"
    "</interface>"
    "<interface name='org.kde.kwin.Script'><method name='run'/></interface>"
    "</node>";

// A stand-in KWin on its own connection and thread: the client's calls are
// synchronous, so the answers must come from elsewhere.
struct FakeKWin {
  gint32 script_number = 7;
  std::string run_path;  // where this KWin version puts its scripts
  std::string reply_title;
  bool reply_found = false;
  bool replies = true;  // false: a script that never calls back
  // What the client did.
  std::string script;
  std::string script_folder;
  mode_t script_mode = 0;
  std::string loaded_name;
  std::string unloaded_name;
  bool ran = false;

  GMainContext* context = nullptr;
  GMainLoop* loop = nullptr;
  std::thread thread;

  static void OnCall(GDBusConnection* bus, const gchar* sender, const gchar* path, const gchar*, const gchar* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* kwin = static_cast<FakeKWin*>(data);
    const std::string name = method;
    if (name == "loadScript") {
      const gchar* file = nullptr;
      const gchar* plugin = nullptr;
      g_variant_get(parameters, "(&s&s)", &file, &plugin);
      gchar* text = nullptr;
      if (g_file_get_contents(file, &text, nullptr, nullptr)) kwin->script = text;
      g_free(text);
      struct stat status = {};
      if (::stat(file, &status) == 0) kwin->script_mode = status.st_mode & 07777;
      kwin->script_folder = std::string(file).substr(0, std::string(file).rfind('/'));
      kwin->loaded_name = plugin;
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(i)", kwin->script_number));
    } else if (name == "unloadScript") {
      const gchar* plugin = nullptr;
      g_variant_get(parameters, "(&s)", &plugin);
      kwin->unloaded_name = plugin;
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", TRUE));
    } else if (name == "run" && path == kwin->run_path) {
      kwin->ran = true;
      g_dbus_method_invocation_return_value(invocation, nullptr);
      if (kwin->replies)
        g_dbus_connection_call(bus, sender, kKWinReplyPath, kKWinReplyInterface, "Done",
                               g_variant_new("(sb)", kwin->reply_title.c_str(), kwin->reply_found), nullptr,
                               G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
    } else {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownObject", path);
    }
  }

  void Start() {
    context = g_main_context_new();
    loop = g_main_loop_new(context, FALSE);
    GMutex ready_lock;
    GCond ready;
    bool started = false;
    g_mutex_init(&ready_lock);
    g_cond_init(&ready);
    thread = std::thread([&] {
      g_main_context_push_thread_default(context);
      GDBusConnection* own = g_dbus_connection_new_for_address_sync(
          g_getenv("DBUS_SESSION_BUS_ADDRESS"),
          static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
          nullptr, nullptr, nullptr);
      GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kKWinIntrospection, nullptr);
      const GDBusInterfaceVTable vtable = {OnCall, nullptr, nullptr, {}};
      const guint scripting =
          g_dbus_connection_register_object(own, "/Scripting", node->interfaces[0], &vtable, this, nullptr, nullptr);
      const guint script =
          g_dbus_connection_register_object(own, run_path.c_str(), node->interfaces[1], &vtable, this, nullptr, nullptr);
      GVariant* owned = g_dbus_connection_call_sync(own, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                    "org.freedesktop.DBus", "RequestName",
                                                    g_variant_new("(su)", "org.kde.KWin", 4u), nullptr,
                                                    G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
      if (owned != nullptr) g_variant_unref(owned);
      g_mutex_lock(&ready_lock);
      started = true;
      g_cond_signal(&ready);
      g_mutex_unlock(&ready_lock);
      g_main_loop_run(loop);
      g_dbus_connection_unregister_object(own, scripting);
      g_dbus_connection_unregister_object(own, script);
      g_dbus_node_info_unref(node);
      g_dbus_connection_close_sync(own, nullptr, nullptr);
      g_object_unref(own);
      g_main_context_pop_thread_default(context);
    });
    g_mutex_lock(&ready_lock);
    while (!started) g_cond_wait(&ready, &ready_lock);
    g_mutex_unlock(&ready_lock);
    g_mutex_clear(&ready_lock);
    g_cond_clear(&ready);
  }

  void Stop() {
    // Quit from inside the running loop: a quit before the thread has
    // entered the loop would be lost, and the join would wait for ever.
    GSource* quit = g_idle_source_new();
    g_source_set_callback(
        quit,
        [](gpointer data) -> gboolean {
          g_main_loop_quit(static_cast<GMainLoop*>(data));
          return G_SOURCE_REMOVE;
        },
        loop, nullptr);
    g_source_attach(quit, context);
    g_source_unref(quit);
    thread.join();
    g_main_loop_unref(loop);
    g_main_context_unref(context);
  }
};

class KWinScriptTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bus_ = g_test_dbus_new(G_TEST_DBUS_NONE);
    g_test_dbus_up(bus_);
  }
  static void TearDownTestSuite() {
    g_test_dbus_down(bus_);
    g_object_unref(bus_);
  }
  static GTestDBus* bus_;
};

GTestDBus* KWinScriptTest::bus_ = nullptr;

TEST_F(KWinScriptTest, WithoutKWinOnTheBusNothingIsDone) {
  EXPECT_EQ(KWinAct(u"Target Window", false, KWinAction::kClose), KWinOutcome::kNoKWin);
}

TEST_F(KWinScriptTest, LoadsRunsHearsBackAndUnloads) {
  struct Row {
    gint32 script_number;
    const char* run_path;
    bool found;
    KWinAction action;
    const char* action_code;
    bool replies = true;
  };
  const Row rows[] = {
      {7, "/Scripting/Script7", true, KWinAction::kClose, "w.closeWindow();"},
      {7, "/7", true, KWinAction::kPin, "w.keepAbove = true;"},  // KWin before 5.23
      {7, "/Scripting/Script7", false, KWinAction::kMinimize, "w.minimized = true;"},
      {0, "/Scripting/Script0", true, KWinAction::kMaximize, "w.setMaximize(true, true);"},  // a fresh KWin's first
      // A script that never calls back: the run-time error, not the X11 windows.
      {7, "/Scripting/Script7", false, KWinAction::kClose, "w.closeWindow();", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.run_path);
    FakeKWin kwin;
    kwin.script_number = row.script_number;
    kwin.run_path = row.run_path;
    kwin.reply_title = row.found ? "Target Window" : "";
    kwin.reply_found = row.found;
    kwin.replies = row.replies;
    kwin.Start();
    std::u16string title;
    const KWinOutcome outcome = KWinAct(u"target wIndow \"\u00e4\"", false, row.action, &title,
                                        row.replies ? kKWinReplyTimeoutMs : 500);
    kwin.Stop();
    const PendingFailure failure = TakeFailure();
    if (row.replies) {
      EXPECT_EQ(outcome, row.found ? KWinOutcome::kDone : KWinOutcome::kNotFound);
      EXPECT_EQ(failure.kind, PendingFailure::kNone);
    } else {
      EXPECT_EQ(outcome, KWinOutcome::kNoKWin);
      EXPECT_EQ(failure.kind, PendingFailure::kRunTime);
      EXPECT_EQ(failure.text, u"KWin's script did not answer");
    }
    EXPECT_EQ(title, row.found ? u"Target Window" : u"");
    EXPECT_TRUE(kwin.ran);
    EXPECT_NE(kwin.script.find("var target = \"target wIndow \\u0022\\u00e4\\u0022\";"), std::string::npos);
    EXPECT_NE(kwin.script.find(row.action_code), std::string::npos);
    EXPECT_FALSE(kwin.loaded_name.empty());
    // It holds the caption searched for: the user's alone.
    EXPECT_EQ(kwin.script_mode, 0600u);
    EXPECT_EQ(kwin.script_folder, g_get_user_runtime_dir());
    EXPECT_EQ(kwin.unloaded_name, kwin.loaded_name);
  }
}

}  // namespace
}  // namespace platform::wayland

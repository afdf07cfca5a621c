// sway's IPC speaks i3's framing: the magic "i3-ipc", the payload length and
// the message type as 32-bit numbers in the host's order, then the payload.
// Replies are JSON, read here for the few fields the pin needs.
#include "platform/posix/window_control/wayland_module/sway_ipc.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "console/utf.h"
#include "platform/posix/window_control/wayland_module/pending_failure.h"

namespace platform::wayland {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetTree = 4;
constexpr std::size_t kHeaderSize = sizeof kMagic + 2 * sizeof(std::uint32_t);
// sway answers at once; one that has not after this long has hung.
constexpr std::chrono::milliseconds kAnswerTimeout{5000};
constexpr std::u16string_view kNoAnswer = u"sway did not answer";
// Deeper than any real tree; a deeper reply is taken as broken.
constexpr int kDeepestJson = 200;

using Deadline = std::chrono::steady_clock::time_point;

// Whether `fd` is ready for `events` before `deadline`; sway not answering
// in time is a failure kept.
bool WaitFor(int fd, short events, Deadline deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready = {fd, events, 0};
    const int count = left.count() > 0 ? ::poll(&ready, 1, static_cast<int>(left.count())) : 0;
    if (count > 0 || (count < 0 && errno != EINTR)) return true;  // the read or write that follows reports errors
    if (count == 0) {
      Fail(kNoAnswer);
      return false;
    }
  }
}

bool WriteAll(int fd, const char* data, std::size_t size, Deadline deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
    const ssize_t written = ::send(fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (written < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool ReadAll(int fd, char* data, std::size_t size, Deadline deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, deadline)) return false;
    const ssize_t got = ::recv(fd, data, size, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// One request and its reply's payload; false when the socket failed.
bool Exchange(int fd, std::uint32_t type, std::string_view payload, std::string& reply) {
  const Deadline deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
  std::string message(kMagic, sizeof kMagic);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), sizeof length);
  message.append(reinterpret_cast<const char*>(&type), sizeof type);
  message.append(payload);
  if (!WriteAll(fd, message.data(), message.size(), deadline)) return false;
  char header[kHeaderSize];
  if (!ReadAll(fd, header, sizeof header, deadline) || std::memcmp(header, kMagic, sizeof kMagic) != 0) return false;
  std::uint32_t reply_length = 0;
  std::memcpy(&reply_length, header + sizeof kMagic, sizeof reply_length);
  reply.resize(reply_length);
  return ReadAll(fd, reply.data(), reply.size(), deadline);
}

// The fields of a JSON object the pin reads: a tree node's, or a command
// result's.
struct JsonObject {
  long long id = -1;
  std::optional<std::string> name;
  std::optional<std::string> app_id;
  std::optional<std::string> error;
  bool focused = false;
  bool success = false;
  bool has_pid = false;  // a view: a container holding a window
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  // Every object in the text, inner ones before the one holding them; false
  // when the text is not JSON.
  bool ReadAll(std::vector<JsonObject>& objects) {
    Scalar scalar;
    if (!Value(objects, 0, scalar)) return false;
    SkipBlanks();
    return at_ == text_.size();
  }

 private:
  struct Scalar {
    enum Kind { kOther, kString, kNumber, kTrue } kind = kOther;
    std::string text;
    long long number = 0;
  };

  void SkipBlanks() {
    while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) != nullptr && text_[at_] != '\0') ++at_;
  }

  bool Take(char c) {
    SkipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Hex4(char32_t& value) {
    if (at_ + 4 > text_.size()) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      const char lower = static_cast<char>(c | 0x20);
      const int digit = c >= '0' && c <= '9' ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
      if (digit < 0) return false;
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return true;
  }

  // A string's bytes; its other bytes (a title need not be UTF-8) as they are.
  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escaped = text_[at_++];
      char32_t code = 0;
      switch (escaped) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
          if (!Hex4(code)) return false;
          if (code >= 0xd800 && code < 0xdc00 && text_.substr(at_, 2) == "\\u") {
            at_ += 2;
            char32_t low = 0;
            if (!Hex4(low)) return false;
            if (low >= 0xdc00 && low < 0xe000) {
              code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
            } else {
              qcp::AppendUtf8(out, code);
              code = low;
            }
          }
          qcp::AppendUtf8(out, code);
          break;
        default: out += escaped; break;  // '"', '\\' and '/'
      }
    }
    return false;
  }

  bool Value(std::vector<JsonObject>& objects, int depth, Scalar& scalar) {
    if (depth > kDeepestJson) return false;
    SkipBlanks();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return Object(objects, depth);
    if (c == '[') {
      ++at_;
      if (Take(']')) return true;
      do {
        Scalar item;
        if (!Value(objects, depth + 1, item)) return false;
      } while (Take(','));
      return Take(']');
    }
    if (c == '"') {
      scalar.kind = Scalar::kString;
      return String(scalar.text);
    }
    if (Word("true")) {
      scalar.kind = Scalar::kTrue;
      return true;
    }
    if (Word("false") || Word("null")) return true;
    const std::size_t start = at_;
    while (at_ < text_.size() && std::strchr("0123456789+-.eE", text_[at_]) != nullptr && text_[at_] != '\0') ++at_;
    if (at_ == start) return false;
    scalar.kind = Scalar::kNumber;
    scalar.number = std::strtoll(std::string(text_.substr(start, at_ - start)).c_str(), nullptr, 10);
    return true;
  }

  bool Object(std::vector<JsonObject>& objects, int depth) {
    ++at_;
    JsonObject object;
    if (!Take('}')) {
      do {
        std::string key;
        Scalar value;
        SkipBlanks();
        if (!String(key) || !Take(':') || !Value(objects, depth + 1, value)) return false;
        const bool text = value.kind == Scalar::kString;
        if (key == "id" && value.kind == Scalar::kNumber) object.id = value.number;
        if (key == "pid" && value.kind == Scalar::kNumber) object.has_pid = true;
        if (key == "name" && text) object.name = std::move(value.text);
        if (key == "app_id" && text) object.app_id = std::move(value.text);
        if (key == "error" && text) object.error = std::move(value.text);
        if (key == "focused") object.focused = value.kind == Scalar::kTrue;
        if (key == "success") object.success = value.kind == Scalar::kTrue;
      } while (Take(','));
      if (!Take('}')) return false;
    }
    objects.push_back(std::move(object));
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// Keeps the candidates that `keep` accepts, unless that would leave none.
template <typename Keep>
void Narrow(std::vector<const JsonObject*>& candidates, Keep keep) {
  std::vector<const JsonObject*> kept;
  for (const JsonObject* candidate : candidates) {
    if (keep(*candidate)) kept.push_back(candidate);
  }
  if (!kept.empty()) candidates = std::move(kept);
}

// The views of the tree that may be `window`: those with its title, then
// those with its application id too, then those focused as it is activated.
std::vector<const JsonObject*> Candidates(const std::vector<JsonObject>& nodes, const SwayTarget& window) {
  std::vector<const JsonObject*> candidates;
  for (const JsonObject& node : nodes) {
    if (node.has_pid && node.id >= 0 && node.name == window.title) candidates.push_back(&node);
  }
  Narrow(candidates, [&](const JsonObject& node) { return node.app_id == window.app_id; });
  Narrow(candidates, [&](const JsonObject& node) { return node.focused == window.activated; });
  return candidates;
}

std::u16string Quoted(std::string_view title) {
  std::u16string quoted = u"\"";
  quoted += qcp::Utf16FromUtf8(title);
  quoted += u'"';
  return quoted;
}

}  // namespace

SwayOutcome SwaySetPinned(const SwayTarget& window, bool pinned) {
  const char* path = std::getenv("SWAYSOCK");
  sockaddr_un address = {};
  if (path == nullptr || *path == '\0' || std::strlen(path) >= sizeof address.sun_path) {
    FailUnfulfilled(u"this Wayland desktop offers no way to keep a window above others; only sway's windows can be "
                    u"pinned");
    return SwayOutcome::kNoSway;
  }
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return SwayOutcome::kNoSway;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return SwayOutcome::kNoSway;
  }
  std::string tree;
  std::vector<JsonObject> nodes;
  if (!Exchange(fd, kGetTree, "", tree) || !JsonReader(tree).ReadAll(nodes)) {
    ::close(fd);
    return SwayOutcome::kNoSway;
  }
  const std::vector<const JsonObject*> candidates = Candidates(nodes, window);
  if (candidates.size() > 1) {
    ::close(fd);
    FailUnfulfilled(u"several windows are titled " + Quoted(window.title) + u" and sway cannot be told which one to " +
                    (pinned ? u"pin" : u"unpin"));
    return SwayOutcome::kNoSway;
  }
  if (candidates.empty()) {
    ::close(fd);  // closed since it was found
    return SwayOutcome::kNoSway;
  }
  const std::string command = "[con_id=" + std::to_string(candidates.front()->id) + "] " +
                              (pinned ? "floating enable, sticky enable" : "sticky disable, floating disable");
  std::string reply;
  std::vector<JsonObject> results;
  const bool answered = Exchange(fd, kRunCommand, command, reply) && JsonReader(reply).ReadAll(results);
  ::close(fd);
  if (!answered) return SwayOutcome::kNoSway;
  for (const JsonObject& result : results) {
    if (!result.success) {
      FailUnfulfilled(u"sway refused to " + std::u16string(pinned ? u"pin" : u"unpin") + u" the window " +
                      Quoted(window.title) + u": " + qcp::Utf16FromUtf8(result.error.value_or("no reason given")));
      return SwayOutcome::kNoSway;
    }
  }
  return results.empty() ? SwayOutcome::kNoSway : SwayOutcome::kDone;
}

}  // namespace platform::wayland

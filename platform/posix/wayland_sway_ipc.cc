// sway's IPC speaks i3's framing: the magic "i3-ipc", the payload length and
// the message type as 32-bit numbers in the host's order, then the payload.
#include "platform/posix/wayland_sway_ipc.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform::wayland {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t kRunCommand = 0;
constexpr std::size_t kHeaderSize = sizeof kMagic + 2 * sizeof(std::uint32_t);

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool ReadAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t got = ::read(fd, data, size);
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// One request and its reply's payload; false when the socket failed.
bool Exchange(int fd, std::uint32_t type, std::string_view payload, std::string& reply) {
  std::string message(kMagic, sizeof kMagic);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), sizeof length);
  message.append(reinterpret_cast<const char*>(&type), sizeof type);
  message.append(payload);
  if (!WriteAll(fd, message.data(), message.size())) return false;
  char header[kHeaderSize];
  if (!ReadAll(fd, header, sizeof header) || std::memcmp(header, kMagic, sizeof kMagic) != 0) return false;
  std::uint32_t reply_length = 0;
  std::memcpy(&reply_length, header + sizeof kMagic, sizeof reply_length);
  reply.resize(reply_length);
  return ReadAll(fd, reply.data(), reply.size());
}

// A RUN_COMMAND reply is a JSON array with one {"success": bool, ...} per
// command; all must have succeeded.
bool AllSucceeded(std::string_view reply) {
  constexpr std::string_view kKey = "\"success\"";
  bool any = false;
  for (std::size_t at = reply.find(kKey); at != std::string_view::npos; at = reply.find(kKey, at + 1)) {
    std::size_t value = at + kKey.size();
    while (value < reply.size() && (reply[value] == ' ' || reply[value] == ':')) ++value;
    if (reply.substr(value, 4) != "true") return false;
    any = true;
  }
  return any;
}

// The command sent for a pin or unpin: the title matched whole and literally.
std::string SwayPinCommand(std::string_view title, bool pinned) {
  // sway reads the title criterion as a PCRE pattern inside double quotes.
  // Every ASCII character but letters and digits goes as \xHH, so no quote,
  // backslash or bracket of the title can end the value or the criteria;
  // other UTF-8 bytes stand for themselves.
  std::string pattern = "\\A";
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alphanumeric = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
    if (byte >= 0x80 || alphanumeric) {
      pattern += c;
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      pattern += "\\x";
      pattern += kHex[byte >> 4];
      pattern += kHex[byte & 0xf];
    }
  }
  pattern += "\\z";
  const char* action = pinned ? "floating enable, sticky enable" : "sticky disable, floating disable";
  return "[title=\"" + pattern + "\"] " + action;
}

}  // namespace


SwayOutcome SwaySetPinned(std::string_view title, bool pinned) {
  const char* path = std::getenv("SWAYSOCK");
  sockaddr_un address = {};
  if (path == nullptr || *path == '\0' || std::strlen(path) >= sizeof address.sun_path) return SwayOutcome::kNoSway;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return SwayOutcome::kNoSway;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return SwayOutcome::kNoSway;
  }
  std::string reply;
  const bool answered = Exchange(fd, kRunCommand, SwayPinCommand(title, pinned), reply);
  ::close(fd);
  if (!answered) return SwayOutcome::kNoSway;
  return AllSucceeded(reply) ? SwayOutcome::kDone : SwayOutcome::kRefused;
}

}  // namespace platform::wayland

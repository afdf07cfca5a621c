#include "platform/fake/fake_platform.h"

#include "console/utf.h"
#include "platform/console.h"

namespace fake {
namespace {

struct Core {
  std::u16string tail;
  std::vector<std::string> calls;
  std::string out;
  int out_writes = 0;
  std::string err;
};

Core& State() {
  static Core core;
  return core;
}

std::vector<void (*)()>& Resets() {
  static std::vector<void (*)()> resets;
  return resets;
}

}  // namespace

Resetter::Resetter(void (*reset)()) { Resets().push_back(reset); }

void Reset(std::u16string tail) {
  State() = Core{};
  State().tail = std::move(tail);
  for (auto reset : Resets()) reset();
}

const std::vector<std::string>& Calls() { return State().calls; }
void Record(std::string call) { State().calls.push_back(std::move(call)); }
const std::string& StdOut() { return State().out; }
int StdOutWrites() { return State().out_writes; }
const std::string& StdErr() { return State().err; }
std::string Narrow(std::u16string_view text) { return qcp::Utf8FromUtf16(text); }

std::string Hex(std::uint64_t value) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % 16]);
    value /= 16;
  } while (value != 0);
  return "0x" + text;
}

}  // namespace fake

namespace platform {

void StartProcess(int, char**) {}

std::u16string CommandTail() { return fake::State().tail; }

void WriteStdOut(std::u16string_view text) {
  fake::State().out += fake::Narrow(text);
  ++fake::State().out_writes;
}

void WriteStdOutBytes(std::string_view bytes, std::string_view more) {
  fake::State().out.append(bytes).append(more);
  ++fake::State().out_writes;
}

void WriteStdErrLine(std::u16string_view text) { fake::State().err += fake::Narrow(text) + "\n"; }

}  // namespace platform

#include "platform/fake/fake_platform.h"

#include "console/utf.h"
#include "platform/console.h"

namespace fake {
namespace {

struct Core {
  CallList calls;
  std::string out;
  int out_writes = 0;
  int out_writes_that_work = -1;  // all of them
  bool out_failed = false;
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

void Reset() {
  State() = Core{};
  for (auto reset : Resets()) reset();
}

const CallList& Calls() { return State().calls; }
void Record(Call call) { State().calls.push_back(std::move(call)); }
const std::string& StdOut() { return State().out; }
void SetStdOutFailsAfter(int writes) { State().out_writes_that_work = writes; }
int StdOutWrites() { return State().out_writes; }
const std::string& StdErr() { return State().err; }
std::string Narrow(std::u16string_view text) { return qcp::Utf8FromUtf16(text); }

}  // namespace fake

namespace platform {

void StartProcess() {}

// The in-process tests hand each Main its tail themselves.
std::u16string CommandTail(int, char**) { return u""; }

namespace {

// False once the scripted number of writes has gone out: the rest are lost.
bool StdOutWorks() {
  fake::Core& state = fake::State();
  ++state.out_writes;
  if (state.out_writes_that_work >= 0 && state.out_writes > state.out_writes_that_work) state.out_failed = true;
  return !state.out_failed;
}

}  // namespace

void WriteStdOut(std::u16string_view text) {
  if (StdOutWorks()) fake::State().out += fake::Narrow(text);
}

void WriteStdOutBytes(std::string_view bytes, std::string_view more) {
  if (StdOutWorks()) fake::State().out.append(bytes).append(more);
}

bool StdOutFailed() { return fake::State().out_failed; }

std::u16string StdOutFailure() { return {}; }

void WriteStdErrLine(std::u16string_view text) { fake::State().err += fake::Narrow(text) + "\n"; }

}  // namespace platform

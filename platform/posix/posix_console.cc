// POSIX console: the tail is argv[1..] joined with single blanks; text is UTF-8.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/utf.h"
#include "platform/console.h"
#include "platform/posix/held_std_err.h"

namespace platform {
namespace {

bool std_out_failed = false;
// The error of the first failed write to standard output.
int std_out_error = 0;

// Writes all of the parts unless the descriptor fails; partial writes go on.
// Returns false, with errno set, when the descriptor failed.
bool WriteAll(int fd, std::string_view first, std::string_view second) {
  iovec parts[2] = {{const_cast<char*>(first.data()), first.size()},
                    {const_cast<char*>(second.data()), second.size()}};
  iovec* next = parts;
  int count = 2;
  while (count > 0) {
    if (next->iov_len == 0) {
      ++next, --count;
      continue;
    }
    const ssize_t written = ::writev(fd, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        // A descriptor someone else made non-blocking: wait until it drains.
        pollfd ready = {fd, POLLOUT, 0};
        if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
      }
      return false;  // closed, full or broken
    }
    std::size_t rest = static_cast<std::size_t>(written);
    while (count > 0 && rest >= next->iov_len) {
      rest -= next->iov_len;
      ++next, --count;
    }
    if (count > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + rest;
      next->iov_len -= rest;
    }
  }
  return true;
}

// A standard stream closed by whoever started the tool would be taken by the
// next descriptor opened (GIO's inotify, the X connection), and the tool's
// lines, a library's warnings or the quieting of the streams would go into
// that instead. So each closed one is opened onto /dev/null first of all, as
// the program's first initialisation, before any library opens anything.
__attribute__((constructor(101))) void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = ::open("/dev/null", O_RDWR);  // the lowest free descriptor: this one
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
}

}  // namespace

void StartProcess() {
  // A closed pipe must not kill the tool: its writes fail silently instead.
  ::signal(SIGPIPE, SIG_IGN);
}

std::u16string CommandTail(int argc, char** argv) {
  std::vector<std::u16string> words;
  for (int i = 1; i < argc; ++i) words.push_back(qcp::Utf16FromUtf8(argv[i]));
  return qcp::JoinArguments(words);
}

namespace {

void NoteStdOutFailure() {
  if (!std_out_failed) std_out_error = errno;
  std_out_failed = true;
}

}  // namespace

void WriteStdOut(std::u16string_view text) {
  if (text.empty()) return;
  if (!WriteAll(STDOUT_FILENO, qcp::Utf8FromUtf16(text), {})) NoteStdOutFailure();
}

void WriteStdOutBytes(std::string_view bytes, std::string_view more) {
  if (!WriteAll(STDOUT_FILENO, bytes, more)) NoteStdOutFailure();
}

bool StdOutFailed() { return std_out_failed; }

// A reader that has gone wants no more, as a program killed by SIGPIPE
// would say nothing; anything else lost output the user expects to have.
std::u16string StdOutFailure() {
  if (!std_out_failed || std_out_error == EPIPE) return {};
  return qcp::Utf16FromUtf8(std::strerror(std_out_error));
}

void WriteStdErrLine(std::u16string_view text) {
  WriteAll(STDERR_FILENO, qcp::Utf8FromUtf16(text), LineEnd());
}

// Linux conventions: LF ends a line, programs are called without an ending.
std::string_view LineEnd() { return "\n"; }
bool LoneLfEndsLine() { return true; }
std::u16string_view ProgramNameSuffix() { return u""; }
bool UnixCommandConventions() { return true; }

HeldStdErr::HeldStdErr() {
  std::fflush(stderr);
  held_ = ::memfd_create("qcp-held-stderr", MFD_CLOEXEC);
  if (held_ < 0) return;
  saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (saved_ < 0 || ::dup2(held_, STDERR_FILENO) < 0) {
    if (saved_ >= 0) ::close(saved_);
    ::close(held_);
    saved_ = held_ = -1;
  }
}

HeldStdErr::~HeldStdErr() {
  if (held_ < 0) return;
  std::fflush(stderr);
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
  if (!dropped_ && ::lseek(held_, 0, SEEK_SET) == 0) {
    char block[4096];
    for (;;) {
      const ssize_t got = ::read(held_, block, sizeof block);
      if (got <= 0 || !WriteAll(STDERR_FILENO, std::string_view(block, static_cast<std::size_t>(got)), {})) break;
    }
  }
  ::close(held_);
}

}  // namespace platform

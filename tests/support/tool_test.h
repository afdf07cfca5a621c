// Runs a tool's Main in-process against the fake platform.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/fake/fake_platform.h"

namespace qcp_test {

// Resets the fake, runs Main with `tail` as the command-line tail and
// returns what it wrote to standard output.
inline std::string RunMain(void (*main)(), std::u16string tail) {
  fake::Reset(std::move(tail));
  main();
  return fake::StdOut();
}

// The help screen as bytes: empty line, banner, then the given lines, each with CR LF.
inline std::string HelpScreen(std::initializer_list<const char*> lines) {
  std::string screen = "\r\n  Quorvex Command Pack - https://www.quorvex.com\r\n";
  for (const char* line : lines) screen += std::string(line) + "\r\n";
  return screen;
}

}  // namespace qcp_test

// Standard error held back for the span of one library call that may explain
// its failure there itself, as Xlib does when a display refuses it.
#pragma once

namespace platform {

// While it lives, what is written to standard error goes to a file of its
// own; at its end standard error is back, and what was held follows unless
// Drop() was called. If the file cannot be made, nothing is held.
class HeldStdErr {
 public:
  HeldStdErr();
  ~HeldStdErr();
  HeldStdErr(const HeldStdErr&) = delete;
  HeldStdErr& operator=(const HeldStdErr&) = delete;

  // What was held is the library's own account of a failure the tool
  // reports in its own line: it goes nowhere.
  void Drop() { dropped_ = true; }

 private:
  int saved_ = -1;
  int held_ = -1;
  bool dropped_ = false;
};

}  // namespace platform

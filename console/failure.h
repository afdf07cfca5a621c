// Run-time failures (Overflow, Type mismatch, File not found, ...): one
// exception type that carries the failure's short description.
#pragma once

#include <string>
#include <string_view>

namespace qcp {

class Failure {
 public:
  explicit Failure(std::u16string description) : description_(std::move(description)) {}
  const std::u16string& Description() const { return description_; }

 private:
  std::u16string description_;
};

// The descriptions the pack uses; each is a short phrase without a final period.
namespace failures {
inline constexpr std::u16string_view kOverflow = u"Overflow";
inline constexpr std::u16string_view kTypeMismatch = u"Type mismatch";
inline constexpr std::u16string_view kOutOfMemory = u"Out of memory";
inline constexpr std::u16string_view kFileNotFound = u"File not found";
inline constexpr std::u16string_view kPathNotFound = u"Path not found";
inline constexpr std::u16string_view kPermissionDenied = u"Permission denied";
inline constexpr std::u16string_view kBadFileName = u"Bad file name";
inline constexpr std::u16string_view kPathIsFolder = u"Path is a folder";
inline constexpr std::u16string_view kFileInUse = u"File already open";
inline constexpr std::u16string_view kDeviceError = u"Device I/O error";
inline constexpr std::u16string_view kInvalidPicture = u"Invalid picture";
inline constexpr std::u16string_view kInvalidPropertyValue = u"Invalid property value";
}  // namespace failures

[[noreturn]] void Raise(std::u16string_view description);

// A request that could not be carried out where the system itself would say
// nothing (natively: no display, no session bus, a document the desktop
// cannot open). The entry reports it on standard error as "<Tool>: <what>"
// and ends the run with status 1; standard output is left as it is.
class Unfulfilled {
 public:
  explicit Unfulfilled(std::u16string what) : what_(std::move(what)) {}
  const std::u16string& What() const { return what_; }

 private:
  std::u16string what_;
};

[[noreturn]] void RaiseUnfulfilled(std::u16string_view what);

// What a tool that needs a desktop says when it finds none.
inline constexpr std::u16string_view kNoDisplay =
    u"no X11 or Wayland display (DISPLAY and WAYLAND_DISPLAY are unset or unreachable)";

}  // namespace qcp

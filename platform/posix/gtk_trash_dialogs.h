// What emptying the trash shows on a GTK desktop: the question before and
// the progress window during.
#pragma once

#include <cstddef>
#include <memory>

namespace platform {

// GTK on a desktop display, set up on first use; false when there is none.
bool TrashDisplayAvailable();

// Asks whether to delete `items` items for good; true for yes.
bool ConfirmEmptying(std::size_t items);

// A small window with a progress bar and a Cancel button, shown while it lives.
class EmptyingProgress {
 public:
  explicit EmptyingProgress(std::size_t total);
  ~EmptyingProgress();
  EmptyingProgress(const EmptyingProgress&) = delete;
  EmptyingProgress& operator=(const EmptyingProgress&) = delete;

  // One more item is done.
  void Step();
  // The user has asked to stop.
  bool Cancelled() const;

 private:
  struct Window;
  std::unique_ptr<Window> window_;
};

}  // namespace platform

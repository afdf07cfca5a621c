// Scripting of the files: contents, open failures and failing reads.
#pragma once

#include <cstddef>
#include <string>

namespace fake {

// The file `name` holds `contents`. Names not set are not found.
void SetFile(std::u16string name, std::string contents);
// Opening `name` fails with `description`.
void SetOpenFailure(std::u16string name, std::u16string description);
// Reading `name` fails with `description` once `after` bytes have been read.
void SetReadFailure(std::u16string name, std::size_t after, std::u16string description);
// The most bytes one read hands out (all that is asked for, unless set).
void SetReadChunk(std::size_t bytes);

// Files open now, and the largest read asked for so far.
int OpenFiles();
std::size_t LargestRead();
// All bytes handed out by reads since the reset.
std::size_t BytesRead();

}  // namespace fake

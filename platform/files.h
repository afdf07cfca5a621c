// Files the tools read: opened by their Unicode name and read in blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using FileHandle = std::uintptr_t;

// Opens an existing file for sequential reading; others may read and write
// it meanwhile. A relative name is taken from the current directory. Raises
// a run-time failure naming the reason (File not found, Path not found,
// Permission denied, Bad file name, Path is a folder, ...).
FileHandle OpenFileForReading(const std::u16string& name);

// Reads up to `size` bytes into `buffer`; returns how many, 0 only at the
// end of the file. Raises a run-time failure when the read fails.
std::size_t ReadFromFile(FileHandle file, char* buffer, std::size_t size);

void CloseFile(FileHandle file);

}  // namespace platform

#include "platform/fake/fake_files.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "console/failure.h"
#include "platform/fake/fake_platform.h"
#include "platform/files.h"

namespace fake {
namespace {

struct ScriptedFile {
  std::string contents;
  std::u16string open_failure;
  std::size_t fail_after = std::string::npos;
  std::u16string read_failure;
};

struct OpenFile {
  const ScriptedFile* file;
  std::size_t position;
};

struct FilesState {
  std::map<std::u16string, ScriptedFile> files;
  std::vector<OpenFile> open;  // handle = index + 1; closed ones have no file
  std::size_t chunk = 0;
  std::size_t largest_read = 0;
  std::size_t bytes_read = 0;
};
FilesState files_state;
const Resetter reset_files([] { files_state = {}; });

}  // namespace

void SetFile(std::u16string name, std::string contents) { files_state.files[name].contents = std::move(contents); }

void SetOpenFailure(std::u16string name, std::u16string description) {
  files_state.files[name].open_failure = std::move(description);
}

void SetReadFailure(std::u16string name, std::size_t after, std::u16string description) {
  ScriptedFile& file = files_state.files[name];
  file.fail_after = after;
  file.read_failure = std::move(description);
}

void SetReadChunk(std::size_t bytes) { files_state.chunk = bytes; }

int OpenFiles() {
  int count = 0;
  for (const OpenFile& file : files_state.open) count += file.file != nullptr;
  return count;
}

std::size_t LargestRead() { return files_state.largest_read; }
std::size_t BytesRead() { return files_state.bytes_read; }

}  // namespace fake

namespace platform {

FileHandle OpenFileForReading(const std::u16string& name) {
  fake::Record(fake::OpenFileForReadingCall{name});
  const auto found = fake::files_state.files.find(name);
  if (found == fake::files_state.files.end()) qcp::Raise(qcp::failures::kFileNotFound);
  if (!found->second.open_failure.empty()) qcp::Raise(found->second.open_failure);
  fake::files_state.open.push_back({&found->second, 0});
  return fake::files_state.open.size();
}

std::size_t ReadFromFile(FileHandle handle, char* buffer, std::size_t size) {
  fake::OpenFile& open = fake::files_state.open.at(handle - 1);
  if (open.file == nullptr) qcp::Raise(u"Bad file handle");
  if (size > fake::files_state.largest_read) fake::files_state.largest_read = size;
  const fake::ScriptedFile& file = *open.file;
  if (open.position >= file.fail_after) qcp::Raise(file.read_failure);
  std::size_t count = std::min(size, file.contents.size() - open.position);
  if (fake::files_state.chunk != 0) count = std::min(count, fake::files_state.chunk);
  // A read never runs past the failure point: the next one fails there.
  if (file.fail_after != std::string::npos) count = std::min(count, file.fail_after - open.position);
  std::memcpy(buffer, file.contents.data() + open.position, count);
  open.position += count;
  fake::files_state.bytes_read += count;
  return count;
}

void CloseFile(FileHandle handle) {
  fake::Record(fake::CloseFileCall{});
  fake::files_state.open.at(handle - 1).file = nullptr;
}

}  // namespace platform

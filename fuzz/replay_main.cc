// Replays saved fuzz inputs through a fuzz target's property checks, without
// the fuzzing engine: every file in the folders named on the command line is
// one input. The in-process test run uses it, so that a property the fuzzing
// once found broken stays checked by the ordinary build and compiler.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::string current;  // the input being checked, named when a check aborts

void NameTheInput(int) {
  std::fprintf(stderr, "property broken by input %s\n", current.c_str());
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGABRT, NameTheInput);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    if (error) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
      return 1;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs\n");
    return 1;
  }
  for (const auto& path : inputs) {
    current = path.string();
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}

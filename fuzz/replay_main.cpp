// Stands in for libFuzzer where it is not linked: runs the fuzz target once
// on each file named (folders: each file in them, in name order), so that
// CTest replays the seeds and the saved finds in every build. A failed
// check aborts, as under the fuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// CTest's SKIP_RETURN_CODE for these tests: a seed folder that is absent.
constexpr int kSkipped = 77;

std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else if (std::filesystem::is_regular_file(arg)) {
      inputs.push_back(arg);
    } else {
      std::printf("skipped: %s is absent\n", arg.c_str());
      return kSkipped;
    }
  }
  if (inputs.empty()) {
    std::printf("no inputs given\n");
    return 1;
  }
  for (const auto& input : inputs) {
    const std::vector<std::uint8_t> bytes = read_file(input);
    std::printf("%s (%zu bytes)\n", input.c_str(), bytes.size());
    std::fflush(stdout);  // the name of the input that aborts is printed
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}

// Replays a fuzz target's seed corpus without libFuzzer, so every test run feeds the
// parsers the inputs that once found faults. Arguments are files or folders of files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int runFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  // The empty input first: every parser must survive it.
  LLVMFuzzerTestOneInput(nullptr, 0);
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) count += runFile(entry.path());
      }
    } else if (std::filesystem::exists(arg)) {
      count += runFile(arg);
    } else {
      std::fprintf(stderr, "no such corpus: %s\n", argv[i]);
      return 1;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return 0;
}

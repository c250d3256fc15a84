// Feeds saved fuzzer inputs through the font pipeline without libFuzzer, so every build (GCC too)
// checks that the inputs that once crashed, ran long or grew memory stay harmless.
//
//   pindot_fuzz_replay FILE_OR_FOLDER...
//
// Each file, and each file of a folder in name order, is run once. A crash or sanitizer report
// ends the program as the fuzzer's would; a peak resident size above 1024 MB (the fuzz script's
// -rss_limit_mb) fails it. Too long a run is ctest's TIMEOUT.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "font_pipeline.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const size_t first = files.size();
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::directory_iterator(argv[i])) {
        if (entry.path().filename().string()[0] != '.') files.push_back(entry.path());
      }
    } else {
      files.emplace_back(argv[i]);
    }
    std::sort(files.begin() + static_cast<ptrdiff_t>(first), files.end());
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: pindot_fuzz_replay FILE_OR_FOLDER...\n");
    return 2;
  }
  for (const fs::path& file : files) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
      std::fprintf(stderr, "pindot_fuzz_replay: cannot read %s\n", file.c_str());
      return 2;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream),
                                  std::istreambuf_iterator<char>()};
    const auto start = std::chrono::steady_clock::now();
    const std::string refusal =
        pindot::RunFontPipeline(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakMegabytes = usage.ru_maxrss / 1024;
    std::printf("%s: %lld ms, peak %ld MB, %s\n", file.c_str(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()),
                peakMegabytes, refusal.empty() ? "went through" : ("refused: " + refusal).c_str());
    if (peakMegabytes > 1024) {
      std::fprintf(stderr, "pindot_fuzz_replay: %s took the peak resident size past 1024 MB\n",
                   file.c_str());
      return 1;
    }
  }
  return 0;
}

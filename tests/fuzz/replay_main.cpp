// Feeds saved fuzzer inputs through the font pipeline without libFuzzer, so every build (GCC too)
// checks that the inputs that once crashed, ran long or grew memory stay harmless.
//
//   pindot_fuzz_replay FILE_OR_FOLDER...
//
// Each file, and each file of a folder in name order, is run once. A crash or sanitizer report
// ends the program as the fuzzer's would; a peak resident size above --rss-limit-mb (1024 by
// default, as the fuzz script's -rss_limit_mb) fails it. Too long a run is ctest's TIMEOUT.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "font_pipeline.h"

namespace {

std::vector<std::filesystem::path> InputFiles(const std::filesystem::path& argument) {
  if (!std::filesystem::is_directory(argument)) return {argument};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argument)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

long PeakResidentMegabytes() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  long rssLimitMegabytes = 1024;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rss-limit-mb") == 0 && i + 1 < argc) {
      rssLimitMegabytes = std::stol(argv[++i]);
      continue;
    }
    if (!std::filesystem::exists(argv[i])) {
      std::fprintf(stderr, "pindot_fuzz_replay: no such file or folder: %s\n", argv[i]);
      return 2;
    }
    for (std::filesystem::path& file : InputFiles(argv[i])) files.push_back(std::move(file));
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: pindot_fuzz_replay [--rss-limit-mb N] FILE_OR_FOLDER...\n");
    return 2;
  }
  for (const std::filesystem::path& file : files) {
    std::ifstream stream(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream),
                                  std::istreambuf_iterator<char>()};
    if (!stream.good() && !stream.eof()) {
      std::fprintf(stderr, "pindot_fuzz_replay: cannot read %s\n", file.c_str());
      return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string refusal =
        pindot::RunFontPipeline(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
    std::printf("%s: %lld ms, peak %ld MB, %s\n", file.c_str(),
                static_cast<long long>(milliseconds), PeakResidentMegabytes(),
                refusal.empty() ? "went through" : ("refused: " + refusal).c_str());
    if (PeakResidentMegabytes() > rssLimitMegabytes) {
      std::fprintf(stderr, "pindot_fuzz_replay: %s took the peak resident size past %ld MB\n",
                   file.c_str(), rssLimitMegabytes);
      return 1;
    }
  }
  return 0;
}

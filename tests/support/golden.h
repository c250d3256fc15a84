// Compares a whole output with a file under tests/golden/; a mismatch writes <name>.actual beside
// it.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace pindot::testing {

inline std::string GoldenPath(const std::string& name) {
  return std::string(PINDOT_TEST_DIR) + "/golden/" + name;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
  const std::string path = GoldenPath(name);
  const std::string expected = ReadFileBytes(path);
  if (actual != expected) {
    std::ofstream(path + ".actual", std::ios::binary) << actual;
    ADD_FAILURE() << "output differs from " << path << "; see " << path << ".actual";
  }
}

}  // namespace pindot::testing

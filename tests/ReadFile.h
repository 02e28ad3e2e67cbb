#pragma once
// A whole file as bytes, for tests that walk the corpus; empty when it cannot be read.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vc::test {

inline std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vc::test

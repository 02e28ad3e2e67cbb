#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Exception.h"

namespace fs = std::filesystem;

namespace {
std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

TEST(AtomicFile, ReplacesContentsAndLeavesNoTemporary) {
  fs::path dir = fs::temp_directory_path() / ("vc-atomic-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path target = dir / "a.dfm";
  vc::writeFileAtomically(target.string(), "first");
  vc::writeFileAtomically(target.string(), std::string("sec\0nd", 6));
  EXPECT_EQ(slurp(target), std::string("sec\0nd", 6));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(AtomicFile, FailureLeavesTheTargetAlone) {
  fs::path dir = fs::temp_directory_path() / ("vc-atomic-ro-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path target = dir / "keep.dfm";
  { std::ofstream(target) << "old"; }
  // A folder that does not exist cannot take the temporary file.
  EXPECT_THROW(vc::writeFileAtomically((dir / "missing" / "x.dfm").string(), "new"), vc::Exception);
  // Renaming onto a directory fails: the directory stays as it was.
  fs::create_directories(dir / "sub");
  EXPECT_THROW(vc::writeFileAtomically((dir / "sub").string(), "new"), vc::Exception);
  EXPECT_TRUE(fs::is_directory(dir / "sub"));
  EXPECT_EQ(slurp(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}

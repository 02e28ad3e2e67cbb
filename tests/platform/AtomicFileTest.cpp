#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

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

// A link is followed: its target gets the contents (renamed in beside it),
// the link stays a link; a link to nothing yet creates its target.
TEST(AtomicFile, WritesThroughSymbolicLinks) {
  fs::path dir = fs::temp_directory_path() / ("vc-atomic-link-" + std::to_string(::getpid()));
  fs::create_directories(dir / "real");
  { std::ofstream(dir / "real" / "a.dfm") << "old"; }
  fs::create_symlink("real/a.dfm", dir / "link");
  fs::create_symlink("real/new.dfm", dir / "dangling");
  vc::writeFileAtomically((dir / "link").string(), "new");
  vc::writeFileAtomically((dir / "dangling").string(), "made");
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(slurp(dir / "real" / "a.dfm"), "new");
  EXPECT_EQ(slurp(dir / "real" / "new.dfm"), "made");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}

// A named pipe is written into, never replaced by a file.
TEST(AtomicFile, WritesIntoAPipeInPlace) {
  fs::path dir = fs::temp_directory_path() / ("vc-atomic-fifo-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string got;
  std::thread reader([&] { got = slurp(fifo); });
  vc::writeFileAtomically(fifo.string(), "through the pipe");
  reader.join();
  EXPECT_EQ(got, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));
  fs::remove_all(dir);
}

// Written in pieces and dropped before commit: the old file stays, no temporary is left.
TEST(AtomicFile, StreamedWriteWithoutCommitChangesNothing) {
  fs::path dir = fs::temp_directory_path() / ("vc-atomic-stream-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path target = dir / "big.bin";
  { std::ofstream(target) << "old"; }
  {
    vc::AtomicFileWriter writer(target.string());
    for (int i = 0; i < 100; ++i) writer.write(std::string(4096, 'x'));
  }
  EXPECT_EQ(slurp(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  {
    vc::AtomicFileWriter writer(target.string());
    writer.write("a");
    writer.write("b");
    writer.commit();
  }
  EXPECT_EQ(slurp(target), "ab");
  fs::remove_all(dir);
}

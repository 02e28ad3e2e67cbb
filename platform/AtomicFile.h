#pragma once
// Replacing a file without ever leaving it damaged: the new contents go to a
// temporary file beside the target, which is then renamed over it.
//
// The target is the file a path names after following symbolic links, so a
// link keeps pointing at the new contents. A target that exists and is not a
// regular file (a pipe, a terminal, a device such as /dev/stdout) cannot be
// replaced by a rename; it is written in place instead, as a shell would.
#include <string>
#include <string_view>

namespace vc {

class AtomicFileWriter {
 public:
  // Opens the temporary file (or the target itself, see above). Raises
  // vc::Exception with a message naming path when that fails.
  explicit AtomicFileWriter(const std::string& path);
  // Without commit() the temporary file is removed and the target stays as it was.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Appends bytes; raises vc::Exception naming the file when they cannot be written.
  void write(std::string_view bytes);
  // Makes the written bytes the target's contents. Raises like write(); the
  // target then stays as it was.
  void commit();
  // Drops what was written (also done by the destructor).
  void abort() noexcept;

  const std::string& path() const { return m_path; }
  // True when the target is written in place (it is not a regular file).
  bool inPlace() const { return m_inPlace; }

 private:
  [[noreturn]] void fail(int err);

  std::string m_path;    // as given, for messages
  std::string m_target;  // the file behind any symbolic links
  std::string m_temp;    // empty when writing in place
  int m_fd = -1;
  bool m_inPlace = false;
};

// Writes bytes to path through an AtomicFileWriter.
void writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vc

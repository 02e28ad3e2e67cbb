// Runs `formtext COMMAND - -o OUT` (txt2bin unless named) on a generated
// form text of the given size (MB, default 100) fed through a pipe, and
// prints the child's peak resident size, which must not grow with the text.
// Exits 1 when the command fails or a limit (MB) is given and exceeded.
//   txt2bin_memory FORMTEXT OUT [MB [LIMIT [COMMAND]]]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/FormStreamSource.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: txt2bin_memory FORMTEXT OUT [MB [LIMIT [COMMAND]]]\n");
    return 2;
  }
  long long megabytes = argc > 3 ? std::atoll(argv[3]) : 100;
  double limit = argc > 4 ? std::atof(argv[4]) : 0;
  const char* command = argc > 5 ? argv[5] : "txt2bin";
  vc::bench::GeneratedFormText text(megabytes * 1024 * 1024);

  int fds[2];
  if (pipe(fds) != 0) return 1;
  std::signal(SIGPIPE, SIG_IGN);
  pid_t child = fork();
  if (child == 0) {
    dup2(fds[0], 0);
    close(fds[0]);
    close(fds[1]);
    execl(argv[1], argv[1], command, "-", "-o", argv[2], static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[0]);
  std::vector<char> buf(64 * 1024);
  while (std::size_t n = text.read(buf.data(), buf.size())) {
    std::size_t done = 0;
    while (done < n) {
      ssize_t w = write(fds[1], buf.data() + done, n - done);
      if (w <= 0) break;
      done += static_cast<std::size_t>(w);
    }
    if (done < n) break;  // the child stopped reading; its status tells why
  }
  close(fds[1]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return 1;
  double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::printf("text %lld bytes, %s exit %d, peak RSS %.1f MB\n", static_cast<long long>(text.size()), command,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1, peakMb);
  std::remove(argv[2]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  return limit > 0 && peakMb > limit ? 1 : 0;
}

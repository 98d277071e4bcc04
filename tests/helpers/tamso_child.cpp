// A child process for the process tests. The first argument picks what it does:
//   write N         N bytes of a repeating pattern on stdout, in chunks
//   exact4096       exactly 4096 bytes in one write
//   nothing         no output at all
//   stderr TEXT     TEXT on standard error only
//   interleave      stdout, stderr and stdout again, unbuffered
//   binary          the bytes 0..255
//   noeol TEXT      TEXT without a line end
//   stdin           reads its input to the end and says how much it got
//   pwd             its working directory
//   args A B ...    each argument on a line of its own, in brackets
//   seq N           the numbers 1..N, one a line
//   forever         its pid, then waits for ever
//   ignoreterm      ignores SIGTERM, writes its pid, then waits for ever
//   grandchild      starts a grandchild that ignores SIGTERM, writes its pid and
//                   holds the output open for ever; then exits itself
//   forkmany N      starts N grandchildren that ignore SIGTERM and wait for ever,
//                   each writing "grandchild PID"; then writes "child PID" and
//                   waits for ever itself (a compile that never ends)
//   echo            for each line read, "got LINE"; at end of input "eof"
//   record FILE A.. writes each argument on a line of its own into FILE
//   status N        exits with status N
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w <= 0) std::exit(3);
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void Say(int fd, const std::string& s) {
  WriteAll(fd, s.data(), s.size());
}

[[noreturn]] void WaitForever() {
  for (;;) ::pause();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "write" && argc > 2) {
    const long n = std::atol(argv[2]);
    std::string chunk;
    for (long i = 0; i < n; ++i) chunk += static_cast<char>('a' + i % 26);
    WriteAll(1, chunk.data(), chunk.size());
  } else if (mode == "exact4096") {
    std::string block(4096, 'x');
    WriteAll(1, block.data(), block.size());
  } else if (mode == "nothing") {
  } else if (mode == "stderr" && argc > 2) {
    Say(2, std::string(argv[2]) + "\n");
  } else if (mode == "interleave") {
    Say(1, "out 1\n");
    Say(2, "err 2\n");
    Say(1, "out 3\n");
  } else if (mode == "binary") {
    char bytes[256];
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
    WriteAll(1, bytes, sizeof bytes);
  } else if (mode == "noeol" && argc > 2) {
    Say(1, argv[2]);
  } else if (mode == "stdin") {
    char buf[512];
    long total = 0;
    ssize_t r;
    while ((r = ::read(0, buf, sizeof buf)) > 0) total += r;
    Say(1, "input ended after " + std::to_string(total) + " bytes\n");
  } else if (mode == "pwd") {
    char buf[4096];
    if (!::getcwd(buf, sizeof buf)) return 4;
    Say(1, std::string(buf) + "\n");
  } else if (mode == "args") {
    for (int i = 2; i < argc; ++i) Say(1, std::string("[") + argv[i] + "]\n");
  } else if (mode == "seq" && argc > 2) {
    const long n = std::atol(argv[2]);
    std::string out;
    for (long i = 1; i <= n; ++i) {
      out += std::to_string(i);
      out += '\n';
      if (out.size() > 65536) {
        WriteAll(1, out.data(), out.size());
        out.clear();
      }
    }
    WriteAll(1, out.data(), out.size());
  } else if (mode == "forever") {
    Say(1, "pid " + std::to_string(::getpid()) + "\n");
    WaitForever();
  } else if (mode == "ignoreterm") {
    ::signal(SIGTERM, SIG_IGN);
    Say(1, "pid " + std::to_string(::getpid()) + "\n");
    WaitForever();
  } else if (mode == "grandchild") {
    const pid_t pid = ::fork();
    if (pid < 0) return 5;
    if (pid == 0) {
      ::signal(SIGTERM, SIG_IGN);
      Say(1, "grandchild " + std::to_string(::getpid()) + "\n");
      WaitForever();
    }
    // The grandchild's line must be in the pipe before the child ends, so that the
    // test knows its pid; then only the grandchild holds the output open.
    Say(1, "child " + std::to_string(::getpid()) + "\n");
  } else if (mode == "forkmany" && argc > 2) {
    const long n = std::atol(argv[2]);
    for (long i = 0; i < n; ++i) {
      const pid_t pid = ::fork();
      if (pid < 0) return 5;
      if (pid == 0) {
        ::signal(SIGTERM, SIG_IGN);
        Say(1, "grandchild " + std::to_string(::getpid()) + "\n");
        WaitForever();
      }
    }
    Say(1, "child " + std::to_string(::getpid()) + "\n");
    WaitForever();
  } else if (mode == "echo") {
    std::string line;
    char c;
    ssize_t r;
    while ((r = ::read(0, &c, 1)) > 0) {
      if (c == '\n') {
        Say(1, "got " + line + "\n");
        line.clear();
      } else {
        line += c;
      }
    }
    Say(1, "eof\n");
  } else if (mode == "record" && argc > 2) {
    std::string out;
    for (int i = 3; i < argc; ++i) out += std::string(argv[i]) + "\n";
    FILE* f = std::fopen(argv[2], "w");
    if (!f) return 6;
    std::fputs(out.c_str(), f);
    std::fclose(f);
  } else if (mode == "status" && argc > 2) {
    return std::atoi(argv[2]);
  } else {
    return 2;
  }
  return 0;
}

// A stand-in user tool for the tool tests. It records how it was started, then
// does what the environment asks:
//   TAMSO_STUB_LOG=PATH      appends one record: "cwd\0" then each argument and "\0",
//                            then "\n" (so names with blanks, quotes or line breaks
//                            come back exactly)
//   TAMSO_STUB_REWRITE=TEXT  writes TEXT over the file named by the last argument
//   TAMSO_STUB_WAIT=PATH     before exiting, waits until PATH exists
// Each argument is also written to standard output in brackets, one a line.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

void WriteAll(int fd, const std::string& s) {
  const char* p = s.data();
  size_t n = s.size();
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w <= 0) std::exit(3);
    p += w;
    n -= static_cast<size_t>(w);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  for (int i = 1; i < argc; ++i) out += "[" + std::string(argv[i]) + "]\n";
  WriteAll(1, out);
  if (const char* log = std::getenv("TAMSO_STUB_LOG")) {
    char cwd[4096];
    std::string record = ::getcwd(cwd, sizeof cwd) ? cwd : "?";
    record += '\0';
    for (int i = 1; i < argc; ++i) {
      record += argv[i];
      record += '\0';
    }
    record += '\n';
    const int fd = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return 4;
    WriteAll(fd, record);
    ::close(fd);
  }
  if (const char* text = std::getenv("TAMSO_STUB_REWRITE"); text && argc > 1) {
    const int fd = ::open(argv[argc - 1], O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return 5;
    WriteAll(fd, text);
    ::close(fd);
  }
  if (const char* wait = std::getenv("TAMSO_STUB_WAIT")) {
    struct stat st;
    while (::stat(wait, &st) != 0) ::usleep(2000);
  }
  return 0;
}

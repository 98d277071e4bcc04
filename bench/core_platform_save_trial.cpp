// The program the kill -9 trial (bench/kill_save_trial.sh) drives: it saves a file
// the way the editor does, or runs the recovery an open of the file runs, or checks
// that a file holds exactly one of two expected contents.
//
//   bench_core_platform_save_trial save <file> <bytes-file>    save the bytes into <file>
//   bench_core_platform_save_trial recover <file>              what an open puts right
//   bench_core_platform_save_trial same <file> <a> <b>         exit 0: <file> is <a> or <b>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "platform/save_recovery.h"

using namespace tamso;

namespace {

bool Read(const char* path, std::string& bytes) {
  std::string error;
  if (ReadWholeFile(path, bytes, &error, kNoReadLimit)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "save") == 0) {
    std::string bytes;
    if (!Read(argv[3], bytes)) return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    WriteResult r = WriteFileAtomically(argv[2], bytes);
    if (!r.ok) std::fprintf(stderr, "%s\n", r.error.c_str());
    return r.ok ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "recover") == 0) {
    RecoveryReport r = RecoverFile(argv[2]);
    if (!r.status.empty()) std::printf("%s\n", r.status.c_str());
    return r.restored ? 3 : 0;
  }
  if (argc == 5 && std::strcmp(argv[1], "same") == 0) {
    std::string file, a, b;
    if (!Read(argv[2], file) || !Read(argv[3], a) || !Read(argv[4], b)) return 2;
    return file == a || file == b ? 0 : 1;
  }
  std::fprintf(stderr, "usage: %s save <file> <bytes> | recover <file> | same <file> <a> <b>\n",
               argv[0]);
  return 2;
}

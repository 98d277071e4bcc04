// Reading outside files without ever blocking, and saves that keep what the user set
// on a file, never tear it and never leave debris.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "platform/paths.h"
#include "platform/save_recovery.h"
#include "support/temp_dir.h"
#include "unprivileged.h"

namespace tamso {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ReadFile;
using testing::TempDir;

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> v;
  for (auto& e : std::filesystem::directory_iterator(dir)) v.push_back(e.path().filename());
  std::sort(v.begin(), v.end());
  return v;
}

mode_t ModeOf(const std::string& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st.st_mode;
}

// Sets a file's times back an hour: a leftover of a process that ended before us.
void MakeOld(const std::string& p) {
  struct timespec t[2];
  ::clock_gettime(CLOCK_REALTIME, &t[0]);
  t[0].tv_sec -= 3600;
  t[1] = t[0];
  ::utimensat(AT_FDCWD, p.c_str(), t, AT_SYMLINK_NOFOLLOW);
}

TEST(SafeRead, PipesSocketsAndDevicesAreNamedAndRefusedWithoutWaiting) {
  TempDir dir;
  std::string fifo = dir.File("pipe.java");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string got = "stale", err;
  // Without a writer a blocking open of the pipe would never return.
  EXPECT_FALSE(ReadWholeFile(fifo, got, &err));
  EXPECT_EQ(err, fifo + " is a named pipe (FIFO), not a regular file.");
  EXPECT_TRUE(got.empty());

  std::string sock = dir.File("s");
  int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_FALSE(ReadWholeFile(sock, got, &err));
  EXPECT_EQ(err, sock + " is a socket, not a regular file.");
  ::close(s);

  // /dev/zero never ends: it is refused rather than read until memory runs out,
  // also through a link named like a project.
  std::string link = dir.File("zero.jap");
  ASSERT_EQ(::symlink("/dev/zero", link.c_str()), 0);
  EXPECT_FALSE(ReadWholeFile(link, got, &err));
  EXPECT_EQ(err, link + " is a character device, not a regular file.");
  EXPECT_FALSE(ReadFileHead("/dev/zero", 10, got, &err));
  EXPECT_EQ(ProbeFile(link).kind, FileKind::CharDevice);
  EXPECT_EQ(ProbeFile(fifo).kind, FileKind::Fifo);
}

TEST(SafeRead, SizeLimitAndHead) {
  TempDir dir;
  std::string p = dir.Write("f", "0123456789");
  std::string got, err;
  EXPECT_FALSE(ReadWholeFile(p, got, &err, 9));
  EXPECT_EQ(err, p + " is too large (10 bytes; at most 9 bytes can be read).");
  ASSERT_TRUE(ReadWholeFile(p, got, &err, 10));
  EXPECT_EQ(got, "0123456789");
  ASSERT_TRUE(ReadFileHead(p, 4, got, &err));
  EXPECT_EQ(got, "0123");
  // A sparse file past the default limit is refused from its size alone.
  std::string big = dir.File("big");
  int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kDefaultReadLimit) + 1), 0);
  ::close(fd);
  EXPECT_FALSE(ReadWholeFile(big, got, &err));
  EXPECT_THAT(err, HasSubstr("is too large (256.0 MB"));
  EXPECT_EQ(SizeText(3ull << 30), "3.0 GB");
}

TEST(SafeRead, BinaryLooksAreNulsOrManyControlBytes) {
  EXPECT_FALSE(LooksBinary(""));
  EXPECT_FALSE(LooksBinary("class A {\n\tint a;\f\r\n}\n"));
  EXPECT_TRUE(LooksBinary(std::string("class A {\0}", 11)));
  EXPECT_TRUE(LooksBinary("\x01\x02\x03xxxxxx"));  // 3 of 9: a third
  EXPECT_FALSE(LooksBinary("\x01\x02xxxxxxxx"));   // 2 of 10: a fifth
  EXPECT_TRUE(LooksBinary("\x7f\x1b\x1bxxxxxx"));  // DEL and ESC count
}

TEST(AtomicSave, KeepsReadOnlyModeAttributesAndRefusesSymlinkLoops) {
  TempDir dir;
  std::string p = dir.Write("R.java", "old");
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  EXPECT_TRUE(IsReadOnlyFile(p));
  EXPECT_FALSE(IsReadOnlyFile(dir.File("none")));
  ASSERT_TRUE(WriteFileAtomically(p, "new").ok);
  EXPECT_EQ(ReadFile(p), "new");
  EXPECT_EQ(ModeOf(p) & 07777, 0444u);

  std::string x = dir.Write("X.java", "old");
  if (::setxattr(x.c_str(), "user.tamso.note", "kept", 4, 0) == 0) {
    ASSERT_TRUE(WriteFileAtomically(x, "new").ok);
    char value[16] = {};
    EXPECT_EQ(::getxattr(x.c_str(), "user.tamso.note", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }

  std::string a = dir.File("a.java"), b = dir.File("b.java");
  ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
  WriteResult r = WriteFileAtomically(a, "x");
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.error, HasSubstr("Too many levels of symbolic links"));
  EXPECT_TRUE(S_ISLNK(ModeOf(a)));
  EXPECT_TRUE(S_ISLNK(ModeOf(b)));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"R.java", "X.java", "a.java", "b.java"}));
}

TEST(AtomicSave, OwnerKeepsSetIdBitsAndSavesInPlaceInAReadOnlyDirectory) {
  TempDir dir;
  TempDir cache;
  const uid_t user = testing::UnprivilegedUid();
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chown(cache.path().c_str(), user, user), 0);
  std::string tool = dir.Write("tool.sh", "#!/bin/sh\n");
  std::string ro = dir.File("ro");
  std::filesystem::create_directories(ro);
  std::string inRo = dir.Write("ro/Kept.java", "old bytes\n");
  std::string link = dir.File("ro/Link.java");
  ASSERT_EQ(::link(inRo.c_str(), link.c_str()), 0);
  for (const std::string& f : {tool, inRo}) ASSERT_EQ(::chown(f.c_str(), user, user), 0);
  ASSERT_EQ(::chmod(tool.c_str(), 06755), 0);
  ASSERT_EQ(::chown(dir.path().c_str(), user, user), 0);
  ASSERT_EQ(::chmod(ro.c_str(), 0555), 0);
  ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
  int rc = testing::RunUnprivileged([&] {
    if (!WriteFileAtomically(tool, "#!/bin/sh\necho\n").ok) return 1;
    if (!WriteFileAtomically(inRo, "new bytes\n").ok) return 2;
    WriteResult r = WriteFileAtomically(dir.File("ro/New.java"), "x");  // cannot be created
    if (r.ok || r.error.find("Permission denied") == std::string::npos) return 3;
    return 0;
  });
  ::unsetenv("XDG_CACHE_HOME");
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(ModeOf(tool) & 07777, 06755u);
  EXPECT_EQ(ReadFile(tool), "#!/bin/sh\necho\n");
  // Written in place: the other link sees the new bytes; the old copy went to the
  // cache and is gone again.
  EXPECT_EQ(ReadFile(link), "new bytes\n");
  EXPECT_THAT(Names(ro), ElementsAre("Kept.java", "Link.java"));
  EXPECT_TRUE(Names(cache.path() + "/tamso").empty());
}

// A 1 MB file system of its own, for a disk that really fills up; or read-only.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& dir) : dir_(dir) {
    mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() {
    return ::mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") == 0;
  }

 private:
  std::string dir_;
  bool mounted_ = false;
};

TEST(AtomicSave, FullDiskAndReadOnlyDiskKeepTheOriginalAndLeaveNoDebris) {
  TempDir dir;
  SmallDisk disk(dir.path());
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const std::string old(400 * 1024, 'o');
  const std::string bigger(700 * 1024, 'n');
  std::string plain = dir.Write("Plain.java", old);
  std::string linked = dir.Write("Linked.java", old);
  ASSERT_EQ(::link(linked.c_str(), dir.File("Other.java").c_str()), 0);
  // Renamed into place: old and new do not both fit. Rewritten in place: the old
  // copy and the new bytes do not both fit, and the old bytes are written back.
  for (const std::string& p : {plain, linked}) {
    WriteResult r = WriteFileAtomically(p, bigger);
    EXPECT_FALSE(r.ok) << p;
    EXPECT_THAT(r.error, HasSubstr("No space left on device"));
    EXPECT_EQ(ReadFile(p), old) << p;
  }
  EXPECT_THAT(Names(dir.path()), ElementsAre("Linked.java", "Other.java", "Plain.java"));

  ASSERT_TRUE(disk.MakeReadOnly());
  WriteResult r = WriteFileAtomically(plain, "small");
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.error, HasSubstr("Read-only file system"));
  EXPECT_EQ(ReadFile(plain), old);
  EXPECT_THAT(Names(dir.path()), ElementsAre("Linked.java", "Other.java", "Plain.java"));
}

// A cut in-place save as kill -9 leaves it: the old copy with its header, and the
// file holding only the first part of the new bytes.
struct CutSave {
  std::string target, copy;
};
std::string HeaderFor(const std::string& target, const std::string& old, const std::string& fresh) {
  struct stat st {};
  ::stat(target.c_str(), &st);
  return save_detail::OldCopyHeader(target, old, fresh, st.st_dev, st.st_ino);
}
CutSave LeaveCutSave(const TempDir& dir, const std::string& old, const std::string& fresh,
                     const std::string& onDisk, bool completeCopy = true) {
  CutSave c;
  c.target = dir.Write("T.java", onDisk);
  c.copy = dir.File(".T.java.tamso-old-Ab12Cd");
  std::string body = completeCopy ? old : old.substr(0, old.size() / 2);
  dir.Write(".T.java.tamso-old-Ab12Cd", HeaderFor(c.target, old, fresh) + body);
  MakeOld(c.copy);
  return c;
}

TEST(SaveRecovery, ATornInPlaceSaveGetsItsOldBytesBack) {
  TempDir dir;
  const std::string old = "class Old {}\n" + std::string(5000, 'o');
  const std::string fresh = "class New {}\n" + std::string(9000, 'n');
  // Torn: the file is shorter than the new bytes.
  CutSave c = LeaveCutSave(dir, old, fresh, fresh.substr(0, 4096));
  ASSERT_EQ(::link(c.target.c_str(), dir.File("Other.java").c_str()), 0);
  RecoveryReport r = RecoverFile(c.target);
  EXPECT_TRUE(r.restored);
  EXPECT_EQ(r.removed, 1);
  EXPECT_THAT(r.status, HasSubstr("was restored"));
  EXPECT_EQ(ReadFile(c.target), old);
  EXPECT_EQ(ReadFile(dir.File("Other.java")), old);  // still one file with two names
  EXPECT_THAT(Names(dir.path()), ElementsAre("Other.java", "T.java"));

  // Cut right after the file was emptied, or while a failed save put the old bytes
  // back: torn as well.
  for (const std::string& onDisk : {std::string(), old.substr(0, 4096)}) {
    c = LeaveCutSave(dir, old, fresh, onDisk);
    EXPECT_TRUE(RecoverFile(c.target).restored);
    EXPECT_EQ(ReadFile(c.target), old);
  }
}

// After the cut save something else wrote the file: the old bytes must never go over
// the newer text; they are kept in a plain file the user is told about.
TEST(SaveRecovery, AFileWrittenSinceTheCutSaveIsLeftAndItsOldTextKeptAside) {
  TempDir dir;
  const std::string old = "class Old {}\n" + std::string(5000, 'o');
  const std::string fresh = "class New {}\n" + std::string(9000, 'n');
  struct Case {
    const char* what;
    std::function<void(const std::string& target)> change;
  };
  const std::string newer = "class Newer {}\n" + std::string(8200, 'w');
  const Case cases[] = {{"rewritten in place, other bytes",
                         [&](const std::string& t) {
                           std::ofstream(t, std::ios::binary | std::ios::trunc) << newer;
                         }},
                        {"rewritten in place, a block of the new bytes but not on a block end",
                         [&](const std::string& t) {
                           std::ofstream(t, std::ios::binary | std::ios::trunc)
                               << fresh.substr(0, 4100);
                         }},
                        {"rewritten in place, same length as the new bytes",
                         [&](const std::string& t) {
                           std::string same = fresh;
                           same[5000] = 'X';
                           std::ofstream(t, std::ios::binary | std::ios::trunc) << same;
                         }},
                        {"replaced by a rename, holding a first block of the new bytes",
                         [&](const std::string& t) {
                           std::string other = dir.Write("Other.tmp", fresh.substr(0, 4096));
                           ASSERT_EQ(::rename(other.c_str(), t.c_str()), 0);
                         }},
                        {"saved through a second hard link", [&](const std::string& t) {
                           ASSERT_EQ(::link(t.c_str(), dir.File("Second.java").c_str()), 0);
                           ASSERT_TRUE(WriteFileAtomically(dir.File("Second.java"), newer).ok);
                           ::unlink(dir.File("Second.java").c_str());
                         }}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    CutSave c = LeaveCutSave(dir, old, fresh, fresh.substr(0, 4096));
    k.change(c.target);
    const std::string now = ReadFile(c.target);
    RecoveryReport r = RecoverFile(c.target);
    EXPECT_FALSE(r.restored);
    EXPECT_EQ(ReadFile(c.target), now);
    ASSERT_FALSE(r.keptCopy.empty());
    EXPECT_EQ(paths::Directory(r.keptCopy), dir.path());
    EXPECT_THAT(paths::FileName(r.keptCopy), ::testing::StartsWith("T.java.before-cut-save-"));
    EXPECT_EQ(ReadFile(r.keptCopy), old);  // the old text alone, no header
    EXPECT_EQ(r.status, "The last save of " + c.target +
                            " was cut short, and the file has been changed since. It is left "
                            "as it is; the text it had before that save is kept in " +
                            r.keptCopy + ".");
    EXPECT_FALSE(std::filesystem::exists(c.copy));
    // Said once: the next open finds nothing to put right.
    EXPECT_TRUE(RecoverFile(c.target).status.empty());
    std::filesystem::remove(r.keptCopy);
  }

  // An old copy of an earlier version does not record what the save wrote: the
  // file is never overwritten from it.
  std::string target = dir.Write("T.java", fresh.substr(0, 4096));
  char oldSum[20];
  std::snprintf(oldSum, sizeof oldSum, "%llx",
                static_cast<unsigned long long>(save_detail::Checksum(old)));
  dir.Write(".T.java.tamso-old-Ab12Cd", "TAMSO-OLD-COPY 1 " + std::to_string(old.size()) + " " +
                                            oldSum + " 1 0\n" + target + "\n" + old);
  MakeOld(dir.File(".T.java.tamso-old-Ab12Cd"));
  RecoveryReport r = RecoverFile(target);
  EXPECT_FALSE(r.restored);
  EXPECT_EQ(ReadFile(target), fresh.substr(0, 4096));
  EXPECT_EQ(ReadFile(r.keptCopy), old);
}

TEST(SaveRecovery, CompleteSavesAndCutOldCopiesOnlyLoseTheirDebris) {
  TempDir dir;
  const std::string old = std::string(3000, 'o'), fresh = std::string(4000, 'n');
  // Cut after the new bytes were all written: the file stays new.
  CutSave c = LeaveCutSave(dir, old, fresh, fresh);
  RecoveryReport r = RecoverFile(c.target);
  EXPECT_FALSE(r.restored);
  EXPECT_EQ(ReadFile(c.target), fresh);
  EXPECT_FALSE(std::filesystem::exists(c.copy));
  // Cut while the old copy was written: the file was not touched yet.
  c = LeaveCutSave(dir, old, fresh, old, false);
  EXPECT_FALSE(RecoverFile(c.target).restored);
  EXPECT_EQ(ReadFile(c.target), old);
  EXPECT_FALSE(std::filesystem::exists(c.copy));

  // Temporaries: a stale one of ours goes; one younger than us (a save running in
  // another instance), someone else's, and a look-alike name stay.
  std::string stale = dir.Write(".T.java.tamso-x1Y2z3", "partial");
  MakeOld(stale);
  std::string young = dir.Write(".T.java.tamso-q9W8e7", "partial");
  std::string other = dir.Write(".T.java.tamso-o1O2o3", "partial");
  MakeOld(other);
  std::string alike = dir.Write(".T.java.tamso-notours", "keep");
  MakeOld(alike);
  if (::geteuid() == 0) {
    ASSERT_EQ(::lchown(other.c_str(), testing::kNobody, testing::kNobody), 0);
  }
  r = RecoverFile(c.target);
  EXPECT_EQ(r.removed, 1);
  EXPECT_THAT(r.status, HasSubstr("Removed what a cut-short save"));
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(young));
  EXPECT_TRUE(std::filesystem::exists(alike));
  EXPECT_EQ(std::filesystem::exists(other), ::geteuid() == 0);
  // A save removes stale leftovers too.
  MakeOld(young);
  ASSERT_TRUE(WriteFileAtomically(c.target, "saved").ok);
  EXPECT_FALSE(std::filesystem::exists(young));
}

}  // namespace
}  // namespace tamso

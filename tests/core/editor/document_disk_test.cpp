// A document and its file when the file is no file, or the disk is full.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "editor/text_document.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(DocumentFile, APipeOrADeviceIsRefusedAtOnceAndTheTextKept) {
  TempDir dir;
  std::string fifo = dir.File("Pipe.java");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CLineStore store;
  store.SetText("kept\n");
  TextDocument doc(store);
  std::string error;
  EXPECT_FALSE(doc.Load(fifo, &error));
  EXPECT_EQ(error, fifo + " is a named pipe (FIFO), not a regular file.");
  EXPECT_FALSE(doc.Load("/dev/zero", &error));
  EXPECT_EQ(error, "/dev/zero is a character device, not a regular file.");
  EXPECT_EQ(store.Line(0), "kept");
}

TEST(DocumentFile, AFullDiskKeepsTheFileTheModifiedStateAndNoDebris) {
  TempDir dir;
  if (::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  struct Unmount {
    std::string dir;
    ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
  } unmount{dir.path()};
  const std::string old(300 * 1024, 'o');
  std::string path = dir.Write("Big.java", old);
  CLineStore store;
  TextDocument doc(store);
  std::string error;
  ASSERT_TRUE(doc.Load(path, &error)) << error;
  store.SetText(std::string(800 * 1024, 'n'));
  doc.SetModified(true);
  EXPECT_FALSE(doc.Save(path, &error));
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ReadFile(path), old);
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir.path()))
    names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"Big.java"});
}

}  // namespace
}  // namespace tamso

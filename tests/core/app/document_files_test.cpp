// Opening and saving documents asks first where it should, refuses what is not a
// file, and a stored project that cannot be read never stops the program starting.

#include "app/document_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/project_adapter.h"
#include "app/t2_app.h"
#include "platform/file_read.h"
#include "platform/save_recovery.h"
#include "project/project.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "test_profile.h"

namespace tamso {
namespace {

using ::testing::ElementsAre;
using testing::FakeHost;
using ::testing::HasSubstr;
using testing::TempDir;

TEST(DocumentOpen, PipesAndDevicesAreRefusedWithTheirKind) {
  TempDir dir;
  std::string fifo = dir.File("Pipe.java");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FakeHost host;
  EXPECT_FALSE(PrepareDocumentOpen(host, fifo));
  EXPECT_FALSE(PrepareDocumentOpen(host, "/dev/zero"));
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre(fifo + " is a named pipe (FIFO), not a regular file.",
                          "/dev/zero is a character device, not a regular file."));
  // A missing file passes: loading it says why it failed.
  EXPECT_TRUE(PrepareDocumentOpen(host, dir.File("Missing.java")));
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST(DocumentOpen, AsksBeforeAHugeOrBinaryFile) {
  TempDir dir;
  FakeHost host;
  std::string text = dir.Write("A.java", "class A {}\n");
  EXPECT_TRUE(PrepareDocumentOpen(host, text));
  EXPECT_TRUE(host.messages.empty());

  std::string big = dir.File("Big.java");  // sparse: no 300 MB are written
  int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_EQ(::ftruncate(fd, 300ll << 20), 0);
  ::close(fd);
  host.answers = {Answer::No};
  EXPECT_FALSE(PrepareDocumentOpen(host, big));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            big +
                " is 300.0 MB (314572800 bytes). Loading it takes long and needs much memory. "
                "Open it anyway?");
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);

  std::string bin = dir.Write("a.out", std::string("\x7f"
                                                   "ELF\x02\x01\x01\0\0\0",
                                                   10));
  host.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(PrepareDocumentOpen(host, bin));
  EXPECT_TRUE(PrepareDocumentOpen(host, bin));
  EXPECT_EQ(host.messages.back().text, bin + " looks like a binary file. Open it anyway?");
  EXPECT_EQ(host.messages.size(), 3u);
  // The sparse file is all NULs: both questions, a yes to each.
  host.answers = {Answer::Yes, Answer::Yes};
  EXPECT_TRUE(PrepareDocumentOpen(host, big));
  EXPECT_EQ(host.messages.size(), 5u);
}

// An old copy as a save cut short while rewriting path in place leaves it.
std::string LeaveOldCopy(const TempDir& dir, const std::string& p, const std::string& old,
                         const std::string& fresh) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  std::string copy =
      dir.Write(".T.java.tamso-old-Q1w2E3",
                save_detail::OldCopyHeader(p, old, fresh, st.st_dev, st.st_ino) + old);
  struct timespec t[2] = {{0, 0}, {0, 0}};  // long before this process
  ::utimensat(AT_FDCWD, copy.c_str(), t, 0);
  return copy;
}

TEST(DocumentOpen, ATornSaveIsRestoredAndSaidInTheStatusBar) {
  TempDir dir;
  const std::string old = "class Old {}\n", fresh = "class New { int a; }\n";
  std::string p = dir.Write("T.java", "");  // cut right after the file was emptied
  LeaveOldCopy(dir, p, old, fresh);
  FakeHost host;
  EXPECT_TRUE(PrepareDocumentOpen(host, p));
  EXPECT_EQ(testing::ReadFile(p), old);
  EXPECT_THAT(host.statusTexts,
              ElementsAre("The last save of " + p +
                          " was cut short: the file was restored as it was before that save."));
  EXPECT_TRUE(host.messages.empty());
}

TEST(DocumentOpen, AFileChangedAfterItsCutSaveIsOpenedAsItIsAndTheOldTextsPlaceIsSaid) {
  TempDir dir;
  const std::string old = "class Old {}\n", fresh = "class New { int a; }\n";
  std::string p = dir.Write("T.java", "");
  LeaveOldCopy(dir, p, old, fresh);
  std::ofstream(p, std::ios::binary | std::ios::trunc) << "class Newer {}\n";
  FakeHost host;
  EXPECT_TRUE(PrepareDocumentOpen(host, p));
  EXPECT_EQ(testing::ReadFile(p), "class Newer {}\n");
  ASSERT_EQ(host.messages.size(), 1u);
  const std::string& text = host.messages[0].text;
  EXPECT_THAT(text, HasSubstr("was cut short, and the file has been changed since"));
  const std::string kept = text.substr(text.rfind(' ') + 1, text.size() - text.rfind(' ') - 2);
  EXPECT_EQ(testing::ReadFile(kept), old);
  EXPECT_TRUE(host.statusTexts.empty());
}

TEST(DocumentSave, AReadOnlyFileIsSavedOnlyWhenConfirmed) {
  TempDir dir;
  FakeHost host;
  std::string p = dir.Write("R.java", "x");
  EXPECT_TRUE(ConfirmSaveOver(host, p));
  EXPECT_TRUE(ConfirmSaveOver(host, dir.File("New.java")));
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  host.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(ConfirmSaveOver(host, p));
  EXPECT_TRUE(ConfirmSaveOver(host, p));
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre(p + " is read-only. Save anyway?", p + " is read-only. Save anyway?"));
}

class NoWindows : public IAppWindows {
 public:
  bool CreateMainFrame(bool) override { return true; }
  void RegisterShellOpen() override {}
  void ShowMainFrameMaximized() override {}
  void OfferTips() override {}
  void OpenDocuments(const std::vector<std::string>&) override {}
};

TEST(StartUp, AStoredProjectThatIsNoFileIsReportedOnceAndForgotten) {
  TempDir dir;
  std::string fifo = dir.File("pipe.jap"), zero = dir.File("zero.jap");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
  const std::string cwd = std::filesystem::current_path();
  for (const std::string& last : {std::string("/dev/zero"), zero, fifo}) {
    testing::TempProfile profile;
    profile.Write("[Project]\nLast=" + last + "\n");
    for (int start = 0; start < 2; ++start) {
      FakeHost host;
      Project project(host, profile.ini());
      ProjectAdapter model(project);
      CT2App app(profile.ini(), host, model);
      NoWindows windows;
      ASSERT_TRUE(app.InitInstance(ParseAppCommandLine({}), windows)) << last;
      EXPECT_FALSE(project.IsOpen());
      if (start == 0) {
        ASSERT_EQ(host.messages.size(), 1u) << last;
        EXPECT_THAT(host.messages[0].text, HasSubstr("not a regular file."));
      } else {
        EXPECT_TRUE(host.messages.empty()) << last;  // not tried again
      }
      app.ExitInstance();
      EXPECT_EQ(profile.ini().GetString("Project", "Last", "none"), "none");
    }
  }
  std::filesystem::current_path(cwd);
}

class ThrowingProject : public IProjectModel {
 public:
  bool Create() override { return false; }
  bool Open(const std::string&) override { throw std::runtime_error("broken project"); }
  void Close() override {}
  bool IsOpen() const override { return false; }
};

TEST(StartUp, AnExceptionFromTheStoredProjectIsReportedAndStartUpGoesOn) {
  testing::TempProfile profile;
  profile.Write("[Project]\nLast=/p/odd.jap\n");
  FakeHost host;
  ThrowingProject project;
  CT2App app(profile.ini(), host, project);
  NoWindows windows;
  EXPECT_TRUE(app.InitInstance(ParseAppCommandLine({"A.java"}), windows));
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre("The project /p/odd.jap cannot be opened: broken project"));
  EXPECT_EQ(profile.ini().GetString("Project", "Last", "none"), "none");
}

}  // namespace
}  // namespace tamso

// The main window with files that could hang it, files that ask first, and a save
// cut short before: through the command line, the recent list and the save command.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QMdiArea>
#include <QStatusBar>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/source_document.h"
#include "gui_fixture.h"
#include "platform/save_recovery.h"
#include "support/temp_dir.h"

namespace tamso::gui {
namespace {

using testing::ShellTest;

TEST_F(ShellTest, PipesAndDevicesOpenNoWindowFromTheCommandLineOrTheRecentList) {
  std::string fifo = dir + "/Pipe.java";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Without the check the first of these waits for a writer that never comes.
  Start({fifo});
  QCoreApplication::processEvents();
  shell->App().RecentFiles().Add("/dev/zero");
  window()->Router().Execute(cmd::kFileMruFirst);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{fifo + " is a named pipe (FIFO), not a regular file.",
                                      "/dev/zero is a character device, not a regular file."}));
  EXPECT_TRUE(window()->MdiArea()->subWindowList().isEmpty());
  EXPECT_EQ(shell->App().RecentFiles().Count(), 0);  // the entry that did not open went
}

TEST_F(ShellTest, ABinaryLookingFileOpensOnlyWhenTheUserSaysSo) {
  Start();
  std::string bin = File("a.class", std::string("\xca\xfe\xba\xbe\0\0\0\x34", 8));
  host.answers = {Answer::No};
  EXPECT_EQ(window()->OpenDocumentFile(bin), nullptr);
  host.answers = {Answer::Yes};
  EXPECT_NE(window()->OpenDocumentFile(bin), nullptr);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>(2, bin + " looks like a binary file. Open it anyway?")));
}

TEST_F(ShellTest, AReadOnlyFileIsSavedOnlyWhenConfirmedAndStaysReadOnly) {
  Start();
  std::string path = File("R.java", "old\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  panes.back()->Type("new\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  host.answers = {Answer::No};
  EXPECT_FALSE(window()->SaveDocument(child->Doc()));
  EXPECT_TRUE(child->Doc()->IsModified());
  EXPECT_EQ(tamso::testing::ReadFile(path), "old\n");
  host.answers = {Answer::Yes};
  EXPECT_TRUE(window()->SaveDocument(child->Doc()));
  EXPECT_EQ(tamso::testing::ReadFile(path), "old\nnew\n");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_EQ(host.messages, (std::vector<std::string>(2, path + " is read-only. Save anyway?")));
}

TEST_F(ShellTest, OpeningAFileWhoseSaveWasCutRestoresItAndSaysSoInTheStatusBar) {
  Start();
  const std::string old = "class Old {}\n", fresh = "class New { int a; }\n";
  std::string path = File("T.java", "");  // cut right after the file was emptied
  std::string copy = File(".T.java.tamso-old-Zz9Yy8", "");
  {
    std::ofstream out(copy, std::ios::binary);
    struct stat st {};
    ::stat(path.c_str(), &st);
    out << save_detail::OldCopyHeader(path, old, fresh, st.st_dev, st.st_ino) << old;
  }
  struct timespec t[2] = {{0, 0}, {0, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), t, 0), 0);
  ASSERT_NE(window()->OpenDocumentFile(path), nullptr);
  EXPECT_EQ(tamso::testing::ReadFile(path), old);
  EXPECT_FALSE(window()->statusBar()->isHidden());
  EXPECT_EQ(window()->statusBar()->currentMessage().toStdString(),
            "The last save of " + path +
                " was cut short: the file was restored as it was before that save.");
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tamso::gui

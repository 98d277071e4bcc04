// Recovery journals of the main window's documents, and their offer at start-up.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <set>

#include "app/child_frame.h"
#include "app/disk_watcher.h"
#include "app/document_files.h"
#include "app/recovery_journal.h"
#include "app/recovery_keeper.h"
#include "app/source_document.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "options/options_commands.h"
#include "support/temp_dir.h"

namespace tamso::gui::testing {
namespace {

class RecoveryTest : public ShellTest {
 protected:
  RecoveryTest() { realEditors = true; }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  std::vector<std::string> JournalTexts() {
    store.Flush();
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(state.path()))
      if (auto j = DecodeJournal(tamso::testing::ReadFile(e.path().string())))
        out.push_back(j->text);
    std::sort(out.begin(), out.end());
    return out;
  }
  // A journal left by a run that has ended.
  void LeaveJournal(const std::string& name, const std::string& path, int templateIndex,
                    const std::string& text, FileIdentity disk = {}) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    JournalHeader h{child, 99, key, path, "Java7", templateIndex};
    h.disk = disk;
    state.Write(name, EncodeJournal(h, text));
  }
  tamso::testing::TempDir state;
  const std::string key = "/profile/tamso.INI";
  RecoveryStore store{state.path(), key};
};

TEST_F(RecoveryTest, AModifiedDocumentHasAJournalUntilItIsSavedOrClosed) {
  Start();
  window()->StartRecovery(store);
  RecoveryKeeper* keeper = window()->Recovery();
  const std::string path = File("A.java", "class A {}\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  keeper->Tick();
  EXPECT_TRUE(JournalTexts().empty());  // nothing unsaved

  QTest::keyClicks(EditorOf(child), "x");
  keeper->Tick();
  EXPECT_EQ(JournalTexts(), std::vector<std::string>{"xclass A {}\n"});
  QTest::keyClicks(EditorOf(child), "y");
  keeper->Tick();
  EXPECT_EQ(JournalTexts(), std::vector<std::string>{"xyclass A {}\n"});
  ASSERT_TRUE(window()->SaveDocument(child->Doc()));
  EXPECT_TRUE(JournalTexts().empty());

  // Back at the saved state by Undo: nothing unsaved, no journal.
  QTest::keyClicks(EditorOf(child), "z");
  keeper->Tick();
  EXPECT_EQ(JournalTexts().size(), 1u);
  EditorOf(child)->Undo();
  keeper->Tick();
  EXPECT_TRUE(JournalTexts().empty());

  // A new document's text is kept too; closing it without saving drops it.
  ChildFrame* fresh = window()->NewDocument(0);
  QTest::keyClicks(EditorOf(fresh), "new");
  keeper->Tick();
  EXPECT_EQ(JournalTexts().size(), 1u);
  host.answers = {Answer::No};
  window()->CloseDocument(fresh->Doc());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(JournalTexts().empty());
}

TEST_F(RecoveryTest, TheJournalFollowsTheTextThroughSavesReloadsAndLineEnds) {
  Start();
  window()->StartRecovery(store);
  RecoveryKeeper* keeper = window()->Recovery();
  // CR LF line ends and no line end after the last line: kept as Save writes them.
  const std::string path = File("B.java", "class B {\r\n  int a;\r\n}");
  ChildFrame* child = window()->OpenDocumentFile(path);
  EditorPane* pane = child->Pane();
  auto journalIsTheText = [&] {
    keeper->Tick();
    const std::vector<std::string> texts = JournalTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], pane->TextForSave());
  };
  EditorOf(child)->GoToLine(1);
  QTest::keyClicks(EditorOf(child), "x");
  QTest::keyClick(EditorOf(child), Qt::Key_Return);
  journalIsTheText();
  const std::string journal = store.JournalFile(1);
  const auto firstSize = std::filesystem::file_size(journal);
  QTest::keyClicks(EditorOf(child), "more");
  journalIsTheText();
  // The second tick appended what was typed; the text was not written again.
  EXPECT_GT(std::filesystem::file_size(journal), firstSize);
  EXPECT_LT(std::filesystem::file_size(journal), firstSize + 400);

  ASSERT_TRUE(window()->SaveDocument(child->Doc()));
  keeper->Tick();
  EXPECT_TRUE(JournalTexts().empty());
  QTest::keyClick(EditorOf(child), Qt::Key_Backspace);
  journalIsTheText();

  // Another program's version, reloaded as one undo step, then typed in.
  std::string error;
  File("B.java", "class C {\n}\n");
  ASSERT_TRUE(pane->ReloadFromFile(path, &error)) << error;
  QTest::keyClicks(EditorOf(child), "y");
  journalIsTheText();
  EditorOf(child)->Undo();
  EditorOf(child)->Undo();
  journalIsTheText();
}

TEST_F(RecoveryTest, AnEarlierRunsJournalsAreOfferedAndOpenAsModifiedTexts) {
  Start();
  window()->StartRecovery(store);
  const std::string path = File("A.java", "class A {}\n");
  LeaveJournal("1.journal", path, 0, "class A { int recovered; }\n");
  LeaveJournal("2.journal", "", 0, "class New {}\n");

  host.answers = {Answer::Cancel};  // asked again next time
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 0);
  EXPECT_EQ(store.Stale().size(), 2u);
  EXPECT_TRUE(window()->Documents().empty());

  host.answers = {Answer::Yes};
  host.messages.clear();
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 2);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find(path), std::string::npos);
  EXPECT_NE(host.messages[0].find("Java7 (new document)"), std::string::npos);
  ASSERT_EQ(window()->Documents().size(), 2u);
  for (SourceDocument* doc : window()->Documents()) EXPECT_TRUE(doc->IsModified());
  SourceDocument* doc = window()->Documents()[0];
  if (doc->PathName().empty()) doc = window()->Documents()[1];
  ChildFrame* over = doc->Views()[0];
  EXPECT_EQ(doc->PathName(), path);
  EXPECT_EQ(EditorOf(over)->Store().JoinedText("\n"), "class A { int recovered; }\n");
  // The file itself is untouched until saved; Undo shows it as it is on disk.
  EXPECT_EQ(tamso::testing::ReadFile(path), "class A {}\n");
  EditorOf(over)->Undo();
  EXPECT_EQ(EditorOf(over)->Store().JoinedText("\n"), "class A {}\n");
  EXPECT_TRUE(store.Stale().empty());
}

// The text was typed over the file as it was then; another program wrote the file
// after the crash. The user is told and chooses, and a save never goes over the newer
// file unasked.
TEST_F(RecoveryTest, AFileChangedAfterTheCrashIsSaidWithTheReloadOrKeepChoice) {
  Start();
  window()->StartRecovery(store);
  const std::string a = File("A.java", "class A {}\n");
  const std::string b = File("B.java", "class B {}\n");
  const std::string same = File("C.java", "class C {}\n");
  LeaveJournal("1.journal", a, 0, "class A { int mine; }\n", IdentityOf(a, "class A {}\n"));
  LeaveJournal("2.journal", b, 0, "class B { int mine; }\n", IdentityOf(b, "class B {}\n"));
  LeaveJournal("3.journal", same, 0, "class C { int mine; }\n", IdentityOf(same, "class C {}\n"));
  const std::string side = File(".side", "class A { int theirs; }\n");
  ASSERT_EQ(std::rename(side.c_str(), a.c_str()), 0);
  File("B.java", "class B { int theirs; }\n");

  host.answers = {Answer::Yes};
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 3);
  auto docOf = [&](const std::string& path) -> SourceDocument* {
    for (SourceDocument* d : window()->Documents())
      if (d->PathName() == path) return d;
    return nullptr;
  };
  auto button = [](QMessageBox* box, const QString& text) -> QAbstractButton* {
    for (QAbstractButton* x : box->buttons())
      if (x->text() == text) return x;
    return nullptr;
  };
  ASSERT_TRUE(docOf(a) && docOf(b) && docOf(same));
  EXPECT_EQ(window()->Disk()->Question(docOf(same)), nullptr);  // unchanged: no word
  QMessageBox* box = window()->Disk()->Question(docOf(a));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text().toStdString(), ChangedSinceJournalQuestion(a));
  ASSERT_NE(button(box, "Keep Mine"), nullptr);
  button(box, "Reload")->click();
  EXPECT_EQ(EditorOf(docOf(a)->Views()[0])->Store().JoinedText("\n"), "class A { int theirs; }\n");
  EXPECT_FALSE(docOf(a)->IsModified());

  // Unanswered, a save asks before it writes over their file.
  ASSERT_NE(window()->Disk()->Question(docOf(b)), nullptr);
  host.messages.clear();
  host.answers = {Answer::No};
  EXPECT_FALSE(window()->SaveDocument(docOf(b)));
  EXPECT_EQ(host.messages, std::vector<std::string>{ChangedBeforeSaveQuestion(b)});
  EXPECT_EQ(tamso::testing::ReadFile(b), "class B { int theirs; }\n");
  EXPECT_TRUE(docOf(b)->IsModified());
  // The unchanged file's recovered text saves without a question.
  host.messages.clear();
  EXPECT_TRUE(window()->SaveDocument(docOf(same)));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(tamso::testing::ReadFile(same), "class C { int mine; }\n");
}

// The file is there but cannot be opened: the text still shows, as a new document
// named after the file, and the open said why the file could not be opened.
TEST_F(RecoveryTest, TextWhoseFileCannotBeOpenedShowsAsANewDocument) {
  Start();
  window()->StartRecovery(store);
  const std::string fifo = dir + "/Pipe.java";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = dir + "/Folder.java";
  std::filesystem::create_directory(folder);
  LeaveJournal("1.journal", fifo, 0, "class Pipe {}\n");
  LeaveJournal("2.journal", folder, 0, "class Folder {}\n");
  host.answers = {Answer::Yes};
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 2);
  ASSERT_EQ(host.messages.size(), 3u);  // the offer, then why each file did not open
  EXPECT_NE(host.messages[1].find(fifo), std::string::npos);
  EXPECT_NE(host.messages[1].find("named pipe"), std::string::npos) << host.messages[1];
  EXPECT_EQ(host.messages[2], "Cannot open " + folder + ": it is a directory.");
  ASSERT_EQ(window()->Documents().size(), 2u);
  std::set<std::string> titles, texts;
  for (SourceDocument* doc : window()->Documents()) {
    EXPECT_TRUE(doc->PathName().empty());  // Save asks for a name
    EXPECT_TRUE(doc->IsModified());
    titles.insert(doc->Title());
    texts.insert(EditorOf(doc->Views()[0])->Store().JoinedText("\n"));
  }
  EXPECT_EQ(titles, (std::set<std::string>{"Pipe.java", "Folder.java"}));
  EXPECT_EQ(texts, (std::set<std::string>{"class Pipe {}\n", "class Folder {}\n"}));
  // They are this run's texts now: not offered again at the next start.
  EXPECT_TRUE(store.Stale().empty());
}

TEST_F(RecoveryTest, AFileTwoRunsKeptIsOneDocumentWithTheNewestTextOnTop) {
  Start();
  window()->StartRecovery(store);
  const std::string kept = File("A.java", "class A {}\n");
  const std::string gone = dir + "/Gone.java";  // deleted since: opens as a new document
  LeaveJournal("1.journal", kept, 1, "older A\n");
  LeaveJournal("2.journal", gone, 1, "older Gone\n");
  LeaveJournal("3.journal", kept, 1, "newer A\n");
  LeaveJournal("4.journal", gone, 1, "newer Gone\n");
  // Written within one second: the order is told by the nanoseconds.
  const auto base = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (int i = 1; i <= 4; ++i)
    std::filesystem::last_write_time(state.File(std::to_string(i) + ".journal"),
                                     base + std::chrono::nanoseconds(i * 1000));

  host.answers = {Answer::Yes};
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 2);
  ASSERT_EQ(host.messages.size(), 1u);
  const std::string& q = host.messages[0];
  EXPECT_NE(q.find("Unsaved text of 2 documents were kept"), std::string::npos) << q;
  EXPECT_NE(q.find(kept + " (2 versions)"), std::string::npos) << q;
  EXPECT_NE(q.find(gone + " (2 versions)"), std::string::npos) << q;
  ASSERT_EQ(window()->Documents().size(), 2u);
  for (SourceDocument* doc : window()->Documents()) {
    CSourceEditor* editor = EditorOf(doc->Views()[0]);
    const bool isKept = doc->PathName() == kept;
    EXPECT_TRUE(isKept || doc->PathName() == gone);
    EXPECT_EQ(editor->Store().JoinedText("\n"), isKept ? "newer A\n" : "newer Gone\n");
    editor->Undo();
    EXPECT_EQ(editor->Store().JoinedText("\n"), isKept ? "older A\n" : "older Gone\n");
  }
  EXPECT_TRUE(store.Stale().empty());
}

TEST_F(RecoveryTest, AfterACrashTheRecoveryQuestionComesAloneAndTheTipsWaitForALaterStart) {
  LeaveJournal("1.journal", "", 0, "class Lost {}\n");
  // Started as the program starts: the tips are offered, then the journals.
  beforeStart = [this](ShellApplication& s) { InstallOptionsCommands(s, *profile, host, true); };
  Start();
  window()->StartRecovery(store);
  std::vector<QString> dialogs;  // real dialogs that came up, closed at once
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&dialogs] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialogs.push_back(d->windowTitle());
      d->reject();
    }
  });
  watcher.start();
  host.answers = {Answer::No};
  bool offered = false;
  QTimer::singleShot(0, window(), [this, &offered] {
    window()->Recovery()->OfferRecovery();
    offered = true;
  });
  while (!offered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  watcher.stop();
  EXPECT_TRUE(dialogs.empty()) << dialogs.front().toStdString();
  ASSERT_EQ(host.messages.size(), 1u);  // the recovery question alone
  EXPECT_NE(host.messages[0].find("did not exit cleanly"), std::string::npos) << host.messages[0];

  // No discarded the journals: the next start offers the tips as usual.
  shell.reset();
  host.messages.clear();
  Start();
  window()->StartRecovery(store);
  watcher.start();
  offered = false;
  QTimer::singleShot(0, window(), [this, &offered] {
    window()->Recovery()->OfferRecovery();
    offered = true;
  });
  while (!offered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  watcher.stop();
  EXPECT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(RecoveryTest, NoDiscardsTheJournals) {
  Start();
  window()->StartRecovery(store);
  LeaveJournal("1.journal", "", 0, "lost on purpose");
  host.answers = {Answer::No};
  EXPECT_EQ(window()->Recovery()->OfferRecovery(), 0);
  EXPECT_TRUE(store.Stale().empty());
  EXPECT_TRUE(window()->Documents().empty());
}

}  // namespace
}  // namespace tamso::gui::testing

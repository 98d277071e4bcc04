#include "app/recovery_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::TempDir;

std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s + "\r\n\r";
}

TEST(RecoveryJournal, EncodingKeepsEveryByteAndRefusesADamagedJournal) {
  JournalHeader h{42, 777, "/p/tamso.INI", "/home/me/odd\nname %0A.java", "Java1", 3};
  const std::string bytes = EncodeJournal(h, AllBytes());
  auto j = DecodeJournal(bytes);
  ASSERT_TRUE(j);
  EXPECT_EQ(j->text, AllBytes());
  EXPECT_EQ(j->header.path, h.path);
  EXPECT_EQ(j->header.title, "Java1");
  EXPECT_EQ(j->header.pid, 42);
  EXPECT_EQ(j->header.startTime, 777u);
  EXPECT_EQ(j->header.templateIndex, 3);
  EXPECT_FALSE(DecodeJournal(bytes.substr(0, bytes.size() - 1)));  // cut short
  EXPECT_FALSE(DecodeJournal(bytes + "x"));
  EXPECT_FALSE(DecodeJournal("not a journal"));
  EXPECT_FALSE(DecodeJournal(""));
}

// A journal remembers the file as its document knew it, so that a file another
// program changed after the crash is told apart from the one the text was typed over.
TEST(RecoveryJournal, AFileChangedAfterTheJournalWasWrittenIsToldApart) {
  TempDir t;
  const std::string path = t.Write("A.java", "class A {}\n");
  JournalHeader h{42, 777, "/p/tamso.INI", path, "A.java", 0};
  h.disk = IdentityOf(path, "class A {}\n");
  auto j = DecodeJournal(EncodeJournal(h, "class A { int typed; }\n"));
  ASSERT_TRUE(j);
  EXPECT_TRUE(j->header.disk.known);
  EXPECT_EQ(j->header.disk.inode, h.disk.inode);
  EXPECT_EQ(j->header.disk.mtimeNs, h.disk.mtimeNs);
  EXPECT_EQ(j->header.disk.hash, h.disk.hash);
  EXPECT_FALSE(ChangedSinceJournal(*j));
  JournalHeader big = h;
  big.disk.hash = ~0ull;  // twenty digits
  EXPECT_EQ(DecodeJournal(EncodeJournal(big, "x"))->header.disk.hash, ~0ull);

  // Written in place, or replaced by a rename: changed.
  t.Write("A.java", "class A { int theirs; }\n");
  EXPECT_TRUE(ChangedSinceJournal(*j));
  EXPECT_EQ(ChangedSinceJournalQuestion(path),
            path +
                " was changed by another program after the unsaved text was kept.\n"
                "Reload it and lose the recovered text, or keep the recovered text?");
  // A new document's journal, and one of an earlier version without the file's
  // identity, have nothing to compare with.
  JournalHeader plain{42, 777, "/p/tamso.INI", path, "A.java", 0};
  j = DecodeJournal(EncodeJournal(plain, "x"));
  ASSERT_TRUE(j);
  EXPECT_FALSE(j->header.disk.known);
  EXPECT_FALSE(ChangedSinceJournal(*j));
  // A damaged identity line is no identity.
  std::string bytes = EncodeJournal(h, "x");
  bytes.replace(bytes.find("disk=") + 5, 1, "z");
  j = DecodeJournal(bytes);
  ASSERT_TRUE(j);
  EXPECT_FALSE(j->header.disk.known);
}

TEST(RecoveryJournal, AJournalLivesWhileItsDocumentHasUnsavedEdits) {
  TempDir t;
  const std::string dir = t.path() + "/state/tamso/recovery";
  RecoveryStore store(dir, "/p/tamso.INI");
  store.Keep(1, {0, 0, "", "/x/A.java", "A.java", 0}, "first");
  store.Keep(1, {0, 0, "", "/x/A.java", "A.java", 0}, "second");
  store.Keep(2, {0, 0, "", "", "Java1", 0}, "new one");
  store.Flush();
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(store.JournalFile(1).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  auto j = DecodeJournal(testing::ReadFile(store.JournalFile(1)));
  ASSERT_TRUE(j);
  EXPECT_EQ(j->text, "second");
  EXPECT_EQ(j->header.pid, static_cast<long>(::getpid()));
  EXPECT_EQ(j->header.instanceKey, "/p/tamso.INI");
  // This process is alive: its journals are not another run's to recover.
  EXPECT_TRUE(store.Stale().empty());

  // A save drops the journal, even with a write of it still queued.
  store.Keep(1, {0, 0, "", "/x/A.java", "A.java", 0}, "third");
  store.Drop(1);
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(store.JournalFile(1)));
  EXPECT_TRUE(std::filesystem::exists(store.JournalFile(2)));
  store.DropAll();  // a clean exit
  EXPECT_TRUE(std::filesystem::is_empty(dir));

  RecoveryStore off("", "/p/tamso.INI");  // no folder: keeps nothing, finds nothing
  off.Keep(1, {}, "x");
  off.Flush();
  EXPECT_TRUE(off.Stale().empty());
}

EditLog::Batch Changes(std::string_view base, std::vector<TextEdit> edits = {}) {
  EditLog::Batch b;
  if (!base.empty()) {
    b.newBase = true;
    b.base = MakeBaseText(base);
  }
  b.edits = std::move(edits);
  return b;
}

TEST(RecoveryJournal, AnEditJournalGivesTheTextAsItsLastWholeRecordLeftIt) {
  JournalHeader h{42, 777, "/p/tamso.INI", "/x/A.java", "A.java", 0};
  h.eol = "\r\n";
  h.finalLineEnd = false;
  const std::string first = EncodeEditJournal(h, "class A {\r\n}\r\n", {{0, 9, 0, "\n  int a;"}});
  h.title = "B.java";
  const std::string second =
      EncodeJournalRecord(h, std::vector<TextEdit>{{1, 0, 8, "  int b"}, {2, 0, 0, "// end"}});
  auto j = DecodeJournal(first + second);
  ASSERT_TRUE(j);
  EXPECT_EQ(j->text, "class A {\r\n  int b\r\n// end}");
  EXPECT_EQ(j->header.title, "B.java");
  // A crash while the last record was written: cut anywhere, or garbled, the text is
  // the one the record before left.
  const std::string before = "class A {\r\n  int a;\r\n}";
  for (std::size_t cut = 0; cut < second.size(); cut += 7) {
    j = DecodeJournal(first + second.substr(0, cut));
    ASSERT_TRUE(j);
    EXPECT_EQ(j->text, before) << cut;
    EXPECT_EQ(j->header.title, "A.java");
  }
  std::string garbled = second;
  garbled[garbled.size() - 3] ^= 1;
  EXPECT_EQ(DecodeJournal(first + garbled)->text, before);
  // An edit that does not fit the text ends the replay there, never a wrong text.
  EXPECT_EQ(
      DecodeJournal(first + EncodeJournalRecord(h, std::vector<TextEdit>{{9, 0, 0, "x"}}))->text,
      before);
  // A base cut short is no journal at all.
  EXPECT_FALSE(DecodeJournal(first.substr(0, first.find("}"))));
}

TEST(RecoveryJournal, AFollowedDocumentsJournalGrowsByItsEditsAndIsRewrittenRarely) {
  TempDir t;
  RecoveryStore store(t.path(), "/p/tamso.INI");
  const std::string file = store.JournalFile(3);
  JournalHeader h{0, 0, "", "/x/Big.java", "Big.java", 0};
  const std::string line(99, 'x');
  std::string base;
  for (int i = 0; i < 20000; ++i) base += line + "\n";  // 2 MB
  auto size = [&] { return std::filesystem::file_size(file); };

  store.Record(3, h, Changes(base), false);  // loaded: nothing to keep
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(file));

  store.Record(3, h, Changes("", {{5, 0, 0, "typed"}}), true);
  store.Flush();
  const auto whole = size();
  EXPECT_GT(whole, base.size());
  store.Record(3, h, Changes("", {{6, 0, 3, "more"}}), true);
  store.Flush();
  EXPECT_LT(size() - whole, 300u);  // appended, not rewritten
  auto j = DecodeJournal(testing::ReadFile(file));
  ASSERT_TRUE(j);
  std::string expect = base;
  expect.insert(5 * 100, "typed");
  expect.replace(6 * 100 + 5, 3, "more");
  EXPECT_EQ(j->text, expect);

  // Undone back to the saved text: the journal goes, the edits are still followed.
  store.Record(3, h, Changes("", {{0, 0, 1, ""}}), false);
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(file));
  store.Record(3, h, Changes("", {{0, 0, 0, "y"}}), true);
  store.Flush();
  expect.replace(0, 1, "y");
  EXPECT_EQ(DecodeJournal(testing::ReadFile(file))->text, expect);

  // Edits grown past 4 MB (or half the text) fold into a new base, written whole once.
  const std::string paste(2200 * 1024, 'p');
  store.Record(3, h, Changes("", {{1, 0, 0, paste}, {2, 0, 0, paste}}), true);
  store.Flush();
  expect.insert(100, paste);
  expect.insert(200 + paste.size(), paste);
  j = DecodeJournal(testing::ReadFile(file));
  ASSERT_TRUE(j);
  EXPECT_EQ(j->text, expect);
  EXPECT_EQ(testing::ReadFile(file).find("edits "), std::string::npos);

  store.Drop(3);  // closed
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(RecoveryJournal, OnlyJournalsOfGoneRunsWithTheSameProfileAreOffered) {
  TempDir t;
  RecoveryStore store(t.path(), "/p/tamso.INI");
  // A process that has ended.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  const std::uint64_t initStart = ProcessStartTime(1);
  ASSERT_NE(initStart, 0u);

  auto put = [&](const std::string& name, long pid, std::uint64_t start, const std::string& key,
                 const std::string& text) {
    t.Write(name, EncodeJournal({pid, start, key, "/x/" + name, name, 0}, text));
  };
  put("gone.journal", child, 12345, "/p/tamso.INI", "recover me");
  put("live.journal", 1, initStart, "/p/tamso.INI", "a running instance's");
  put("reused.journal", 1, initStart + 1, "/p/tamso.INI", "pid reused by another process");
  put("other.journal", child, 12345, "/q/other.INI", "another profile's");
  t.Write("torn.journal", "TAMSO-RECOVERY 1\npid=1\n");
  t.Write(std::to_string(child) + "-12345-1.journal.Ab12Cd", "temporary");

  std::vector<Journal> stale = store.Stale();
  ASSERT_EQ(stale.size(), 2u);
  std::vector<std::string> texts{stale[0].text, stale[1].text};
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"pid reused by another process", "recover me"}));
  EXPECT_FALSE(std::filesystem::exists(t.File(std::to_string(child) + "-12345-1.journal.Ab12Cd")));
  EXPECT_NE(RecoveryQuestion(stale).find("/x/gone.journal"), std::string::npos);
  RecoveryStore::Discard(stale[0]);
  EXPECT_EQ(store.Stale().size(), 1u);
}

// Another user's journal would put their text into our documents (and under our
// name on disk): only our own plain files in a folder of ours alone are taken.
TEST(RecoveryJournal, OnlyOurOwnJournalsInAFolderOfOursAloneAreTaken) {
  TempDir t;
  const std::string dir = t.path() + "/recovery";
  ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
  RecoveryStore store(dir, "/p/tamso.INI");
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  auto put = [&](const std::string& name, const std::string& text) {
    std::ofstream(dir + "/" + name, std::ios::binary)
        << EncodeJournal({child, 12345, "/p/tamso.INI", "/x/" + name, name, 0}, text);
    return dir + "/" + name;
  };
  put("mine.journal", "mine");
  t.Write("elsewhere.journal", EncodeJournal({child, 12345, "/p/tamso.INI", "/x/e", "e", 0}, "x"));
  ASSERT_EQ(::symlink(t.File("elsewhere.journal").c_str(), (dir + "/link.journal").c_str()), 0);
  // Our own folder with a loose mode is tightened to 0700 and used.
  std::vector<Journal> stale = store.Stale();
  ASSERT_EQ(stale.size(), 1u);
  EXPECT_EQ(stale[0].text, "mine");
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  if (::geteuid() != 0) GTEST_SKIP() << "giving files to another user needs root";
  const uid_t nobody = 65534;
  const std::string theirs = put("theirs.journal", "theirs");
  ASSERT_EQ(::chown(theirs.c_str(), nobody, nobody), 0);
  stale = store.Stale();
  ASSERT_EQ(stale.size(), 1u);
  EXPECT_EQ(stale[0].text, "mine");
  // A folder of another user: nothing in it is taken, and nothing is written there.
  ASSERT_EQ(::chown(dir.c_str(), nobody, nobody), 0);
  EXPECT_TRUE(store.Stale().empty());
  store.Keep(7, {0, 0, "", "/x/A.java", "A.java", 0}, "typed");
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(store.JournalFile(7)));
}

TEST(RecoveryJournal, AFolderThatCannotBeMadeIsSaidOnceAndAnotherIsUsed) {
  TempDir t;
  const std::string blocked = t.Write("state", "a file where a folder should be") + "/recovery";
  const std::string fallback = t.path() + "/run/tamso/recovery";
  std::string warning;
  EXPECT_EQ(ChooseRecoveryDir(blocked, {blocked, fallback}, &warning), fallback);
  EXPECT_EQ(warning, "Unsaved text cannot be kept for recovery in " + blocked +
                         ": Not a directory.\nIt is kept in " + fallback + " instead.");
  struct stat st {};
  ASSERT_EQ(::stat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // Nowhere to go: journals are off, and that is said too.
  warning.clear();
  EXPECT_EQ(ChooseRecoveryDir(blocked, {blocked}, &warning), "");
  EXPECT_EQ(warning, "Unsaved text cannot be kept for recovery in " + blocked +
                         ": Not a directory.\nIt is not kept for recovery in this session.");
  // The usual folder works: no word.
  warning.clear();
  EXPECT_EQ(ChooseRecoveryDir(fallback, {}, &warning), fallback);
  EXPECT_EQ(warning, "");
  EXPECT_EQ(RecoveryDirFallbacks("/run/user/5"),
            (std::vector<std::string>{"/run/user/5/tamso/recovery",
                                      "/tmp/tamso-" + std::to_string(::geteuid()) + "/recovery"}));
}

TEST(RecoveryJournal, FolderFollowsXdgState) {
  EXPECT_EQ(DefaultRecoveryDir("/s", "/home/me"), "/s/tamso/recovery");
  EXPECT_EQ(DefaultRecoveryDir("", "/home/me"), "/home/me/.local/state/tamso/recovery");
  EXPECT_EQ(DefaultRecoveryDir("rel", ""), "");
}

}  // namespace
}  // namespace tamso

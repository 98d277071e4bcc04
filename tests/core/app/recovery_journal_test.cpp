#include "app/recovery_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

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

TEST(RecoveryJournal, FolderFollowsXdgState) {
  EXPECT_EQ(DefaultRecoveryDir("/s", "/home/me"), "/s/tamso/recovery");
  EXPECT_EQ(DefaultRecoveryDir("", "/home/me"), "/home/me/.local/state/tamso/recovery");
  EXPECT_EQ(DefaultRecoveryDir("rel", ""), "");
}

}  // namespace
}  // namespace tamso

#include <gtest/gtest.h>

#include <fstream>

#include "../jobs/build_test_support.h"
#include "jobs/compile.h"
#include "platform/ini_file.h"
#include "tools/find_in_files.h"

namespace tamso {
namespace {

using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;

struct FindRig {
  TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  std::unique_ptr<FindInFiles> find = std::make_unique<FindInFiles>(host, profile, slot, ui);
  std::mutex m;
  std::condition_variable cv;
  int finishedCalls = 0;
  bool anyHits = false;

  bool Search(const FindSettings& s) {
    bool started = false;
    ui.Run([&] {
      started = find->SearchNow(s, false, {}, [this](bool hits) {
        std::lock_guard<std::mutex> lock(m);
        ++finishedCalls;
        anyHits = hits;
        cv.notify_all();
      });
    });
    if (started) {
      std::unique_lock<std::mutex> lock(m);
      EXPECT_TRUE(cv.wait_for(lock, testing::kGenerous, [&] { return finishedCalls > 0; }));
      finishedCalls = 0;
    }
    return started;
  }
};

TEST(FindInFilesFlow, ChecksStoreTheInputAndTheOutputReadsAsBefore) {
  FindRig rig;
  // Stored as typed before any check; the checks go in order.
  FindSettings s{"", "", "", true};
  EXPECT_FALSE(rig.Search(s));
  s.text = "paint  ";
  EXPECT_FALSE(rig.Search(s));
  s.directory = rig.dir.Path() + " ";
  EXPECT_FALSE(rig.Search(s));
  EXPECT_EQ(rig.host.MessageTexts(),
            (std::vector<std::string>{"Find what ?", "You must supply a starting directory",
                                      "You must supply a filter (*.* will do)"}));
  FindSettings stored = LoadFindSettings(rig.profile, "unused");
  EXPECT_EQ(stored.text, "paint  ");
  EXPECT_EQ(stored.filter, "");
  EXPECT_TRUE(stored.recurse);

  // The trailing blanks go before the search: "paint  " finds "paint;".
  std::ofstream(rig.dir / "A.java") << "class A {\n  void paint;\n}\n";
  s.filter = "*.java";
  ASSERT_TRUE(rig.Search(s));
  EXPECT_TRUE(rig.anyHits);
  EXPECT_EQ(rig.host.watched.Text(),
            "Tamso for Java(TM\nFind in files\n--------------------------------\n==> " +
                rig.dir.Path() +
                "/A.java:2:\n  void paint;\n--------------------------------\n"
                "Files scanned 1, hits: 1\n"
                "Dbl-Click on line numbers to go to the source");
  EXPECT_TRUE(rig.slot.idle);
  // The end of the run is brought on screen at once, not with the next refresh.
  const std::string log = rig.host.watched.Log();
  EXPECT_EQ(log.substr(log.rfind("<line>")), "<line><shown>");
  EXPECT_EQ(LoadFindSettings(rig.profile, "unused").filter, "*.java");  // stored as it ran

  // Nothing found: the totals, then "No hits".
  s.text = "nowhere";
  ASSERT_TRUE(rig.Search(s));
  EXPECT_FALSE(rig.anyHits);
  EXPECT_NE(rig.host.watched.Text().find("Files scanned 1, hits: 0"), std::string::npos);
  EXPECT_EQ(rig.host.messages.back().text, kNoHits);

  // While a build runs the search waits its turn.
  rig.slot.idle = false;
  EXPECT_FALSE(rig.Search(s));
  EXPECT_EQ(rig.host.messages.back().text, kBusyMessage);

  EXPECT_EQ(DefaultSearchDirectory("/p/proj", "/home/u"), "/p/proj");
  EXPECT_EQ(DefaultSearchDirectory("", "/home/u"), "/home/u");
  EXPECT_EQ(LoadFindSettings(IniFile(rig.dir / "none.INI"), "/home/u").directory, "/home/u");
}

TEST(FindInFilesFlow, StopEndsTheSearchAndNothingIsWrittenAfterIt) {
  FindRig rig;
  for (int i = 0; i < 300; ++i)
    std::ofstream(rig.dir / ("F" + std::to_string(i) + ".java")) << "hit\n";
  FindSettings s{"hit", rig.dir.Path(), "*.java", false};
  // Stop comes before the user-interface thread can take anything the worker sent,
  // however fast the worker is.
  rig.ui.Run([&] {
    ASSERT_TRUE(rig.find->SearchNow(s, false, {}, [](bool) { FAIL(); }));
    rig.find->Stop();
  });
  const std::string after = rig.host.watched.Text();
  EXPECT_NE(after.find("\nTerminated at user request."), std::string::npos);
  EXPECT_TRUE(rig.slot.idle);
  rig.find.reset();  // waits for the worker
  rig.ui.Run([] {});
  EXPECT_EQ(rig.host.watched.Text(), after);
}

}  // namespace
}  // namespace tamso

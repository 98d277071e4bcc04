#include "options/tips.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <fstream>
#include <optional>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso::testing {
namespace {

class TipsTest : public ::testing::Test {
 protected:
  std::string WriteTips(const std::string& text, std::time_t mtime = 1700000000) {
    std::string p = dir.Write("tips.txt", text);
    SetTime(p, mtime);
    return p;
  }
  static void SetTime(const std::string& p, std::time_t mtime) {
    struct timeval tv[2] = {{mtime, 0}, {mtime, 0}};
    ::utimes(p.c_str(), tv);
  }
  // The tips one reader shows: its first and then n-1 more.
  std::vector<std::string> Tips(int n) {
    TipsReader r(profile, dir.File("tips.txt"));
    std::vector<std::string> v{r.Tip()};
    for (int i = 1; i < n; ++i) {
      r.Next();
      v.push_back(r.Tip());
    }
    return v;
  }
  std::string Get(const char* key) { return profile.GetString("WhatsCool", key, "<none>"); }
  TempDir dir;
  IniFile profile{dir.File("tamso.INI")};
};

TEST_F(TipsTest, TheShippedClassBrowserTipNamesTheWayItReallyGoesThere) {
  // A single click in the class browser only selects; a double click or Enter goes.
  const std::string shipped = std::string(TAMSO_SOURCE_DIR) + "/res/data/tips.txt";
  std::ifstream in(shipped);
  std::string line, browserTip;
  while (std::getline(in, line))
    if (line.starts_with("The class browser beside each Java editor")) browserTip = line;
  EXPECT_NE(browserTip.find("double-click one, or press Enter on it, to go there."),
            std::string::npos)
      << browserTip;
}

TEST_F(TipsTest, TimeStampHasTheTwentyFourCharacterForm) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(TimeStampText(0), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(TimeStampText(1700000000), "Tue Nov 14 22:13:20 2023");
  EXPECT_EQ(TimeStampText(1700000000).size(), 24u);
}

TEST_F(TipsTest, SkippedLinesAreNeverShownAndTheLastTipWrapsToTheFirst) {
  WriteTips("; comment\n\tindented\n  blank led\n\nFirst tip\r\nSecond tip\n;x\nThird");
  EXPECT_EQ(Tips(5), (std::vector<std::string>{"First tip", "Second tip", "Third", "First tip",
                                               "Second tip"}));
}

TEST_F(TipsTest, EachReaderMovesOnByOneTipAndStoresWhereItStopped) {
  WriteTips("A\nB\nC\n");
  EXPECT_EQ(Tips(1)[0], "A");
  EXPECT_EQ(Get("FilePos"), "2");
  EXPECT_EQ(Tips(1)[0], "B");
  EXPECT_EQ(Tips(2), (std::vector<std::string>{"C", "A"}));
  EXPECT_EQ(Tips(1)[0], "B");
  EXPECT_EQ(Get("TimeStamp"), TimeStampText(1700000000));
}

TEST_F(TipsTest, AChangedFileStartsAgainAtItsFirstTip) {
  WriteTips("A\nB\nC\n");
  Tips(2);
  EXPECT_EQ(Tips(1)[0], "C");
  WriteTips("New\nOther\nA\nB\nC\n", 1700000100);
  EXPECT_EQ(Tips(1)[0], "New");
  EXPECT_EQ(Get("TimeStamp"), TimeStampText(1700000100));
}

TEST_F(TipsTest, HostilePositionsAndLongLinesGiveWholeTips) {
  const std::string longTip(5000, 'x');
  WriteTips("Alpha beta\n" + longTip + "\nGamma\n");
  profile.WriteString("WhatsCool", "TimeStamp", TimeStampText(1700000000));
  // Inside the first line: the next whole line, never the rest of one.
  profile.WriteInt("WhatsCool", "FilePos", 3);
  EXPECT_EQ(Tips(1)[0], longTip);  // a long line is one tip, not pieces
  for (const char* pos : {"-5", "999999999", "nonsense", "0x7fffffff"}) {
    profile.WriteString("WhatsCool", "FilePos", pos);
    const std::string tip = Tips(1)[0];
    EXPECT_TRUE(tip == "Alpha beta" || tip == "Gamma") << pos << ": " << tip.substr(0, 20);
  }
}

TEST_F(TipsTest, AFileWithoutTipsEndsTheSearch) {
  for (const char* text : {"", ";only\n\n  skipped\n", "\n\n\n"}) {
    WriteTips(text);
    TipsReader r(profile, dir.File("tips.txt"));
    EXPECT_EQ(r.Tip(), kNoTipsText) << text;
    r.Next();
    EXPECT_EQ(r.Tip(), kNoTipsText) << text;
  }
}

TEST_F(TipsTest, MissingOrUnreadableFilesSayWhyAndLeaveThePositionAlone) {
  profile.WriteInt("WhatsCool", "FilePos", 7);
  {
    TipsReader r(profile, dir.File("tips.txt"));
    EXPECT_TRUE(r.Missing());
    EXPECT_FALSE(r.HasFile());
    EXPECT_EQ(r.Tip(), kNoTipsFileText);
    r.Next();
    EXPECT_EQ(r.Tip(), kNoTipsFileText);
  }
  {
    TipsReader none(profile, "");
    EXPECT_TRUE(none.Missing());
  }
  ::mkdir(dir.File("tips.txt").c_str(), 0755);
  {
    TipsReader r(profile, dir.File("tips.txt"));
    EXPECT_FALSE(r.Missing());
    EXPECT_FALSE(r.HasFile());
    EXPECT_EQ(r.Tip().rfind(kTipsTroubleText, 0), 0u) << r.Tip();
  }
  EXPECT_EQ(Get("FilePos"), "7");
}

TEST_F(TipsTest, StartUpIsTheInverseOfTheBoxAndWrittenOnlyByClose) {
  WriteTips("A\nB\n");
  {
    TipsReader r(profile, dir.File("tips.txt"));
    EXPECT_TRUE(r.ShowAtStartUp());
  }
  EXPECT_EQ(Get("StartUp"), "<none>");
  {
    TipsReader r(profile, dir.File("tips.txt"));
    r.Close(false);
  }
  EXPECT_EQ(Get("StartUp"), "1");
  TipsReader r(profile, dir.File("tips.txt"));
  EXPECT_FALSE(r.ShowAtStartUp());
  r.Close(true);
  EXPECT_EQ(Get("StartUp"), "0");
}

}  // namespace
}  // namespace tamso::testing

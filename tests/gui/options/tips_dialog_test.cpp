#include "options/tips_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso::gui {
namespace {

using tamso::testing::TempDir;

class TipsDialogTest : public ::testing::Test {
 protected:
  std::string Get(const char* key) { return profile.GetString("WhatsCool", key, "<none>"); }
  // Closes the modal dialog that is about to run, as the user would with "Close"
  // (or with Escape when escape is set), after recording its tip.
  void CloseNextModal(bool escape = false) {
    QTimer::singleShot(0, qApp, [this, escape] {
      auto* d = qobject_cast<TipsDialog*>(QApplication::activeModalWidget());
      if (!d) return;
      shownTips.push_back(d->TipLabel()->text().toStdString());
      if (escape)
        d->reject();
      else
        d->findChild<QPushButton*>("1")->click();
    });
  }
  TempDir dir;
  IniFile profile{dir.File("tamso.INI")};
  std::string tips = dir.Write("tips.txt", "; tips\nFirst \xC3\xA9 tip\nSecond tip\n");
  std::vector<std::string> shownTips;
};

TEST_F(TipsDialogTest, NextItemStepsAndWrapsAndCloseRemembersTheBox) {
  {
    TipsDialog dialog(profile, tips);
    EXPECT_EQ(dialog.windowTitle(), "What's Cool");
    EXPECT_EQ(dialog.TipLabel()->text(), QString::fromUtf8("First \xC3\xA9 tip"));
    auto* next = dialog.findChild<QPushButton*>("1002");
    auto* box = dialog.findChild<QCheckBox*>("1001");
    ASSERT_TRUE(next && box);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(box->isChecked());
    next->click();
    EXPECT_EQ(dialog.TipLabel()->text(), "Second tip");
    next->click();
    EXPECT_EQ(dialog.TipLabel()->text(), QString::fromUtf8("First \xC3\xA9 tip"));
    box->setChecked(false);
    dialog.reject();  // Escape: the box is not remembered
  }
  EXPECT_EQ(Get("StartUp"), "<none>");
  {
    TipsDialog dialog(profile, tips);
    EXPECT_EQ(dialog.TipLabel()->text(), "Second tip");  // the next one after the last shown
    dialog.findChild<QCheckBox*>("1001")->setChecked(false);
    dialog.findChild<QPushButton*>("1")->click();
  }
  EXPECT_EQ(Get("StartUp"), "1");
}

TEST_F(TipsDialogTest, StartUpShowsOnlyWhenWantedButAlwaysMovesOn) {
  CloseNextModal();
  EXPECT_TRUE(OfferTipsAtStartUp(nullptr, profile, tips));
  ASSERT_EQ(shownTips.size(), 1u);
  profile.WriteInt("WhatsCool", "StartUp", 1);
  const std::string before = Get("FilePos");
  EXPECT_FALSE(OfferTipsAtStartUp(nullptr, profile, tips));
  EXPECT_NE(Get("FilePos"), before);  // moved on without showing
  // A missing file shows nothing at start-up, but says so when asked for.
  profile.WriteInt("WhatsCool", "StartUp", 0);
  EXPECT_FALSE(OfferTipsAtStartUp(nullptr, profile, dir.File("none.txt")));
  TipsDialog missing(profile, dir.File("none.txt"));
  EXPECT_EQ(missing.TipLabel()->text(), "Tips file does not exist in the prescribed directory");
  EXPECT_FALSE(missing.findChild<QPushButton*>("1002")->isEnabled());
  CloseNextModal(true);
  ShowTipsDialog(nullptr, profile, tips);
  EXPECT_EQ(shownTips.size(), 2u);
}

}  // namespace
}  // namespace tamso::gui

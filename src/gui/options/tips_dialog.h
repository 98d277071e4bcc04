#pragma once
// The "What's Cool" dialog: one tip at a time from the tips file, with "Next Item",
// the "Show on StartUp" box and "Close".

#include <QDialog>
#include <memory>
#include <string>

#include "options/tips.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tamso::gui {

class TipsDialog : public QDialog {
  Q_OBJECT
 public:
  // Reads the first tip at once; the position is stored when the dialog goes.
  TipsDialog(IniFile& profile, const std::string& tipsPath, QWidget* parent = nullptr);
  ~TipsDialog() override;

  TipsReader& Reader() { return *reader_; }
  QLabel* TipLabel() const { return tip_; }
  // "Close": the box is remembered for the next start.
  void accept() override;

 private:
  void ShowTip();
  std::unique_ptr<TipsReader> reader_;
  QLabel* tip_ = nullptr;
  QCheckBox* startUp_ = nullptr;
  QPushButton* next_ = nullptr;
};

// Command 119 and the Help menu's tips: the dialog shown modally (with a missing
// file it says so). tipsPath "" looks the file up as data files are found.
void ShowTipsDialog(QWidget* parent, IniFile& profile, const std::string& tipsPath = {});

// Start-up: the next tip is taken (and the position moved on) every time; the
// dialog shows only when "Show on StartUp" is on and there is a tips file to read.
// Returns whether it was shown.
bool OfferTipsAtStartUp(QWidget* parent, IniFile& profile, const std::string& tipsPath = {});

}  // namespace tamso::gui

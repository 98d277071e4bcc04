#pragma once
// The "Using Java Help" dialog (the folder of the Java API documentation) and the
// list Java Search offers when a name has several pages.

#include <QDialog>
#include <string>
#include <vector>

#include "help/help_commands.h"

class QLineEdit;
class QListWidget;

namespace tamso::gui {

class UsingHelpDialog : public QDialog {
  Q_OBJECT
 public:
  UsingHelpDialog(HelpCommands& help, QWidget* parent = nullptr);
  QLineEdit* DirEdit() const { return edit_; }
  void accept() override;

 private:
  void Browse();
  HelpCommands& help_;
  QLineEdit* edit_;
};

class HitListDialog : public QDialog {
  Q_OBJECT
 public:
  HitListDialog(const std::string& keyword, const std::vector<const DocEntry*>& hits,
                QWidget* parent = nullptr);
  QListWidget* List() const { return list_; }
  // The row chosen, or -1.
  int Chosen() const;

 private:
  QListWidget* list_;
};

// Pages open in the browser of "Browser"/"Path"; several hits are offered in the list.
class QtHelpUi : public IHelpUi {
 public:
  QtHelpUi(const IniFile& profile, IHost& host) : profile_(profile), host_(host) {}
  bool OpenUrl(const std::string& url) override;
  int ChooseHit(const std::string& keyword, const std::vector<const DocEntry*>& hits) override;

 private:
  const IniFile& profile_;
  IHost& host_;
};

}  // namespace tamso::gui

#include "editor/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamso::gui {

FindReplaceDialog::FindReplaceDialog(bool withReplace, const QString& selectedText, QWidget* parent)
    : QDialog(parent), withReplace_(withReplace) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(withReplace ? tr("Replace") : tr("Find"));

  auto* fields = new QGridLayout;
  findWhat_ = new QLineEdit(selectedText, this);
  findWhat_->setObjectName(QStringLiteral("findWhat"));
  auto* findLabel = new QLabel(tr("Fi&nd what:"), this);
  findLabel->setBuddy(findWhat_);
  fields->addWidget(findLabel, 0, 0);
  fields->addWidget(findWhat_, 0, 1);
  if (withReplace) {
    replaceWith_ = new QLineEdit(selectedText, this);
    replaceWith_->setObjectName(QStringLiteral("replaceWith"));
    auto* replaceLabel = new QLabel(tr("Re&place with:"), this);
    replaceLabel->setBuddy(replaceWith_);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(replaceWith_, 1, 1);
  }
  matchCase_ = new QCheckBox(tr("Match &case"), this);
  matchCase_->setObjectName(QStringLiteral("matchCase"));
  fields->addWidget(matchCase_, 2, 0, 1, 2);

  auto* direction = new QGroupBox(tr("Direction"), this);
  up_ = new QRadioButton(tr("&Up"), direction);
  up_->setObjectName(QStringLiteral("up"));
  down_ = new QRadioButton(tr("&Down"), direction);
  down_->setObjectName(QStringLiteral("down"));
  down_->setChecked(true);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(up_);
  dirLayout->addWidget(down_);
  fields->addWidget(direction, 3, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  findNext_ = new QPushButton(tr("&Find Next"), this);
  findNext_->setObjectName(QStringLiteral("findNext"));
  findNext_->setDefault(true);
  buttons->addWidget(findNext_);
  connect(findNext_, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
  if (withReplace) {
    replace_ = new QPushButton(tr("&Replace"), this);
    replace_->setObjectName(QStringLiteral("replace"));
    replaceAll_ = new QPushButton(tr("Replace &All"), this);
    replaceAll_->setObjectName(QStringLiteral("replaceAll"));
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAll_);
    connect(replace_, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
    connect(replaceAll_, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
  }
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  buttons->addWidget(cancel);
  buttons->addStretch();
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);

  auto* top = new QHBoxLayout(this);
  top->addLayout(fields, 1);
  top->addLayout(buttons);

  connect(findWhat_, &QLineEdit::textChanged, this, &FindReplaceDialog::UpdateButtons);
  UpdateButtons();
  findWhat_->selectAll();
}

QString FindReplaceDialog::FindWhat() const {
  return findWhat_->text();
}
QString FindReplaceDialog::ReplaceWith() const {
  return replaceWith_ ? replaceWith_->text() : QString();
}
bool FindReplaceDialog::MatchCase() const {
  return matchCase_->isChecked();
}
bool FindReplaceDialog::SearchDown() const {
  return !up_->isChecked();
}

void FindReplaceDialog::UpdateButtons() {
  bool any = !findWhat_->text().isEmpty();
  findNext_->setEnabled(any);
  if (replace_) replace_->setEnabled(any);
  if (replaceAll_) replaceAll_->setEnabled(any);
}

}  // namespace tamso::gui

#include "codegen/new_class_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  buddy->setAccessibleName(QString(text).remove(QLatin1Char(':')));
  return label;
}

}  // namespace

NewClassDialog::NewClassDialog(const NewClassChoice& initial, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("180"));
  setWindowTitle(QStringLiteral("Create new class"));
  setAccessibleName(windowTitle());

  type_ = new QComboBox(this);
  type_->setObjectName(QStringLiteral("1051"));
  std::vector<std::string> types = NewClassTypes();
  std::sort(types.begin(), types.end());  // the box is sorted
  for (const std::string& t : types) type_->addItem(Q(t));
  type_->setCurrentIndex(type_->findText(Q(NewClassTypeName(initial.typeIndex))));
  name_ = new QLineEdit(Q(initial.className), this);
  name_->setObjectName(QStringLiteral("1036"));
  file_ = new QLineEdit(Q(initial.sourceFile), this);
  file_->setObjectName(QStringLiteral("1066"));
  auto* browse = new QPushButton(QStringLiteral("..."), this);
  browse->setObjectName(QStringLiteral("1017"));
  browse->setAccessibleName(QStringLiteral("Browse for the source file"));
  browse->setEnabled(false);  // it has nothing to do
  browse->setFixedWidth(32);

  auto* grid = new QGridLayout;
  grid->addWidget(Label(QStringLiteral("Type of class"), type_, this), 0, 0);
  grid->addWidget(type_, 1, 0, 1, 2);
  grid->addWidget(Label(QStringLiteral("Name of the new class"), name_, this), 2, 0);
  grid->addWidget(name_, 3, 0, 1, 2);
  grid->addWidget(Label(QStringLiteral("Source file in which to put the new class:"), file_, this),
                  4, 0);
  grid->addWidget(file_, 5, 0);
  grid->addWidget(browse, 5, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok =
      buttons->addButton(QStringLiteral("Choose skeleton >>"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("1"));
  ok->setAccessibleName(QStringLiteral("Choose skeleton"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("2"));
  cancel->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(
      new QLabel(QStringLiteral("If you are creating a new Applet or Main program,"), this));
  layout->addWidget(new QLabel(
      QStringLiteral("be sure and name the source file the same as the class name"), this));
  layout->addStretch(1);
  layout->addWidget(buttons);
  resize(440, 300);
  name_->setFocus();
  name_->selectAll();
}

NewClassChoice NewClassDialog::Choice() const {
  // The box is sorted: the type is found by its name.
  const std::vector<std::string>& types = NewClassTypes();
  const auto at = std::find(types.begin(), types.end(), S(type_->currentText()));
  const int index = at == types.end() ? -1 : static_cast<int>(at - types.begin());
  return {S(name_->text()), S(file_->text()), index};
}

std::optional<NewClassChoice> RunNewClassDialog(const NewClassChoice& initial, QWidget* parent) {
  NewClassDialog dialog(initial, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace tamso::gui

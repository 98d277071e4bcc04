#include "jobs/run_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "jobs/run_html.h"
#include "platform/host.h"

namespace tamso::gui {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s) {
  return s.toUtf8().toStdString();
}

QLineEdit* Edit(const char* id, const std::string& text, QWidget* parent) {
  auto* edit = new QLineEdit(Q(text), parent);
  edit->setObjectName(QString::fromLatin1(id));
  return edit;
}

}  // namespace

RunJavaDialog::RunJavaDialog(const RunJavaValues& values, QWidget* parent)
    : QDialog(parent), base_(values) {
  setWindowTitle(QStringLiteral("Run Java "));
  setObjectName(QStringLiteral("135"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("Command which will execute"), this);
  auto* groupLayout = new QVBoxLayout(group);
  line_ = new QLabel(group);
  line_->setObjectName(QStringLiteral("1030"));
  line_->setTextFormat(Qt::PlainText);
  line_->setWordWrap(true);
  line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  line_->setMinimumWidth(420);
  groupLayout->addWidget(line_);
  layout->addWidget(group);

  auto* form = new QFormLayout();
  command_ = Edit("1026", values.command, this);
  options_ = Edit("1027", values.options, this);
  class_ = Edit("1028", values.className, this);
  arguments_ = Edit("1029", values.arguments, this);
  directory_ = Edit("1031", values.directory, this);
  form->addRow(QStringLiteral("Command"), command_);
  form->addRow(QStringLiteral("Options"), options_);
  form->addRow(QStringLiteral("Java Class"), class_);
  form->addRow(QStringLiteral("Arguments"), arguments_);
  form->addRow(QStringLiteral("Directory"), directory_);
  layout->addLayout(form);
  console_ = new QCheckBox(QStringLiteral("Create private console for the command"), this);
  console_->setObjectName(QStringLiteral("1016"));
  // The tick the user left for this class or project last time.
  console_->setChecked(values.privateConsole);
  layout->addWidget(console_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* run = buttons->addButton(QStringLiteral("Run"), QDialogButtonBox::AcceptRole);
  run->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  for (QLineEdit* e : {command_, options_, class_, arguments_})
    connect(e, &QLineEdit::textChanged, this, &RunJavaDialog::Recompose);
  Recompose();
  class_->setFocus();
}

RunJavaValues RunJavaDialog::Values() const {
  RunJavaValues v = base_;
  v.command = S(command_->text());
  v.options = S(options_->text());
  v.className = S(class_->text());
  v.arguments = S(arguments_->text());
  v.directory = S(directory_->text());
  v.privateConsole = console_->isChecked();
  return v;
}

QString RunJavaDialog::ShownLine() const {
  return line_->text();
}

void RunJavaDialog::Recompose() {
  line_->setText(Q(ComposeRunJavaLine(Values())));
}

RunHtmlDialog::RunHtmlDialog(IHost& host, const std::string& command, const std::string& html,
                             const std::vector<std::string>& pages, QWidget* parent)
    : QDialog(parent), host_(host) {
  setWindowTitle(QStringLiteral("Run"));
  setObjectName(QStringLiteral("174"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  html_ = new QComboBox(this);
  html_->setObjectName(QStringLiteral("1052"));
  html_->setEditable(true);
  html_->setInsertPolicy(QComboBox::NoInsert);
  html_->setMinimumWidth(460);
  for (const auto& p : pages) html_->addItem(Q(p));
  html_->setEditText(Q(html));
  command_ = Edit("1008", command, this);
  form->addRow(QStringLiteral("HTML:"), html_);
  form->addRow(QStringLiteral("Command"), command_);
  layout->addLayout(form);
  layout->addWidget(new QLabel(
      QStringLiteral("** HTML must be fully qualified, starting with \" file:/// \""), this));
  auto* redirect = new QCheckBox(QStringLiteral("Redirect output"), this);
  redirect->setObjectName(QStringLiteral("1016"));
  redirect->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &RunHtmlDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

RunHtmlChoice RunHtmlDialog::Choice() const {
  return RunHtmlChoice{S(command_->text()), S(html_->currentText())};
}

void RunHtmlDialog::accept() {
  if (!HasFileUrlPrefix(S(html_->currentText()))) {
    host_.Message(kHtmlPrefixMessage);
    return;
  }
  QDialog::accept();
}

std::optional<RunJavaValues> QtRunDialogs::RunJava(const RunJavaValues& initial) {
  RunJavaDialog dialog(initial, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Values();
}

std::optional<RunHtmlChoice> QtRunDialogs::RunHtml(const std::string& command,
                                                   const std::string& html,
                                                   const std::vector<std::string>& pages) {
  RunHtmlDialog dialog(host_, command, html, pages, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace tamso::gui

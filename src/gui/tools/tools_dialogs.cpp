#include "tools/tools_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamso::gui {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string S(const QString& s) {
  return s.toStdString();
}

QLineEdit* Edit(const QString& name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setAccessibleName(name);
  return e;
}

QCheckBox* Check(const QString& text, QWidget* parent) {
  auto* c = new QCheckBox(text, parent);
  c->setAccessibleName(text);
  return c;
}

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
  b->setAutoDefault(false);
  return b;
}

// A label that names the control beside it (and focuses it with its mnemonic).
QLabel* LabelFor(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setBuddy(buddy);
  return l;
}

}  // namespace

// --- Tools customization --------------------------------------------------------

ToolsDialog::ToolsDialog(IniFile& profile, IHost& host, QWidget* parent)
    : QDialog(parent), model_(profile, host) {
  setWindowTitle(QStringLiteral("Tools customization"));
  setObjectName(QStringLiteral("169"));
  list_ = new QListWidget(this);
  list_->setAccessibleName(QStringLiteral("Tools"));
  menuText_ = Edit(QStringLiteral("Menu Text"), this);
  command_ = Edit(QStringLiteral("Command"), this);
  args_ = Edit(QStringLiteral("Arguments"), this);
  initDir_ = Edit(QStringLiteral("Initial Directory"), this);
  prompt_ = Check(QStringLiteral("Prompt for args"), this);
  redirect_ = Check(QStringLiteral("Redirect to output window"), this);
  reload_ = Check(QStringLiteral("Reload source after"), this);
  save_ = Check(QStringLiteral("Save source before"), this);
  add_ = Button(QStringLiteral("Add"), this);
  remove_ = Button(QStringLiteral("Remove"), this);
  up_ = Button(QStringLiteral("Move up"), this);
  down_ = Button(QStringLiteral("Down"), this);
  done_ = Button(QStringLiteral("Done"), this);
  done_->setDefault(true);

  auto* grid = new QGridLayout(this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {add_, remove_, up_, down_}) buttons->addWidget(b);
  buttons->addStretch();
  grid->addWidget(list_, 0, 0, 1, 2);
  grid->addLayout(buttons, 0, 2);
  int row = 1;
  for (auto [text, edit] :
       {std::pair{"&Menu Text", menuText_}, std::pair{"&Command", command_},
        std::pair{"&Arguments", args_}, std::pair{"&Initial Directory", initDir_}}) {
    grid->addWidget(LabelFor(QString::fromLatin1(text), edit, this), row, 0);
    grid->addWidget(edit, row++, 1, 1, 2);
  }
  auto* switches = new QGridLayout;
  switches->addWidget(prompt_, 0, 0);
  switches->addWidget(redirect_, 0, 1);
  switches->addWidget(save_, 1, 0);
  switches->addWidget(reload_, 1, 1);
  grid->addLayout(switches, row++, 0, 1, 3);
  auto* help = new QLabel(QStringLiteral("Valid Macro strings\n"
                                         "$(FileName) - Current file's name\n"
                                         "$(FilePath) - Current files full path\n"
                                         "$(FileDir) - Current files directory"),
                          this);
  help->setAccessibleName(QStringLiteral("Valid Macro strings"));
  help->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(help, row, 0, 1, 2);
  grid->addWidget(done_, row, 2, Qt::AlignBottom);

  setMinimumWidth(600);
  for (const auto& name : model_.List()) list_->addItem(Q(name));
  list_->setCurrentRow(-1);

  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (showing_) return;
    model_.Select(Controls(), row);
    Show();
  });
  connect(menuText_, &QLineEdit::textEdited, this, [this] {
    model_.MenuTextChanged(Controls());
    const int slot = model_.CurrentSlot();
    if (slot >= 0 && slot < list_->count()) {
      list_->setUpdatesEnabled(false);
      list_->item(slot)->setText(Q(model_.List()[static_cast<size_t>(slot)]));
      list_->setUpdatesEnabled(true);
    }
  });
  connect(add_, &QPushButton::clicked, this, [this] {
    model_.Add(Controls());
    Show();
  });
  connect(remove_, &QPushButton::clicked, this, [this] {
    model_.Remove(list_->currentRow());
    Show();
  });
  connect(up_, &QPushButton::clicked, this, [this] {
    model_.MoveUp(Controls());
    Show();
  });
  connect(down_, &QPushButton::clicked, this, [this] {
    model_.MoveDown(Controls());
    Show();
  });
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);
  Show();
}

ToolDefinition ToolsDialog::Controls() const {
  ToolDefinition t;
  t.menuText = S(menuText_->text());
  t.command = S(command_->text());
  t.args = S(args_->text());
  t.initDir = S(initDir_->text());
  t.prompt = prompt_->isChecked();
  t.redirect = redirect_->isChecked();
  t.reloadAfter = reload_->isChecked();
  t.saveBefore = save_->isChecked();
  return t;
}

void ToolsDialog::Show() {
  showing_ = true;
  const auto& names = model_.List();
  bool same = list_->count() == static_cast<int>(names.size());
  for (int i = 0; same && i < list_->count(); ++i)
    same = list_->item(i)->text() == Q(names[static_cast<size_t>(i)]);
  if (!same) {
    list_->clear();
    for (const auto& n : names) list_->addItem(Q(n));
  }
  list_->setCurrentRow(model_.CurrentSlot());
  const ToolDefinition& f = model_.Fields();
  menuText_->setText(Q(f.menuText));
  command_->setText(Q(f.command));
  args_->setText(Q(f.args));
  initDir_->setText(Q(f.initDir));
  prompt_->setChecked(f.prompt);
  redirect_->setChecked(f.redirect);
  reload_->setChecked(f.reloadAfter);
  save_->setChecked(f.saveBefore);
  const bool shown = model_.CurrentSlot() >= 0;
  up_->setEnabled(shown && model_.CurrentSlot() > 0);
  down_->setEnabled(shown && model_.CurrentSlot() + 1 < static_cast<int>(names.size()));
  showing_ = false;
}

void ToolsDialog::accept() {
  model_.Done(Controls());
  QDialog::accept();
}

// --- Tool Prompt ----------------------------------------------------------------

ToolPromptDialog::ToolPromptDialog(const ToolPrompt& v, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Tool Prompt"));
  setObjectName(QStringLiteral("170"));
  command_ = Edit(QStringLiteral("Command"), this);
  args_ = Edit(QStringLiteral("Arguments"), this);
  initDir_ = Edit(QStringLiteral("Initial Directory"), this);
  description_ = Edit(QStringLiteral("Description"), this);
  description_->setReadOnly(true);
  redirect_ = Check(QStringLiteral("Redirect to output window"), this);
  auto* run = Button(QStringLiteral("Run"), this);
  auto* cancel = Button(QStringLiteral("Cancel"), this);
  run->setDefault(true);

  auto* grid = new QGridLayout(this);
  int row = 0;
  for (auto [text, edit] :
       {std::pair{"&Description", description_}, std::pair{"&Command", command_},
        std::pair{"&Arguments", args_}, std::pair{"&Initial Directory", initDir_}}) {
    grid->addWidget(LabelFor(QString::fromLatin1(text), edit, this), row, 0);
    grid->addWidget(edit, row++, 1);
  }
  grid->addWidget(redirect_, row++, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(run);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, row, 0, 1, 2);
  setMinimumWidth(520);

  command_->setText(Q(v.command));
  args_->setText(Q(v.arguments));
  initDir_->setText(Q(v.initialDir));
  description_->setText(Q(v.description));
  redirect_->setChecked(v.redirect);
  connect(run, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ToolPrompt ToolPromptDialog::Values() const {
  ToolPrompt p;
  p.command = S(command_->text());
  p.arguments = S(args_->text());
  p.initialDir = S(initDir_->text());
  p.description = S(description_->text());
  p.redirect = redirect_->isChecked();
  return p;
}

// --- Find in files --------------------------------------------------------------

FindInFilesDialog::FindInFilesDialog(IHost& host, IniFile& profile, IBuildSlot& slot, IUiThread& ui,
                                     const std::string& defaultDirectory, QWidget* parent)
    : QDialog(parent), find_(host, profile, slot, ui) {
  setWindowTitle(QString::fromLatin1(kFindCaption));
  setObjectName(QStringLiteral("165"));
  text_ = Edit(QStringLiteral("Search for"), this);
  directory_ = Edit(QStringLiteral("Starting directory"), this);
  filter_ = new QComboBox(this);
  filter_->setEditable(true);
  filter_->setAccessibleName(QStringLiteral("File Filter"));
  filter_->lineEdit()->setAccessibleName(QStringLiteral("File Filter"));
  filter_->addItems({QStringLiteral("*.java"), QStringLiteral("*.htm*"), QStringLiteral("*.*")});
  recurse_ = Check(QStringLiteral("Search all subdirectories"), this);
  verbose_ = Check(QStringLiteral("Verbose (List all searched files )"), this);
  browse_ = Button(QStringLiteral("..."), this);
  browse_->setAccessibleName(QStringLiteral("Choose the starting directory"));
  search_ = Button(QStringLiteral("Search Now"), this);
  search_->setDefault(true);
  cancel_ = Button(QStringLiteral("Cancel"), this);
  progress_ = new QLabel(this);
  progress_->setAccessibleName(QStringLiteral("Search progress"));
  stop_ = Button(QStringLiteral("Stop"), this);
  stop_->setAccessibleName(QStringLiteral("Stop the search"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(LabelFor(QStringLiteral("Search &for"), text_, this), 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);
  grid->addWidget(LabelFor(QStringLiteral("Starting &directory"), directory_, this), 1, 0);
  grid->addWidget(directory_, 1, 1);
  grid->addWidget(browse_, 1, 2);
  grid->addWidget(LabelFor(QStringLiteral("File Fi&lter"), filter_, this), 2, 0);
  grid->addWidget(filter_, 2, 1, 1, 2);
  grid->addWidget(recurse_, 3, 1, 1, 2);
  grid->addWidget(verbose_, 4, 1, 1, 2);
  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(progress_, 1);
  progressRow->addWidget(stop_);
  grid->addLayout(progressRow, 5, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(search_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 6, 0, 1, 3);
  setMinimumWidth(540);

  const FindSettings s = LoadFindSettings(profile, defaultDirectory);
  text_->setText(Q(s.text));
  directory_->setText(Q(s.directory));
  filter_->setEditText(Q(s.filter));
  recurse_->setChecked(s.recurse);
  SetSearching(false);

  connect(search_, &QPushButton::clicked, this, &FindInFilesDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &FindInFilesDialog::reject);
  connect(stop_, &QPushButton::clicked, this, [this] {
    find_.Stop();
    SetSearching(false);
  });
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Starting directory"), directory_->text());
    if (!dir.isEmpty()) directory_->setText(dir);
  });
}

FindInFilesDialog::~FindInFilesDialog() = default;

void FindInFilesDialog::SetSearching(bool on) {
  progress_->setVisible(on);
  stop_->setVisible(on);
  for (QWidget* w : std::initializer_list<QWidget*>{text_, directory_, filter_, recurse_, verbose_,
                                                    browse_, search_})
    w->setEnabled(!on);
  if (on) progress_->setText(QStringLiteral("Searching..."));
}

void FindInFilesDialog::accept() {
  if (find_.Running()) return;
  FindSettings s;
  s.text = S(text_->text());
  s.directory = S(directory_->text());
  s.filter = S(filter_->currentText());
  s.recurse = recurse_->isChecked();
  const bool started = find_.SearchNow(
      s, verbose_->isChecked(),
      [this](const FindProgress& p) {
        progress_->setText(
            QStringLiteral("Searching... %1 files, %2 hits").arg(p.files).arg(p.hits));
      },
      [this](bool anyHits) {
        SetSearching(false);
        if (anyHits) QDialog::accept();
      });
  if (started) SetSearching(true);
}

void FindInFilesDialog::reject() {
  if (find_.Running()) find_.Stop();
  QDialog::reject();
}

}  // namespace tamso::gui

#include "options/path_list_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "options/options_pages.h"
#include "platform/paths.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

QPushButton* Button(const QString& text, const char* id, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(id));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

PathListDialog::PathListDialog(const QString& title, const QString& list, char separator,
                               IHost& host, std::function<QString(const QString&)> chooseDirectory,
                               QWidget* parent)
    : QDialog(parent),
      separator_(separator),
      host_(host),
      chooseDirectory_(std::move(chooseDirectory)) {
  setWindowTitle(title);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("entries"));
  list_->setAccessibleName(title);
  for (const QString& e : list.split(QLatin1Char(separator), Qt::SkipEmptyParts))
    if (!e.trimmed().isEmpty()) list_->addItem(e);

  QPushButton* addDir = Button(tr("Add Directory..."), "addDirectory", this);
  QPushButton* addArchive = Button(tr("Add Jar or Zip..."), "addArchive", this);
  QPushButton* remove = Button(tr("Remove"), "remove", this);
  QPushButton* up = Button(tr("Move Up"), "up", this);
  QPushButton* down = Button(tr("Move Down"), "down", this);
  connect(addDir, &QPushButton::clicked, this, &PathListDialog::AddDirectory);
  connect(addArchive, &QPushButton::clicked, this, &PathListDialog::AddArchive);
  connect(remove, &QPushButton::clicked, this, [this] { delete list_->currentItem(); });
  connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
  connect(down, &QPushButton::clicked, this, [this] { Move(1); });

  auto* side = new QVBoxLayout;
  for (QPushButton* b : {addDir, addArchive, remove, up, down}) side->addWidget(b);
  side->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(list_, 1);
  middle->addLayout(side);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(middle, 1);
  layout->addWidget(buttons);
  resize(520, 300);
}

QString PathListDialog::List() const {
  std::string joined;
  for (int i = 0; i < list_->count(); ++i)
    joined = AppendPathEntry(joined, SPath(list_->item(i)->text()), separator_);
  return QPath(joined);
}

void PathListDialog::Add(const QString& path) {
  if (path.isEmpty()) return;
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->text() == path) {
      list_->setCurrentRow(i);
      return;
    }
  list_->addItem(path);
  list_->setCurrentRow(list_->count() - 1);
}

void PathListDialog::AddDirectory() {
  QListWidgetItem* item = list_->currentItem();
  const QString start = item ? item->text() : QString();
  if (chooseDirectory_) Add(chooseDirectory_(start));
}

void PathListDialog::AddArchive() {
  FileDialogOptions options;
  options.title = "Add a Jar or Zip";
  options.filter = "Archives (*.jar;*.zip)|*.jar;*.zip|All Files (*)|*";
  if (QListWidgetItem* item = list_->currentItem())
    options.initialDir = paths::Directory(SPath(item->text()));
  if (std::optional<std::string> chosen = host_.OpenFileDialog(options)) Add(QPath(*chosen));
}

void PathListDialog::Move(int delta) {
  const int row = list_->currentRow();
  const int to = row + delta;
  if (row < 0 || to < 0 || to >= list_->count()) return;
  QListWidgetItem* item = list_->takeItem(row);
  list_->insertItem(to, item);
  list_->setCurrentRow(to);
}

}  // namespace tamso::gui

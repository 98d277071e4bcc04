#include "help/help_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "help/help_pages.h"

namespace tamso::gui {

namespace {
QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

UsingHelpDialog::UsingHelpDialog(HelpCommands& help, QWidget* parent)
    : QDialog(parent), help_(help) {
  setObjectName(QStringLiteral("188"));
  setWindowTitle(QStringLiteral("Using Java Help"));
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("167"));
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  icon->setAccessibleName(QStringLiteral("Information"));
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QLabel(this);
  text->setWordWrap(true);
  text->setText(QStringLiteral(
      "The Help menu's Java entries and Java Search (F1, or \"Help on\" in the editor's "
      "menu) open the JDK's HTML API documentation in your web browser.\n\n"
      "1. Install the documentation of your JDK (for example the package openjdk-17-doc), "
      "or unpack the documentation download of your JDK.\n"
      "2. Set the folder below to its \"api\" folder, the one that holds index.html, so "
      "that Tamso can find it.\n\n"
      "The Java language pages and the tool pages come from the same documentation "
      "when it has them, else from the JDK's online documentation."));
  text->setAccessibleName(QStringLiteral("Explanation"));
  top->addWidget(text, 1);
  layout->addLayout(top);

  auto* label = new QLabel(QStringLiteral("&Folder of the Java API documentation:"), this);
  layout->addWidget(label);
  auto* row = new QHBoxLayout;
  edit_ = new QLineEdit(Q(help_.Dir()), this);
  edit_->setObjectName(QStringLiteral("1007"));
  edit_->setAccessibleName(QStringLiteral("Folder of the Java API documentation"));
  edit_->setMinimumWidth(360);
  label->setBuddy(edit_);
  row->addWidget(edit_, 1);
  auto* browse = new QPushButton(QStringLiteral("..."), this);
  browse->setObjectName(QStringLiteral("1077"));
  browse->setAccessibleName(QStringLiteral("Choose folder"));
  browse->setToolTip(QStringLiteral("Choose the folder"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);
  connect(browse, &QPushButton::clicked, this, &UsingHelpDialog::Browse);
  row->addWidget(browse);
  layout->addLayout(row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void UsingHelpDialog::Browse() {
  QString start = edit_->text().trimmed();
  QString dir =
      QFileDialog::getExistingDirectory(this, QStringLiteral("Java API documentation"), start);
  if (!dir.isEmpty()) edit_->setText(dir);
}

void UsingHelpDialog::accept() {
  if (help_.AcceptDir(edit_->text().toStdString())) QDialog::accept();
}

HitListDialog::HitListDialog(const std::string& keyword, const std::vector<const DocEntry*>& hits,
                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Java Search"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(
      QStringLiteral("\"%1\" has %2 pages. &Choose one:").arg(Q(keyword)).arg(hits.size()), this);
  layout->addWidget(label);
  list_ = new QListWidget(this);
  list_->setAccessibleName(QStringLiteral("Pages"));
  label->setBuddy(list_);
  for (const DocEntry* e : hits) {
    QString kind = e->kind == DocKind::Type ? QStringLiteral("type") : QStringLiteral("member");
    list_->addItem(Q(e->QualifiedName()) + QStringLiteral("   (") + kind + QStringLiteral(")"));
  }
  list_->setCurrentRow(0);
  list_->setMinimumSize(460, 220);
  connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Open"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

int HitListDialog::Chosen() const {
  return list_->currentRow();
}

bool QtHelpUi::OpenUrl(const std::string& url) {
  return OpenInBrowser(profile_, host_, url);
}

int QtHelpUi::ChooseHit(const std::string& keyword, const std::vector<const DocEntry*>& hits) {
  HitListDialog dialog(keyword, hits, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : -1;
}

}  // namespace tamso::gui

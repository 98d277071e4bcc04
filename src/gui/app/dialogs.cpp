#include "app/dialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/doc_templates.h"
#include "app/start_banner.h"
#include "platform/qt_host.h"

namespace tamso::gui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QStringLiteral("Ferrowind Tamso"));
  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setPixmap(BannerPicture());
  layout->addWidget(picture);
  for (const char* line : {"Ferrowind Tamso - Beta 2", "https://tamso.ferrowind.example/",
                           "tamso@ferrowind.example"}) {
    auto* label = new QLabel(QString::fromUtf8(line), this);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
  }
  auto* ok = new QPushButton(QStringLiteral("OK !"), this);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

NewDocumentDialog::NewDocumentDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("30721"));
  setWindowTitle(QStringLiteral("New"));
  auto* layout = new QVBoxLayout(this);
  // The label names the list: its "&" is the list's key, not text to show.
  auto* label = new QLabel(QStringLiteral("&New"), this);
  layout->addWidget(label);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("30721list"));
  list_->setAccessibleName(QStringLiteral("New"));
  label->setBuddy(list_);
  for (const auto& t : DocumentTemplates()) list_->addItem(Q(t.Field(DocField::FileNewName)));
  list_->setCurrentRow(static_cast<int>(DefaultNewTemplate()));
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);
}

int NewDocumentDialog::Chosen() const {
  return list_->currentRow();
}

}  // namespace tamso::gui

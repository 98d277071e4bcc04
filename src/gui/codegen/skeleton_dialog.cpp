#include "codegen/skeleton_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "editor/text_decode.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

struct TemplateTexts {
  const char* caption;
  std::vector<const char*> statics;
};

TemplateTexts TextsOf(int templateId) {
  // The last text, on customising the file, comes from the model: it names the file.
  if (templateId == kDesignerSkeletonTemplate)
    return {"Program Skeletons for the Designer",
            {"A new program file will be generated for you. Select the skeleton from above, "
             "preview below."}};
  return {"Skeletons",
          {"Select the skeleton from above.  Edit it below if desired.  Press insert to place "
           "it in your code.",
           "NOTE: Many HTML tags will wrap themselves around selected text in your source code. "}};
}

QLabel* StaticText(const std::string& text, int index, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text).trimmed(), parent);
  label->setObjectName(QStringLiteral("static%1").arg(index));
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString PreviewText(const std::string& bytes) {
  std::string lf;
  lf.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      lf += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      lf += bytes[i];
    }
  }
  return DecodeForDisplay(lf);
}

SkeletonDialog::SkeletonDialog(int templateId, SkeletonDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  model_.Load();  // its messages show before the dialog does
  TemplateTexts texts = TextsOf(templateId);
  const std::string customize = model_.CustomizeText();
  texts.statics.push_back(customize.c_str());
  setObjectName(QString::number(templateId));
  setWindowTitle(QString::fromUtf8(texts.caption));
  setAccessibleName(windowTitle());

  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("1038"));
  tree_->setAccessibleName(QStringLiteral("Skeletons"));
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(true);
  tree_->setDragEnabled(false);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setUniformRowHeights(true);

  preview_ = new QPlainTextEdit(this);
  preview_->setObjectName(QStringLiteral("1007"));
  preview_->setAccessibleName(QStringLiteral("Skeleton preview"));
  preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
  preview_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  preview_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // Code wants no ligatures or kerning: without them a long line is laid out and drawn
  // in about half the time (text in a script that needs shaping is still shaped).
  font.setStyleStrategy(QFont::PreferNoShaping);
  preview_->setFont(font);
  preview_->setTabStopDistance(4 * preview_->fontMetrics().horizontalAdvance(QLatin1Char(' ')));

  auto* buttons = new QDialogButtonBox(this);
  insert_ = buttons->addButton(QStringLiteral("Insert"), QDialogButtonBox::AcceptRole);
  insert_->setObjectName(QStringLiteral("1"));
  insert_->setAccessibleName(QStringLiteral("Insert"));
  insert_->setDefault(true);
  insert_->setEnabled(false);  // until a skeleton is chosen
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("2"));
  cancel->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 3);
  QLabel* first = StaticText(texts.statics[0], 0, this);
  first->setBuddy(tree_);
  layout->addWidget(first);
  layout->addWidget(preview_, 4);
  for (std::size_t i = 1; i < texts.statics.size(); ++i)
    layout->addWidget(StaticText(texts.statics[i], static_cast<int>(i), this));
  layout->addWidget(buttons);
  resize(560, 520);

  connect(tree_, &QTreeWidget::currentItemChanged, this, &SkeletonDialog::OnSelectionChanged);
  Fill();
}

QTreeWidgetItem* SkeletonDialog::AddNode(QTreeWidgetItem* parent, const std::string& label,
                                         int data) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, Q(label));
  item->setData(0, Qt::UserRole, data);
  return item;
}

void SkeletonDialog::Fill() {
  tree_->clear();
  const SkeletonSet& set = model_.Skeletons();
  QTreeWidgetItem* root = AddNode(nullptr, "Skeletons", kSkeletonRootData);
  for (const SkeletonEntry& e : set.ungrouped) AddNode(root, e.name, e.number);
  for (const SkeletonGroup& g : set.groups) {
    QTreeWidgetItem* group = AddNode(root, g.name, kSkeletonGroupData);
    for (const SkeletonEntry& e : g.skeletons) AddNode(group, e.name, e.number);
  }
  root->setExpanded(true);
}

bool SkeletonDialog::SkeletonChosen() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  return item && item->data(0, Qt::UserRole).toInt() > kSkeletonRootData;
}

bool SkeletonDialog::Preselect(const std::string& name) {
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->data(0, Qt::UserRole).toInt() > kSkeletonRootData && S((*it)->text(0)) == name) {
      tree_->setCurrentItem(*it);
      tree_->scrollToItem(*it);
      return true;
    }
  }
  return false;
}

void SkeletonDialog::OnSelectionChanged() {
  // Only a skeleton can be inserted: with the root or a group chosen, Insert would put
  // in whatever the box holds (nothing at first) in place of the selection.
  insert_->setEnabled(SkeletonChosen());
  QTreeWidgetItem* item = tree_->currentItem();
  if (!item) return;
  const std::optional<std::string> preview = model_.PreviewFor(item->data(0, Qt::UserRole).toInt());
  if (!preview) return;  // the root and groups leave the box as it is
  shownBytes_ = *preview;
  preview_->setPlainText(PreviewText(shownBytes_));
  shownPlain_ = preview_->toPlainText();
}

void SkeletonDialog::accept() {
  if (!SkeletonChosen()) return;
  // Unedited text goes in as the exact bytes; what the user typed is UTF-8.
  const QString text = preview_->toPlainText();
  result_ = text == shownPlain_ ? shownBytes_ : S(text);
  QDialog::accept();
}

std::optional<std::string> RunSkeletonDialog(int templateId, const std::string& language,
                                             const std::string& selection, IniFile& profile,
                                             IHost& host, QWidget* parent,
                                             const std::string& preselect) {
  SkeletonDialogModel model(profile, host, DataFileDirsFromEnvironment());
  model.language = language;
  model.selection = selection;
  SkeletonDialog dialog(templateId, model, parent);
  if (!preselect.empty()) dialog.Preselect(preselect);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Result();
}

}  // namespace tamso::gui

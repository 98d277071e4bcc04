#include "codegen/code_wizard_sheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "codegen/new_class_dialog.h"
#include "codegen/skeleton_dialog.h"
#include "platform/host.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

QListWidget* List(const char* id, const QString& name, bool sorted, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(id));
  list->setAccessibleName(name);
  list->setSortingEnabled(sorted);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  return list;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

QString Selected(const QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? QString() : items.front()->text();
}

}  // namespace

ClassWizardSheet::ClassWizardSheet(WizardContext context, IniFile& profile, IHost& host,
                                   QWidget* parent)
    : QDialog(parent), context_(std::move(context)), profile_(profile), host_(host) {
  setObjectName(QStringLiteral("CClassWizardSheet"));
  setWindowTitle(QStringLiteral("Tamso Code Wizard"));
  setAccessibleName(windowTitle());

  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("149"));
  page->setAccessibleName(QStringLiteral("Java Code Wizard"));

  classBox_ = new QComboBox(page);
  classBox_->setObjectName(QStringLiteral("1056"));
  classBox_->setAccessibleName(QStringLiteral("Class"));
  file_ = new QLineEdit(page);
  file_->setObjectName(QStringLiteral("1068"));
  file_->setAccessibleName(QStringLiteral("File"));
  file_->setReadOnly(true);
  components_ = List("1058", QStringLiteral("Component"), true, page);
  events_ = List("1057", QStringLiteral("Events"), true, page);
  members_ = List("1059", QStringLiteral("Member Functions"), false, page);

  auto* buttons = new QVBoxLayout;
  const std::pair<int, const char*> kButtons[] = {{1061, "Add Handler"},
                                                  {1018, "Remove Handler"},
                                                  {1019, "Edit Code"},
                                                  {1063, "Create new class..."},
                                                  {1020, "Visual Designer"}};
  for (const auto& [id, text] : kButtons) {
    auto* b = new QPushButton(QString::fromLatin1(text), page);
    b->setObjectName(QString::number(id));
    b->setAccessibleName(QString::fromLatin1(text).remove(QStringLiteral("...")));
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  // Handlers are not wired into the source, and there is no visual designer.
  for (int id : {1061, 1018, 1020}) Button(id)->setEnabled(false);

  auto* grid = new QGridLayout(page);
  grid->addWidget(Label(QStringLiteral("Class"), classBox_, page), 0, 0);
  grid->addWidget(classBox_, 1, 0);
  grid->addWidget(Label(QStringLiteral("File"), file_, page), 0, 1, 1, 2);
  grid->addWidget(file_, 1, 1, 1, 2);
  grid->addWidget(Label(QStringLiteral("Component"), components_, page), 2, 0);
  grid->addWidget(Label(QStringLiteral("Events"), events_, page), 2, 1);
  grid->addWidget(Label(QStringLiteral("Member Functions"), members_, page), 2, 2);
  grid->addWidget(components_, 3, 0);
  grid->addWidget(events_, 3, 1);
  grid->addWidget(members_, 3, 2);
  grid->addLayout(buttons, 0, 3, 4, 1);
  grid->setRowStretch(3, 1);

  tabs_ = new QTabWidget(this);
  tabs_->addTab(page, QStringLiteral("Java Code Wizard"));
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(box);
  resize(720, 400);

  file_->setText(Q(context_.page.file));
  for (const JavaClassInfo& c : context_.page.classes) classBox_->addItem(Q(c.name));
  connect(classBox_, &QComboBox::currentIndexChanged, this, &ClassWizardSheet::OnClassChanged);
  connect(components_, &QListWidget::itemSelectionChanged, this,
          &ClassWizardSheet::OnComponentChanged);
  connect(members_, &QListWidget::itemDoubleClicked, this, &ClassWizardSheet::EditCode);
  connect(Button(1019), &QPushButton::clicked, this, &ClassWizardSheet::EditCode);
  connect(Button(1063), &QPushButton::clicked, this, &ClassWizardSheet::CreateClass);
  OnClassChanged();
}

QPushButton* ClassWizardSheet::Button(int id) const {
  return findChild<QPushButton*>(QString::number(id));
}

void ClassWizardSheet::OnClassChanged() {
  const std::string cls = S(classBox_->currentText());
  components_->clear();
  for (const std::string& c : context_.page.ComponentsOf(cls)) components_->addItem(Q(c));
  members_->clear();
  for (const std::string& m : context_.page.MethodsOf(cls)) members_->addItem(Q(m));
  OnComponentChanged();
}

void ClassWizardSheet::OnComponentChanged() {
  events_->setUpdatesEnabled(false);
  events_->clear();
  for (const std::string& e : EventsForComponent(S(Selected(components_)))) events_->addItem(Q(e));
  events_->setUpdatesEnabled(true);
}

void ClassWizardSheet::EditCode() {
  const std::string member = S(Selected(members_));
  if (member.empty() || !context_.showMember) {
    host_.Beep(BeepKind::Default);
    return;
  }
  // On the member, the sheet steps aside so the code can be edited.
  if (context_.showMember(S(classBox_->currentText()), member)) accept();
}

void ClassWizardSheet::CreateClass() {
  bool opened = false;
  NewClassDialogs dialogs;
  dialogs.askNewClass = [this](const NewClassChoice& initial) {
    return RunNewClassDialog(initial, this);
  };
  dialogs.chooseSkeleton = [this](const std::string& className, const std::string& typeName) {
    return RunSkeletonDialog(kDesignerSkeletonTemplate, "DESIGNER", className, profile_, host_,
                             this, typeName);
  };
  dialogs.openAsDocument = [this, &opened](const std::string& name, const std::string& text) {
    if (!context_.openAsDocument) return;
    context_.openAsDocument(name, text);
    opened = true;
  };
  CreateNewClass(host_, dialogs);
  if (opened) accept();
}

}  // namespace tamso::gui

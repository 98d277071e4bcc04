#include "project/project_settings_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "java/jdk_choice.h"

namespace tamso::gui {

namespace {

QString Q(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}
std::string S(const QString& s) {
  return s.toLocal8Bit().toStdString();
}

QPushButton* Button(const QString& text, const char* id, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(id));
  b->setAutoDefault(false);
  return b;
}

QLabel* InfoIcon(QWidget* parent, QStyle::StandardPixmap which) {
  auto* l = new QLabel(parent);
  l->setPixmap(parent->style()->standardIcon(which).pixmap(32, 32));
  l->setAlignment(Qt::AlignTop);
  return l;
}

}  // namespace

ProjectSettingsSheet::ProjectSettingsSheet(Project& project, QWidget* parent)
    : QDialog(parent), project_(project), files_(project), compiler_(project) {
  setWindowTitle(QStringLiteral("Settings for the open project"));
  chooseDirectory_ = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(this, QString(), start);
  };
  tabs_ = new QTabWidget(this);
  tabs_->addTab(MakeFilesPage(), QStringLiteral("Files"));
  tabs_->addTab(MakeCompilerPage(), QStringLiteral("Compiler directories"));
  tabs_->setCurrentIndex(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
}

QWidget* ProjectSettingsSheet::MakeFilesPage() {
  auto* page = new QWidget;
  files_.Init();
  auto* path = new QLineEdit(Q(files_.ProjectPath()), page);
  path->setObjectName(QStringLiteral("1054"));
  path->setReadOnly(true);
  list_ = new QListWidget(page);
  list_->setObjectName(QStringLiteral("1047"));
  list_->setSortingEnabled(false);
  RefillList();
  QPushButton* add = Button(QStringLiteral("Add files..."), "1050", page);
  QPushButton* addFolder = Button(QStringLiteral("Add folder..."), "addFolder", page);
  QPushButton* remove = Button(QStringLiteral("Remove"), "1018", page);
  QPushButton* mark = Button(QStringLiteral("Mark as 'Main'"), "1019", page);
  connect(add, &QPushButton::clicked, this, [this] {
    files_.AddFiles();
    RefillList();
  });
  connect(addFolder, &QPushButton::clicked, this, [this] {
    files_.AddFolder();
    RefillList();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    files_.Remove(SelectedEntry());
    RefillList();
  });
  connect(mark, &QPushButton::clicked, this, [this] { files_.MarkMain(SelectedEntry()); });

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Project:"), page));
  top->addWidget(path, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(add);
  side->addWidget(addFolder);
  side->addWidget(remove);
  side->addWidget(mark);
  side->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(list_, 1);
  middle->addLayout(side);
  auto* hint = new QHBoxLayout;
  hint->addWidget(InfoIcon(page, QStyle::SP_MessageBoxInformation));
  auto* hintText = new QLabel(
      QStringLiteral(
          "All of these tasks can be accomplished with a right mouse click over the project tree."),
      page);
  hintText->setWordWrap(true);
  hint->addWidget(hintText, 1);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addLayout(middle, 1);
  layout->addLayout(hint);
  return page;
}

QWidget* ProjectSettingsSheet::MakeCompilerPage() {
  auto* page = new QWidget;
  compiler_.Init();
  auto* note = new QHBoxLayout;
  note->addWidget(InfoIcon(page, QStyle::SP_MessageBoxWarning));
  auto* text = new QLabel(QStringLiteral("Setting these options will OVERRIDE -classpath and -dir "
                                         "of the overall Javac compiler settings for this project "
                                         "only."),
                          page);
  text->setWordWrap(true);
  note->addWidget(text, 1);

  auto* cpGroup = new QGroupBox(QStringLiteral("Classpath"), page);
  useClassPath_ = new QCheckBox(QStringLiteral("Use this class path"), cpGroup);
  useClassPath_->setObjectName(QStringLiteral("1013"));
  useClassPath_->setChecked(compiler_.fields.useClassPath);
  classPath_ = new QLineEdit(Q(compiler_.fields.classPath), cpGroup);
  classPath_->setObjectName(QStringLiteral("1014"));
  auto* cpLayout = new QVBoxLayout(cpGroup);
  cpLayout->addWidget(useClassPath_);
  cpLayout->addWidget(classPath_);

  auto* dirGroup = new QGroupBox(QStringLiteral("Output Directory"), page);
  useDirectory_ = new QCheckBox(QStringLiteral("Use this output directory"), dirGroup);
  useDirectory_->setObjectName(QStringLiteral("1022"));
  useDirectory_->setChecked(compiler_.fields.useDirectory);
  directory_ = new QLineEdit(Q(compiler_.fields.directory), dirGroup);
  directory_->setObjectName(QStringLiteral("1023"));
  QPushButton* browse = Button(QStringLiteral("..."), "1015", dirGroup);
  connect(browse, &QPushButton::clicked, this, [this] {
    QString start =
        directory_->text().isEmpty() ? Q(project_.ProjectDirectory()) : directory_->text();
    QString chosen = chooseDirectory_ ? chooseDirectory_(start) : QString();
    if (!chosen.isEmpty()) directory_->setText(chosen);
  });
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(directory_, 1);
  dirRow->addWidget(browse);
  auto* dirLayout = new QVBoxLayout(dirGroup);
  dirLayout->addWidget(useDirectory_);
  dirLayout->addLayout(dirRow);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(note);
  layout->addWidget(cpGroup);
  layout->addWidget(dirGroup);
  layout->addWidget(MakeJdkBox(page));
  layout->addStretch(1);
  page->setEnabled(project_.IsOpen());
  return page;
}

QWidget* ProjectSettingsSheet::MakeJdkBox(QWidget* page) {
  auto* box = new QGroupBox(QStringLiteral("JDK"), page);
  auto* label = new QLabel(QStringLiteral("&JDK for this project:"), box);
  jdk_ = new QComboBox(box);
  jdk_->setObjectName(QStringLiteral("jdk"));
  jdk_->setAccessibleName(QStringLiteral("JDK for this project"));
  jdk_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  jdk_->setMinimumContentsLength(30);
  label->setBuddy(jdk_);
  const std::string setting = compiler_.fields.jdk;
  const bool folder = !setting.empty() && setting != kProjectJdkOnPath;
  jdkChoices_ = ListJdkChoices(JdkEnvironment::FromProcess(), folder ? setting : std::string());
  FillJdkCombo(setting);
  QPushButton* browse = Button(QStringLiteral("Browse..."), "jdkBrowse", box);
  browse->setAccessibleName(QStringLiteral("Choose a JDK folder"));
  connect(browse, &QPushButton::clicked, this, [this] {
    const std::string current = JdkSetting();
    const bool isFolder = !current.empty() && current != kProjectJdkOnPath;
    QString chosen =
        chooseDirectory_ ? chooseDirectory_(Q(isFolder ? current : project_.ProjectDirectory()))
                         : QString();
    if (chosen.isEmpty()) return;
    const std::string picked = S(chosen);
    if (!AcceptJdkFolder(picked, project_.Host())) return;
    if (jdkChoices_.IndexOf(picked) == 0) jdkChoices_.other = picked;
    FillJdkCombo(picked);
  });
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(jdk_, 1);
  row->addWidget(browse);
  auto* layout = new QVBoxLayout(box);
  layout->addLayout(row);
  auto* hint = new QLabel(QStringLiteral("Compile, Build, Run Java and the class browser use this "
                                         "JDK while the project is open."),
                          box);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  return box;
}

void ProjectSettingsSheet::FillJdkCombo(const std::string& setting) {
  jdk_->clear();
  jdk_->addItem(QStringLiteral("Same as Settings"));
  for (const std::string& label : jdkChoices_.Labels()) jdk_->addItem(Q(label));
  int index = 0;
  if (setting == kProjectJdkOnPath)
    index = 1;
  else if (!setting.empty())
    index = 1 + static_cast<int>(jdkChoices_.IndexOf(setting));
  jdk_->setCurrentIndex(index);
}

std::string ProjectSettingsSheet::JdkSetting() const {
  const int index = jdk_->currentIndex();
  if (index <= 0) return {};
  if (index == 1) return kProjectJdkOnPath;
  return jdkChoices_.FolderAt(static_cast<std::size_t>(index - 1));
}

void ProjectSettingsSheet::RefillList() {
  list_->clear();
  for (const std::string& e : files_.Entries()) list_->addItem(Q(e));
}

std::size_t ProjectSettingsSheet::SelectedEntry() const {
  QListWidgetItem* item = list_->currentItem();
  if (!item || !item->isSelected()) return MemberList::npos;
  return static_cast<std::size_t>(list_->row(item));
}

void ProjectSettingsSheet::accept() {
  if (project_.IsOpen()) {
    compiler_.fields.useClassPath = useClassPath_->isChecked();
    compiler_.fields.classPath = S(classPath_->text());
    compiler_.fields.useDirectory = useDirectory_->isChecked();
    compiler_.fields.directory = S(directory_->text());
    compiler_.fields.jdk = JdkSetting();
    // Not written: the project has said so; the sheet stays for another try or Cancel.
    if (!compiler_.Ok()) return;
  }
  QDialog::accept();
}

void RunProjectSettingsSheet(Project& project, QWidget* parent) {
  ProjectSettingsSheet sheet(project, parent);
  sheet.exec();
}

}  // namespace tamso::gui

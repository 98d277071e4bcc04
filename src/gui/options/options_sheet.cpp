#include "options/options_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/editor_style.h"
#include "editor/smart_indent.h"
#include "java/jdk_choice.h"
#include "options/path_list_dialog.h"
#include "platform/host.h"
#include "platform/qt_host.h"

namespace tamso::gui {

// A sample word drawn in one of the page's colours on the page's background colour.
class ColourSwatch : public QWidget {
 public:
  ColourSwatch(const QString& sample, std::function<std::uint32_t()> colour,
               std::function<std::uint32_t()> background, QWidget* parent)
      : QWidget(parent),
        sample_(sample),
        colour_(std::move(colour)),
        background_(std::move(background)) {
    setMinimumSize(
        QSize(fontMetrics().horizontalAdvance(sample_) + 12, fontMetrics().height() + 8));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  // The accessible text: the sample and the colour it shows.
  void UpdateDescription() { setAccessibleDescription(FromColorRef(colour_()).name()); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, palette().base());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(2, 2, -2, -2);
    QRect text = fontMetrics().boundingRect(sample_);
    text.moveTopLeft(r.topLeft());
    text = text.intersected(r);
    p.fillRect(text, FromColorRef(background_()));
    p.setPen(FromColorRef(colour_()));
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop, sample_);
  }

 private:
  QString sample_;
  std::function<std::uint32_t()> colour_;
  std::function<std::uint32_t()> background_;
};

namespace {

template <class W>
W* Named(W* w, const char* id, const QString& accessible) {
  w->setObjectName(QLatin1String(id));
  w->setAccessibleName(accessible);
  return w;
}

QPushButton* Button(const QString& text, const char* id, const QString& accessible,
                    QWidget* parent) {
  auto* b = Named(new QPushButton(text, parent), id, accessible);
  b->setAutoDefault(false);
  if (text == QLatin1String("..."))
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance(text) + 32);
  return b;
}

QLabel* Wrapped(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setWordWrap(true);
  return l;
}

QString AccessibleText(QString text) {
  return text.remove(QLatin1Char('&')).remove(QStringLiteral("...")).trimmed();
}

}  // namespace

OptionsSheet::OptionsSheet(const OptionsContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      editor_(context.profile, context.host, context.refreshSourceViews),
      compiler_(context.profile, context.host),
      etc_(context.profile, context.host, context.getBrowserPath, context.setBrowserPath) {
  setWindowTitle(QStringLiteral("Options"));
  setObjectName(QStringLiteral("OptionsSheet"));
  chooseDirectory_ = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(this, QString(), start);
  };
  editList_ = [this](const QString& list, char separator) -> std::optional<QString> {
    PathListDialog dialog(separator == ':' ? tr("Class path") : tr("Java source path"), list,
                          separator, context_.host, chooseDirectory_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.List();
  };
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("pages"));
  tabs_->addTab(MakeEditorPage(), QStringLiteral("Editor"));
  tabs_->addTab(MakeCompilerPage(), QStringLiteral("Compiler ( javac )"));
  tabs_->addTab(MakeEtcPage(), QStringLiteral("Etc."));
  tabs_->setCurrentIndex(0);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0 && index < 3) shown_[index] = true;
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &OptionsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  setMinimumWidth(600);
}

// ---- Editor page ------------------------------------------------------------

QWidget* OptionsSheet::MakeEditorPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("106"));
  editor_.Init();
  EditorPageValues& v = editor_.values;

  auto* tabLabel = new QLabel(tr("&Tab width:"), page);
  tabWidth_ = Named(new QLineEdit(QString::number(v.tabWidth), page), "1040", tr("Tab width"));
  tabWidth_->setMaxLength(4);
  tabWidth_->setMaximumWidth(tabWidth_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                             16);
  tabLabel->setBuddy(tabWidth_);
  auto* tabRow = new QHBoxLayout;
  tabRow->addWidget(tabLabel);
  tabRow->addWidget(tabWidth_);
  tabRow->addWidget(new QLabel(tr("characters (1 to 30)"), page));
  tabRow->addStretch(1);
  separationLines_ = Named(new QCheckBox(tr("Show Function Separation lines"), page), "1016",
                           tr("Show Function Separation lines"));
  separationLines_->setChecked(v.separationLines);

  // Indentation while typing, apart from how wide a tab is shown.
  indentSpaces_ =
      Named(new QCheckBox(tr("Indent with &spaces"), page), "1090", tr("Indent with spaces"));
  indentSpaces_->setChecked(v.indentSpaces);
  auto* indentLabel = new QLabel(tr("&Indent width:"), page);
  indentWidth_ = Named(new QSpinBox(page), "1091", tr("Indent width"));
  indentWidth_->setRange(1, kMaxIndentWidth);
  indentWidth_->setValue(v.indentWidth);
  // The box's own line edit is what screen readers land on: it carries the name too.
  if (auto* edit = indentWidth_->findChild<QLineEdit*>())
    edit->setAccessibleName(tr("Indent width"));
  indentLabel->setBuddy(indentWidth_);
  auto* indentRow = new QHBoxLayout;
  indentRow->addWidget(indentSpaces_);
  indentRow->addSpacing(16);
  indentRow->addWidget(indentLabel);
  indentRow->addWidget(indentWidth_);
  indentRow->addStretch(1);

  auto* colours = new QGroupBox(tr("Custom Colors"), page);
  colours->setAccessibleName(tr("Custom Colors"));
  auto* grid = new QGridLayout(colours);
  struct Row {
    ColourRole role;
    const char* text;
    const char* button;
    const char* swatch;
    const char* sample;
  };
  const Row rows[] = {
      {ColourRole::Normal, "Normal... ", "1017", "1021", "Normal"},
      {ColourRole::Reserved, "Reserved Words...", "1018", "1022", "Reserved"},
      {ColourRole::Background, "Background...", "1019", "1023", "\"qouted\""},
      {ColourRole::Comment, "Commented Text...", "1020", "1024", "Comment"},
      {ColourRole::LineNumbers, "Line numbers", "1025", "1026", "Hilight"},
  };
  int r = 0;
  for (const Row& row : rows) {
    const QString text = QString::fromLatin1(row.text);
    QPushButton* button = Button(text, row.button, AccessibleText(text) + tr(" colour"), colours);
    const ColourRole role = row.role;
    auto* swatch = new ColourSwatch(
        QString::fromLatin1(row.sample), [this, role] { return editor_.values.Colour(role); },
        [this] { return editor_.values.background; }, colours);
    Named(swatch, row.swatch, AccessibleText(text) + tr(" colour sample"));
    swatch->UpdateDescription();
    swatches_.push_back(swatch);
    connect(button, &QPushButton::clicked, this, [this, role] {
      editor_.ChooseColour(role);
      for (ColourSwatch* s : swatches_) {
        s->UpdateDescription();
        s->update();
      }
    });
    grid->addWidget(button, r, 0);
    grid->addWidget(swatch, r, 1);
    // The line-number colour is kept and saved but has no button of its own.
    if (role == ColourRole::LineNumbers) {
      button->hide();
      swatch->hide();
    }
    ++r;
  }
  grid->addWidget(Wrapped(tr("These colours are used while the scheme is Custom."), colours), r, 0,
                  1, 2);

  auto* schemeBox = new QGroupBox(tr("Color Scheme"), page);
  schemeBox->setAccessibleName(tr("Color Scheme"));
  auto* schemeLayout = new QVBoxLayout(schemeBox);
  schemes_ = new QButtonGroup(this);
  struct Scheme {
    ColourScheme value;
    const char* text;
    const char* id;
  };
  const Scheme schemes[] = {{ColourScheme::Custom, "Custom", "1073"},
                            {ColourScheme::Windows, "Windows", "1074"},
                            {ColourScheme::Mainframe, "Mainframe", "1075"},
                            {ColourScheme::Graystroke, "Graystroke", "1076"}};
  for (const Scheme& s : schemes) {
    const QString text = QString::fromLatin1(s.text);
    auto* radio = Named(new QRadioButton(text, schemeBox), s.id, text + tr(" colour scheme"));
    schemes_->addButton(radio, static_cast<int>(s.value));
    schemeLayout->addWidget(radio);
  }
  schemeLayout->addStretch(1);
  ShowScheme();
  // Every change of the choice is written, however it was made: a click, the keys,
  // or a screen reader setting the button through the accessibility bus.
  connect(schemes_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    const auto scheme = static_cast<ColourScheme>(id);
    if (checked && scheme != editor_.Scheme()) editor_.ChooseScheme(scheme);
  });

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(colours, 3);
  boxes->addWidget(schemeBox, 2);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(tabRow);
  layout->addLayout(indentRow);
  layout->addWidget(separationLines_);
  layout->addLayout(boxes);
  layout->addStretch(1);
  return page;
}

void OptionsSheet::ShowScheme() {
  if (QAbstractButton* b = schemes_->button(static_cast<int>(editor_.Scheme())))
    b->setChecked(true);
}

bool OptionsSheet::TakeEditorPage() {
  const std::optional<int> width = ParseTabWidth(S(tabWidth_->text()));
  if (!width) {
    context_.host.Message(kTabWidthMessage);
    tabs_->setCurrentIndex(0);
    tabWidth_->setFocus();
    tabWidth_->selectAll();
    return false;
  }
  editor_.values.tabWidth = *width;
  editor_.values.separationLines = separationLines_->isChecked();
  editor_.values.indentSpaces = indentSpaces_->isChecked();
  editor_.values.indentWidth = indentWidth_->value();
  return true;
}

// ---- Compiler page ----------------------------------------------------------

QWidget* OptionsSheet::MakeCompilerPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("107"));
  compiler_.Init();
  const CompilerPageValues& v = compiler_.values;

  auto* dirBox = new QGroupBox(tr("Output directory"), page);
  useDirectory_ = Named(new QCheckBox(tr("Put the class files in this directory:"), dirBox), "1022",
                        tr("Use output directory"));
  useDirectory_->setChecked(v.dirs.useDirectory);
  directory_ =
      Named(new QLineEdit(QPath(v.dirs.directory), dirBox), "1023", tr("Output directory"));
  QPushButton* dirButton =
      Button(QStringLiteral("..."), "1024", tr("Choose output directory"), dirBox);
  connect(dirButton, &QPushButton::clicked, this, [this] {
    const QString chosen = chooseDirectory_ ? chooseDirectory_(directory_->text()) : QString();
    if (!chosen.isEmpty()) directory_->setText(chosen);
  });
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(directory_, 1);
  dirRow->addWidget(dirButton);
  auto* dirLayout = new QVBoxLayout(dirBox);
  dirLayout->addWidget(useDirectory_);
  dirLayout->addLayout(dirRow);
  dirLayout->addWidget(Wrapped(
      tr("If not checked, output will go to the same directory as the JAVA source"), dirBox));

  auto* switchBox = new QGroupBox(tr("Options"), page);
  auto* switchGrid = new QGridLayout(switchBox);
  for (std::size_t i = 0; i < kCompilerSwitches.size(); ++i) {
    const CompilerSwitch& s = kCompilerSwitches[i];
    const QString text = QString::fromLatin1(s.label);
    auto* box = new QCheckBox(text, switchBox);
    box->setObjectName(QString::number(s.control));
    box->setAccessibleName(text);
    box->setChecked(v.switches[i]);
    switches_.push_back(box);
    switchGrid->addWidget(box, static_cast<int>(i % 4), static_cast<int>(i / 4));
  }

  auto* cpBox = new QGroupBox(tr("Class path"), page);
  useClassPath_ =
      Named(new QCheckBox(tr("Use this class path:"), cpBox), "1013", tr("Use class path"));
  useClassPath_->setChecked(v.dirs.useClassPath);
  classPath_ = Named(new QLineEdit(QPath(v.dirs.classPath), cpBox), "1014", tr("Class path"));
  QPushButton* cpButton = Button(QStringLiteral("..."), "1015", tr("Edit class path"), cpBox);
  connect(cpButton, &QPushButton::clicked, this, [this] { EditList(classPath_, ':'); });
  auto* cpRow = new QHBoxLayout;
  cpRow->addWidget(classPath_, 1);
  cpRow->addWidget(cpButton);
  auto* cpLayout = new QVBoxLayout(cpBox);
  cpLayout->addWidget(useClassPath_);
  cpLayout->addLayout(cpRow);
  cpLayout->addWidget(Wrapped(tr("Directories and .jar files, separated by a colon."), cpBox));

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeJdkBox(page));
  layout->addWidget(dirBox);
  layout->addWidget(switchBox);
  layout->addWidget(cpBox);
  layout->addWidget(Wrapped(tr("The options can be overridden by the current project.  To check "
                               "project settings, choose 'project -> settings' from the main menu"),
                            page));
  layout->addStretch(1);
  return page;
}

QWidget* OptionsSheet::MakeJdkBox(QWidget* page) {
  const CompilerPageValues& v = compiler_.values;
  auto* box = new QGroupBox(tr("JDK"), page);
  auto* jdkLabel = new QLabel(tr("&JDK:"), box);
  jdk_ = Named(new QComboBox(box), "jdk", tr("JDK"));
  jdk_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  jdk_->setMinimumContentsLength(30);
  jdkLabel->setBuddy(jdk_);
  jdkChoices_ = ListJdkChoices(JdkEnvironment::FromProcess(), v.jdk);
  FillJdkCombo(v.jdk);
  QPushButton* browse = Button(tr("Browse..."), "jdkBrowse", tr("Choose a JDK folder"), box);
  connect(browse, &QPushButton::clicked, this, [this] {
    const std::string start = jdkChoices_.FolderAt(static_cast<std::size_t>(jdk_->currentIndex()));
    const QString chosen = chooseDirectory_ ? chooseDirectory_(QPath(start)) : QString();
    if (chosen.isEmpty()) return;
    const std::string folder = SPath(chosen);
    if (!AcceptJdkFolder(folder, context_.host)) return;
    if (jdkChoices_.IndexOf(folder) == 0) jdkChoices_.other = folder;
    FillJdkCombo(folder);
  });

  auto* releaseLabel = new QLabel(tr("--&release:"), box);
  release_ = Named(new QLineEdit(QString::fromStdString(v.release), box), "release",
                   tr("Release to compile for (--release)"));
  release_->setPlaceholderText(tr("the JDK's own"));
  release_->setMaximumWidth(release_->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 12);
  releaseLabel->setBuddy(release_);
  auto* extraLabel = new QLabel(tr("E&xtra options:"), box);
  extraOptions_ = Named(new QLineEdit(QString::fromStdString(v.extraOptions), box), "extraOptions",
                        tr("Extra compiler options"));
  extraOptions_->setPlaceholderText(QStringLiteral("--enable-preview -Xlint:all -parameters"));
  extraLabel->setBuddy(extraOptions_);
  auto* launcherLabel = new QLabel(tr("J&Unit launcher:"), box);
  testLauncher_ = Named(new QLineEdit(QString::fromStdString(v.testLauncher), box), "testLauncher",
                        tr("JUnit console launcher jar for Run Tests"));
  testLauncher_->setPlaceholderText(
      QStringLiteral("/usr/share/java/junit-platform-console-standalone.jar"));
  launcherLabel->setBuddy(testLauncher_);

  auto* grid = new QGridLayout(box);
  grid->addWidget(jdkLabel, 0, 0);
  grid->addWidget(jdk_, 0, 1, 1, 2);
  grid->addWidget(browse, 0, 3);
  grid->addWidget(releaseLabel, 1, 0);
  grid->addWidget(release_, 1, 1);
  grid->addWidget(Wrapped(tr("Blank: the JDK's own release; else 8 up to the JDK's version."), box),
                  1, 2, 1, 2);
  grid->addWidget(extraLabel, 2, 0);
  grid->addWidget(extraOptions_, 2, 1, 1, 3);
  grid->addWidget(launcherLabel, 3, 0);
  grid->addWidget(testLauncher_, 3, 1, 1, 3);
  grid->setColumnStretch(2, 1);
  return box;
}

void OptionsSheet::FillJdkCombo(const std::string& selected) {
  jdk_->clear();
  for (const std::string& label : jdkChoices_.Labels()) jdk_->addItem(QPath(label));
  jdk_->setCurrentIndex(static_cast<int>(jdkChoices_.IndexOf(selected)));
}

void OptionsSheet::EditList(QLineEdit* edit, char separator) {
  if (!editList_) return;
  if (std::optional<QString> list = editList_(edit->text(), separator)) edit->setText(*list);
}

// ---- Etc. page --------------------------------------------------------------

QWidget* OptionsSheet::MakeEtcPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("108"));
  etc_.Init();

  auto* webBox = new QGroupBox(tr("Web Browser"), page);
  auto* browserLabel = new QLabel(tr("Full path to Browser executable:"), webBox);
  browser_ = Named(new QLineEdit(QPath(etc_.browserPath), webBox), "1007",
                   tr("Full path to Browser executable"));
  browserLabel->setBuddy(browser_);
  QPushButton* browse = Button(QStringLiteral("..."), "1005", tr("Choose browser"), webBox);
  connect(browse, &QPushButton::clicked, this, [this] {
    etc_.browserPath = SPath(browser_->text());
    if (etc_.ChooseBrowser()) browser_->setText(QPath(etc_.browserPath));
  });
  auto* browserRow = new QHBoxLayout;
  browserRow->addWidget(browser_, 1);
  browserRow->addWidget(browse);
  auto* webLayout = new QVBoxLayout(webBox);
  webLayout->addWidget(browserLabel);
  webLayout->addLayout(browserRow);
  webLayout->addWidget(
      Wrapped(tr("Maybe try...   /usr/bin/xdg-open  (opens pages in the desktop's own browser; "
                 "used when this is empty)"),
              webBox));

  auto* srcBox = new QGroupBox(tr("Java source files"), page);
  auto* srcLabel = Wrapped(
      tr("This is path the Class browser will search when locating source (.java) files."), srcBox);
  sourcePath_ =
      Named(new QLineEdit(QPath(etc_.sourcePath), srcBox), "1042", tr("Java source path"));
  srcLabel->setBuddy(sourcePath_);
  QPushButton* srcButton = Button(QStringLiteral("..."), "1043", tr("Edit source path"), srcBox);
  connect(srcButton, &QPushButton::clicked, this, [this] { EditList(sourcePath_, ';'); });
  auto* srcRow = new QHBoxLayout;
  srcRow->addWidget(sourcePath_, 1);
  srcRow->addWidget(srcButton);
  auto* srcLayout = new QVBoxLayout(srcBox);
  srcLayout->addWidget(srcLabel);
  srcLayout->addLayout(srcRow);
  srcLayout->addWidget(Wrapped(tr("Enter directories separated by a semicolon.  A .zip or .jar "
                                  "of sources, such as the JDK's src.zip, may be listed too."),
                               srcBox));
  srcLayout->addWidget(
      Wrapped(tr("Example:  .;/home/me/java/src;/usr/lib/jvm/default-java/lib/src.zip"), srcBox));

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(webBox);
  layout->addWidget(srcBox);
  layout->addStretch(1);
  return page;
}

// ---- OK ---------------------------------------------------------------------

void OptionsSheet::accept() {
  // Checked before anything is written, so that a refused width saves nothing.
  if (!TakeEditorPage()) return;
  bool ok = editor_.Ok();
  if (shown_[1]) {
    compiler_.values.dirs.useDirectory = useDirectory_->isChecked();
    compiler_.values.dirs.directory = SPath(directory_->text());
    compiler_.values.dirs.useClassPath = useClassPath_->isChecked();
    compiler_.values.dirs.classPath = SPath(classPath_->text());
    for (std::size_t i = 0; i < switches_.size(); ++i)
      compiler_.values.switches[i] = switches_[i]->isChecked();
    compiler_.values.jdk =
        jdkChoices_.FolderAt(static_cast<std::size_t>(std::max(0, jdk_->currentIndex())));
    compiler_.values.release = release_->text().trimmed().toStdString();
    compiler_.values.extraOptions = extraOptions_->text().toStdString();
    compiler_.values.testLauncher = testLauncher_->text().trimmed().toStdString();
    ok = compiler_.Ok() && ok;
  }
  if (shown_[2]) {
    etc_.browserPath = SPath(browser_->text());
    etc_.sourcePath = SPath(sourcePath_->text());
    ok = etc_.Ok() && ok;
  }
  // Not saved: the user has been told; the sheet stays for another try or Cancel.
  if (!ok) return;
  QDialog::accept();
}

void RunOptionsSheet(const OptionsContext& context, QWidget* parent) {
  OptionsSheet sheet(context, parent);
  sheet.exec();
}

}  // namespace tamso::gui

#include "options/options_sheet.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui/app/gui_fixture.h"
#include "options/editor_font.h"
#include "options/options_commands.h"
#include "options/path_list_dialog.h"

namespace tamso::gui::testing {
namespace {

// The scripted host with the colour dialog answered from a script too.
class ColourHost : public ScriptedHost {
 public:
  std::optional<std::uint32_t> ColorDialog(std::uint32_t initial) override {
    colourStarts.push_back(initial);
    if (colourAnswers.empty()) return std::nullopt;
    auto v = colourAnswers.front();
    colourAnswers.pop_front();
    return v;
  }
  std::deque<std::optional<std::uint32_t>> colourAnswers;
  std::vector<std::uint32_t> colourStarts;
};

class OptionsSheetTest : public ShellTest {
 protected:
  OptionsSheetTest() { realEditors = true; }
  // The window goes before the host it talks to.
  ~OptionsSheetTest() override { shell.reset(); }
  void Start() {
    shell = std::make_unique<ShellApplication>(
        *profile, colours, *model,
        [](ViewKind kind, IniFile& ini, IHost& h, QWidget* parent) -> EditorPane* {
          return CreateEditorPane(kind, ini, h, parent);
        },
        nullptr);
    ASSERT_TRUE(shell->Start(ParseAppCommandLine({})));
    if (StartBanner::Current()) StartBanner::Current()->Hide();
  }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  OptionsContext Context() {
    return {*profile, colours, [this] { window()->RefreshSourceViews(); },
            [this] { return shell->App().GetBrowserPath(); },
            [this](const std::string& p) { shell->App().SetBrowserPath(p); }};
  }
  template <class T>
  static T* Find(QWidget& w, const char* id) {
    T* c = w.findChild<T*>(QLatin1String(id));
    EXPECT_NE(c, nullptr) << id;
    return c;
  }
  std::string Get(const char* section, const char* key) {
    return profile->GetString(section, key, "<none>");
  }
  ColourHost colours;
};

TEST_F(OptionsSheetTest, OpenEditorsFollowColoursAtOnceAndTheTabWidthOnOk) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "class A {\n\tint x;\n}\n"));
  CSourceEditor* editor = EditorOf(child);
  EXPECT_EQ(editor->Store().TabWidth(), 5);
  EXPECT_EQ(editor->BackgroundColour(), QColor(0xFF, 0xFF, 0xFF));
  {
    OptionsSheet sheet(Context(), window());
    EXPECT_EQ(sheet.windowTitle(), "Options");
    EXPECT_EQ(sheet.Tabs()->tabText(0), "Editor");
    EXPECT_EQ(sheet.Tabs()->tabText(1), "Compiler ( javac )");
    EXPECT_EQ(sheet.Tabs()->tabText(2), "Etc.");
    // The scheme in force is the one shown.
    EXPECT_TRUE(Find<QRadioButton>(sheet, "1074")->isChecked());
    Find<QRadioButton>(sheet, "1075")->click();  // Mainframe: black background
    EXPECT_EQ(editor->BackgroundColour(), QColor(0, 0, 0));
    Find<QRadioButton>(sheet, "1073")->click();  // Custom
    colours.colourAnswers.push_back(0x00FF00);   // green, as 0x00BBGGRR
    Find<QAbstractButton>(sheet, "1019")->click();
    EXPECT_EQ(colours.colourStarts.back(), 0x003F7Fu);  // the page's default background
    EXPECT_EQ(editor->BackgroundColour(), QColor(0, 0xFF, 0));
    Find<QLineEdit>(sheet, "1040")->setText("12");
    sheet.reject();
  }
  // Cancel keeps the colours and the scheme but not the tab width.
  EXPECT_EQ(editor->Store().TabWidth(), 5);
  EXPECT_EQ(Get("Editor", "TabChars"), "<none>");
  EXPECT_EQ(Get("Editor", "ColorScheme"), "0");
  {
    OptionsSheet sheet(Context(), window());
    EXPECT_TRUE(Find<QRadioButton>(sheet, "1073")->isChecked());
    Find<QLineEdit>(sheet, "1040")->setText("0");
    sheet.accept();  // refused: the message, the page stays, nothing written
    EXPECT_EQ(sheet.result(), 0);
    ASSERT_EQ(colours.messages.size(), 1u);
    EXPECT_EQ(colours.messages[0], "Please enter an integer between 1 and 30.");
    EXPECT_EQ(Get("Editor", "TabChars"), "<none>");
    Find<QLineEdit>(sheet, "1040")->setText("12");
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
  }
  EXPECT_EQ(editor->Store().TabWidth(), 12);
  EXPECT_EQ(Get("Editor", "TabChars"), "12");
}

TEST_F(OptionsSheetTest, SeparationLinesBoxShowsAndDecidesWhetherTheyAreDrawn) {
  Start();
  ChildFrame* child =
      window()->OpenDocumentFile(File("A.java", "class A {\n  void f() {\n  }\n}\n"));
  CSourceEditor* editor = EditorOf(child);
  ASSERT_EQ(editor->Store().LineMark(1), 1);  // a method header: a separator place
  // Whether a dotted line in the comment colour runs along the top of the method's line.
  auto separatorShown = [&] {
    QImage image(editor->viewport()->size(), QImage::Format_RGB32);
    QPainter p(&image);
    editor->Paint(p, image.rect());
    p.end();
    const QColor comment(0x00, 0x7F, 0x00);  // the default scheme's
    int dots = 0;
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, editor->LineHeight()) == comment) ++dots;
    return dots > image.width() / 4;
  };
  auto runSheet = [&](std::optional<bool> tick) {
    OptionsSheet sheet(Context(), window());
    auto* box = Find<QCheckBox>(sheet, "1016");
    const bool shown = box->isChecked();
    if (tick) {
      box->setChecked(*tick);
      sheet.accept();
    } else {
      sheet.reject();
    }
    return shown;
  };
  EXPECT_FALSE(runSheet(std::nullopt));
  EXPECT_FALSE(separatorShown());
  EXPECT_FALSE(runSheet(true));
  EXPECT_EQ(Get("Editor", "Colorize"), "1");
  EXPECT_TRUE(separatorShown());
  EXPECT_TRUE(runSheet(false));
  EXPECT_FALSE(separatorShown());
  EXPECT_FALSE(runSheet(std::nullopt));
}

TEST_F(OptionsSheetTest, ASchemeChosenWithoutAClickIsWrittenAndShownToo) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "class A {}\n"));
  OptionsSheet sheet(Context(), window());
  // A screen reader sets the button's state through the accessibility bus: no click.
  QRadioButton* mainframe = Find<QRadioButton>(sheet, "1075");
  QAccessibleInterface* button = QAccessible::queryAccessibleInterface(mainframe);
  ASSERT_TRUE(button);
  EXPECT_TRUE(button->role() == QAccessible::RadioButton);
  mainframe->setChecked(true);
  EXPECT_TRUE(button->state().checked);
  EXPECT_EQ(Get("Editor", "ColorScheme"), "1");
  EXPECT_EQ(EditorOf(child)->BackgroundColour(), QColor(0, 0, 0));
  Find<QRadioButton>(sheet, "1076")->setChecked(true);
  EXPECT_EQ(Get("Editor", "ColorScheme"), "3");
  sheet.reject();
  EXPECT_EQ(Get("Editor", "ColorScheme"), "3");  // the scheme is kept at once, as a click keeps it
}

TEST_F(OptionsSheetTest, PagesNotShownAreNotSavedAndShownOnesSaveEveryControl) {
  Start();
  profile->WriteString("Compiler", "Verbose", "Y");
  {
    OptionsSheet sheet(Context(), window());
    Find<QCheckBox>(sheet, "1006")->setChecked(false);  // never shown: not saved
    sheet.accept();
  }
  EXPECT_EQ(Get("Compiler", "Verbose"), "Y");
  EXPECT_EQ(Get("Compiler", "Debug"), "<none>");
  EXPECT_EQ(Get("Java", "SourcePath"), "<none>");

  OptionsSheet sheet(Context(), window());
  EXPECT_TRUE(Find<QCheckBox>(sheet, "1006")->isChecked());
  sheet.Tabs()->setCurrentIndex(1);
  sheet.Tabs()->setCurrentIndex(2);
  Find<QCheckBox>(sheet, "1033")->setChecked(true);
  Find<QCheckBox>(sheet, "1022")->setChecked(true);
  sheet.SetDirectoryChooser([&](const QString&) { return QString::fromStdString(dir + "/out"); });
  Find<QAbstractButton>(sheet, "1024")->click();
  sheet.SetListEditor([](const QString& list, char sep) -> std::optional<QString> {
    EXPECT_EQ(sep, ':');
    return list + "/lib/a.jar:/classes";
  });
  Find<QAbstractButton>(sheet, "1015")->click();
  colours.openAnswers.push_back("/opt/web browser/run");
  Find<QAbstractButton>(sheet, "1005")->click();
  Find<QLineEdit>(sheet, "1042")->setText(".;/src");
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(Get("Compiler", "Optimize"), "Y");
  EXPECT_EQ(Get("Compiler", "Debug"), "N");
  EXPECT_EQ(Get("Compiler", "UseDirectory"), "Y");
  EXPECT_EQ(Get("Compiler", "Directory"), dir + "/out");
  EXPECT_EQ(Get("Compiler", "ClassPath"), "/lib/a.jar:/classes");
  EXPECT_EQ(shell->App().GetBrowserPath(), "/opt/web browser/run");
  EXPECT_EQ(Get("Browser", "Path"), "/opt/web browser/run");
  EXPECT_EQ(Get("Java", "SourcePath"), ".;/src");
}

// The JDK combo lists the default and the JDKs found; "Browse..." refuses a folder
// without bin/javac and adds a JDK; OK refuses a release below 8 and keeps the rest.
TEST_F(OptionsSheetTest, CompilerPageChoosesTheJdkReleaseAndExtraOptions) {
  Start();
  const std::string jdk = dir + "/my jdk";
  std::filesystem::create_directories(jdk + "/bin");
  std::ofstream(jdk + "/bin/javac") << "#!/bin/sh\n";
  std::filesystem::permissions(jdk + "/bin/javac", std::filesystem::perms::owner_all);
  std::ofstream(jdk + "/release") << "JAVA_VERSION=\"25.0.1\"\n";
  std::filesystem::create_directories(dir + "/jre");

  OptionsSheet sheet(Context(), window());
  sheet.Tabs()->setCurrentIndex(1);
  auto* combo = Find<QComboBox>(sheet, "jdk");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->itemText(0), QStringLiteral("Default (javac on PATH)"));
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_FALSE(combo->accessibleName().isEmpty());
  const int listed = combo->count();

  std::string answer = dir + "/jre";
  sheet.SetDirectoryChooser([&](const QString&) { return QString::fromStdString(answer); });
  Find<QAbstractButton>(sheet, "jdkBrowse")->click();
  ASSERT_EQ(colours.messages.size(), 1u);
  EXPECT_EQ(colours.messages[0], "The folder " + dir + "/jre is not a JDK: it has no bin/javac.");
  EXPECT_EQ(combo->count(), listed);
  answer = jdk;
  Find<QAbstractButton>(sheet, "jdkBrowse")->click();
  EXPECT_EQ(combo->count(), listed + 1);
  EXPECT_EQ(combo->currentText().toStdString(), "25.0.1 (" + jdk + ")");

  Find<QLineEdit>(sheet, "release")->setText("7");
  Find<QLineEdit>(sheet, "extraOptions")->setText("--enable-preview \"-Aa=b c\"");
  sheet.accept();
  EXPECT_NE(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(colours.messages.back(),
            "\"7\" is no release to compile for: leave it blank or enter a number from 8 to 25.");
  EXPECT_EQ(Get("Compiler", "JDK"), "<none>");
  Find<QLineEdit>(sheet, "release")->setText("25");
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(Get("Compiler", "JDK"), jdk);
  EXPECT_EQ(Get("Compiler", "Release"), "25");
  EXPECT_EQ(Get("Compiler", "ExtraOptions"), "--enable-preview \"-Aa=b c\"");

  // Shown again: the chosen JDK is selected.
  OptionsSheet again(Context(), window());
  EXPECT_EQ(Find<QComboBox>(again, "jdk")->currentText().toStdString(), "25.0.1 (" + jdk + ")");
}

TEST_F(OptionsSheetTest, PathListHelperAddsDirectoriesAndArchivesOnceAndKeepsOrder) {
  ColourHost host;
  host.openAnswers = {"/jdk/lib/src.zip", "/jdk/lib/src.zip", std::nullopt};
  PathListDialog dialog("Java source path", ".;/a;;/b", ';', host,
                        [](const QString&) { return QStringLiteral("/c"); });
  EXPECT_EQ(dialog.Entries()->count(), 3);
  dialog.AddArchive();
  dialog.AddArchive();  // listed already
  dialog.AddArchive();  // cancelled
  dialog.AddDirectory();
  EXPECT_EQ(dialog.List(), ".;/a;/b;/jdk/lib/src.zip;/c");
  dialog.Entries()->setCurrentRow(4);
  Find<QAbstractButton>(dialog, "up")->click();
  dialog.Entries()->setCurrentRow(0);
  Find<QAbstractButton>(dialog, "remove")->click();
  EXPECT_EQ(dialog.List(), "/a;/b;/c;/jdk/lib/src.zip");
}

TEST_F(OptionsSheetTest, EveryControlOfTheSheetHasAnAccessibleName) {
  Start();
  OptionsSheet sheet(Context(), window());
  sheet.show();
  int checked = 0;
  for (QWidget* w : sheet.findChildren<QWidget*>()) {
    if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w)) continue;
    if (w->isHidden() && w->objectName() != "1025") continue;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty()) << w->objectName().toStdString();
    ++checked;
  }
  EXPECT_GT(checked, 25);
}

TEST_F(OptionsSheetTest, CommandsAreLiveAndEditorFontAppliesAFixedPitchFace) {
  Start();
  InstallOptionsCommands(*shell, *profile, colours, false);
  // The HTML window's Options menu has "Editor Font..." (the Java one has not).
  ChildFrame* child = window()->OpenDocumentFile(File("a.html", "<p>x</p>\n"));
  CSourceEditor* editor = EditorOf(child);
  window()->EnterMenuBar();
  QAction* font = MenuAction("Options", cmd::kEditorFont);
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(font->isEnabled());
  EXPECT_TRUE(MenuAction("Options", cmd::kSettings)->isEnabled());
  std::unique_ptr<QMenu> menu(editor->CreateContextMenu());
  EXPECT_TRUE(menu->findChild<QAction*>("32777")->isEnabled());

  auto refresh = [this] { window()->RefreshSourceViews(); };
  EXPECT_FALSE(ChooseEditorFont(*profile, window(), refresh,
                                [](const QFont&) { return std::optional<QFont>(); }));
  EXPECT_EQ(Get("Font", "Face"), "<none>");
  QFont offered;
  ASSERT_TRUE(ChooseEditorFont(*profile, window(), refresh, [&](const QFont& initial) {
    offered = initial;
    QFont f(QStringLiteral("Noto Mono"));
    f.setPointSize(14);
    return std::optional<QFont>(f);
  }));
  EXPECT_EQ(offered.pointSize(), 10);
  EXPECT_EQ(Get("Font", "Face"), "Noto Mono");
  EXPECT_EQ(Get("Font", "PointSize"), "14");
  EXPECT_EQ(QFontInfo(editor->viewport()->font()).family(), "Noto Mono");
  // A face that is not there, not of fixed pitch or not a name at all gives the
  // built-in face.
  profile->RemoveKey("Font", "Face");
  window()->RefreshSourceViews();
  const QString builtIn = QFontInfo(editor->viewport()->font()).family();
  for (const char* face : {"No Such Face 123", "DejaVu Sans", "\x01\x02"}) {
    profile->WriteString("Font", "Face", face);
    window()->RefreshSourceViews();
    EXPECT_EQ(QFontInfo(editor->viewport()->font()).family(), builtIn) << face;
  }
}

TEST_F(OptionsSheetTest, EditorFontIsOnEveryEditorsMenuAndOpensOnTheFaceInUse) {
  Start();
  InstallOptionsCommands(*shell, *profile, colours, false);
  // The Java and Perl windows have "Editor Font..." where the HTML window has it.
  for (const char* name : {"A.java", "s.pl", "a.html"}) {
    ChildFrame* child = window()->OpenDocumentFile(File(name, "x\n"));
    ASSERT_NE(child, nullptr) << name;
    window()->EnterMenuBar();
    const std::vector<QString> items = OpenMenu("Options");
    ASSERT_GE(items.size(), 2u) << name;
    EXPECT_EQ(items[items.size() - 2], "-") << name;
    EXPECT_EQ(items.back(), "Editor Font...") << name;
    QAction* font = MenuAction("Options", cmd::kEditorFont);
    ASSERT_NE(font, nullptr) << name;
    EXPECT_TRUE(font->isEnabled()) << name;
  }
  // The dialog shows the face and style the editor draws with (upright, not the first
  // style of the face's list), at the editor's size.
  CSourceEditor* editor = EditorOf(window()->ActiveChild());
  const QFontInfo drawn(editor->viewport()->font());
  ASSERT_FALSE(drawn.italic());
  for (const char* face : {"", "DejaVu Sans Mono", "Noto Mono"}) {
    if (*face) profile->WriteString("Font", "Face", face);
    window()->RefreshSourceViews();
    const QFontInfo inUse(editor->viewport()->font());
    const std::unique_ptr<QFontDialog> dialog = MakeEditorFontDialog(*profile, window());
    const QFont offered = dialog->currentFont();
    EXPECT_EQ(offered.family(), inUse.family()) << face;
    EXPECT_FALSE(QFontInfo(offered).italic()) << face;
    EXPECT_EQ(QFontInfo(offered).styleName(), inUse.styleName()) << face;
    EXPECT_EQ(offered.pointSize(), 10) << face;
  }
}

TEST_F(OptionsSheetTest, StartUpOffersTheTipsOnceTheWindowIsUpAndMovesOn) {
  // The user's own tips.txt comes first in the lookup.
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
  std::filesystem::create_directories(dir + "/config/tamso");
  std::ofstream(dir + "/config/tamso/tips.txt") << "Own tip one\nOwn tip two\n";
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir + "/config"));
  shell = std::make_unique<ShellApplication>(
      *profile, colours, *model,
      [](ViewKind kind, IniFile& ini, IHost& h, QWidget* parent) -> EditorPane* {
        return CreateEditorPane(kind, ini, h, parent);
      },
      nullptr);
  InstallOptionsCommands(*shell, *profile, colours, true);
  ASSERT_TRUE(shell->Start(ParseAppCommandLine({})));
  if (StartBanner::Current()) StartBanner::Current()->Hide();
  QString shown;
  QWidget* parentOfTips = nullptr;
  QTimer::singleShot(0, qApp, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    parentOfTips = modal->parentWidget();
    if (auto* tip = modal->findChild<QLabel*>("1004")) shown = tip->text();
    modal->close();
  });
  QApplication::processEvents();
  QApplication::processEvents();
  if (oldConfig.isNull())
    qunsetenv("XDG_CONFIG_HOME");
  else
    qputenv("XDG_CONFIG_HOME", oldConfig);
  EXPECT_EQ(shown, "Own tip one");
  EXPECT_EQ(parentOfTips, window());
  EXPECT_EQ(Get("WhatsCool", "FilePos"), "12");
}

}  // namespace
}  // namespace tamso::gui::testing

// A Java, an HTML and a Perl file in each of the four colour schemes, side by side,
// each with a selection and a separator line in view. Each pane must paint its whole
// area, its background in the scheme's colour, reserved words, comments and plain
// text each in their own colour, and its selection inverted. With
// TAMSO_EDITOR_SHOWCASE_MS set, the window stays up that long to be looked at.

#include <gtest/gtest.h>
#include <QEventLoop>
#include <QGridLayout>
#include <QTimer>

#include "editor/editor_settings.h"
#include "editor/editor_style.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

const char kJava[] =
    "package demo.shapes;\n"
    "import java.util.*;\n"
    "\n"
    "/* A shape with an area,\n"
    "   and a name. */\n"
    "public class Circle extends Shape implements Comparable {\n"
    "\tprivate double r = 1.0;  // radius\n"
    "\tString name = \"if (not a keyword)\";\n"
    "\n"
    "\tpublic double area() {\n"
    "\t\treturn Math.PI * r * r;\n"
    "\t}\n"
    "}\n";

const char kHtml[] =
    "<HTML>\n"
    "<HEAD><TITLE>Demo</TITLE></HEAD>\n"
    "<!-- a comment\n"
    "     over two lines -->\n"
    "<body bgcolor=\"#FFFFFF\">\n"
    "<B>Bold</B> and <i>italic</i> text.\n"
    "<applet code=\"Circle.class\" width=200 height=100>\n"
    "</applet>\n"
    "</body>\n"
    "</HTML>\n";

const char kPerl[] =
    "#!/usr/bin/perl\n"
    "# sub not_a_sub: a comment\n"
    "use strict;\n"
    "\n"
    "sub greet {\n"
    "    my ($name) = @_;\n"
    "    print \"Hello, $name\\n\";\n"
    "    return length($name);\n"
    "}\n"
    "greet(\"w\xC3\xB6rld\");\n";

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

// The ink of a cell: its pixel farthest from the background (smoothed glyph edges
// lie between the two, so the farthest one is the glyph's own colour).
QColor InkOf(const QImage& image, const QRect& cell, const QColor& background) {
  QColor ink = background;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (Distance(c, background) > Distance(ink, background)) ink = c;
    }
  return ink;
}

// The cells of word [col, col + length) on line, as one rectangle.
QRect WordRect(const CSourceEditor& e, int line, int col, int length) {
  return e.CellRect(line, col).united(e.CellRect(line, col + length - 1));
}

TEST(EditorShowcase, EveryLanguageInEverySchemePaintsItsColours) {
  QWidget window;
  window.setWindowTitle(QStringLiteral("Editor showcase"));
  auto* grid = new QGridLayout(&window);
  grid->setSpacing(2);
  grid->setContentsMargins(2, 2, 2, 2);
  std::vector<std::unique_ptr<EditorFixture>> fixtures;
  const QColor backgrounds[4] = {QColor(Qt::white), QColor(Qt::black), QColor(Qt::white),
                                 QColor(0xC0, 0xC0, 0xC0)};
  const ViewKind kinds[3] = {ViewKind::Java, ViewKind::Html, ViewKind::Perl};
  const char* texts[3] = {kJava, kHtml, kPerl};
  for (int scheme = 0; scheme < 4; ++scheme) {
    for (int k = 0; k < 3; ++k) {
      auto f = std::make_unique<EditorFixture>(
          kinds[k], "[Editor]\nColorScheme=" + std::to_string(scheme) + "\n[Font]\nPointSize=8\n");
      f->Load(texts[k]);
      f->editor->Store().SetSelection(k == 1 ? 5 : 6, 1, k == 1 ? 5 : 7, 12);
      f->editor->UpdateCaret();
      f->pane->setMinimumSize(400, 230);
      grid->addWidget(f->pane.get(), scheme, k);
      fixtures.push_back(std::move(f));
    }
  }
  window.show();
  for (int i = 0; i < static_cast<int>(fixtures.size()); ++i) {
    EditorFixture& f = *fixtures[i];
    f.editor->resize(f.pane->size());
    const QImage image = f.Paint();
    ASSERT_FALSE(image.isNull());
    const QColor bg = backgrounds[i / 3];
    // Far right of the first row lies past every line's end.
    EXPECT_EQ(image.pixelColor(image.width() - 2, 1), bg) << "pane " << i;
    bool painted = true;
    for (int y = 0; y < image.height() && painted; y += 3)
      for (int x = 0; x < image.width(); x += 3)
        if (image.pixelColor(x, y) == QColor(Qt::magenta)) painted = false;
    EXPECT_TRUE(painted) << "pane " << i;

    const EditorColours scheme = ColoursForScheme(i / 3, f.Profile());
    const QColor normal = FromColorRef(scheme.normal), reserved = FromColorRef(scheme.reserved),
                 comment = FromColorRef(scheme.comment);
    // Where each kind of word stands: (line, col, length).
    struct Word {
      int line, col, length;
      QColor colour;
    };
    std::vector<Word> words;
    if (i % 3 == 0)
      words = {{5, 0, 6, reserved}, {3, 0, 2, comment}, {5, 13, 6, normal}};  // Java
    else if (i % 3 == 2)
      words = {{1, 2, 3, comment}, {5, 8, 4, normal}};  // Perl
    else
      words = {{2, 5, 7, comment}};  // HTML
    for (const Word& w : words) {
      const QColor ink = InkOf(image, WordRect(*f.editor, w.line, w.col, w.length), bg);
      for (const QColor& other : {normal, reserved, comment}) {
        if (other == w.colour || Distance(other, w.colour) < 60) continue;
        EXPECT_LT(Distance(ink, w.colour), Distance(ink, other))
            << "pane " << i << " line " << w.line << " col " << w.col << " ink "
            << ink.name().toStdString();
      }
    }
    // The selection is drawn inverted: no background inside it.
    const int selLine = i % 3 == 1 ? 5 : 7;
    EXPECT_NE(image.pixelColor(f.editor->CellRect(selLine, 3).topLeft()), bg) << "pane " << i;
  }
  const int ms = qEnvironmentVariableIntValue("TAMSO_EDITOR_SHOWCASE_MS");
  if (ms > 0) {
    window.showMaximized();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

}  // namespace
}  // namespace tamso::gui::testing

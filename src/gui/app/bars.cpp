#include "app/bars.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

OutputBarFactory& OutputFactory() {
  static OutputBarFactory f;
  return f;
}
ProjectTreeFactory& TreeFactory() {
  static ProjectTreeFactory f;
  return f;
}

// Read-only text of the tools' output.
class PlainOutputView : public QPlainTextEdit, public IOutput {
 public:
  explicit PlainOutputView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  }
  void SetOutput(const std::string& text) override { setPlainText(Q(text)); }
  void AppendOutput(const std::string& text, bool newLineFirst) override {
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.insertText((newLineFirst ? QStringLiteral("\n") : QString()) + Q(text));
    ensureCursorVisible();
  }
};

}  // namespace

void SetOutputBarFactory(OutputBarFactory factory) {
  OutputFactory() = std::move(factory);
}
void SetProjectTreeFactory(ProjectTreeFactory factory) {
  TreeFactory() = std::move(factory);
}

OutputBarParts CreateOutputBar(QWidget* parent) {
  if (OutputFactory()) return OutputFactory()(parent);
  auto* view = new PlainOutputView(parent);
  return {view, view};
}

ProjectTreeParts CreateProjectTreeBar(QWidget* parent) {
  if (TreeFactory()) return TreeFactory()(parent);
  auto* tree = new QTreeWidget(parent);
  tree->setHeaderHidden(true);
  return {tree, [tree] { tree->clear(); }};
}

}  // namespace tamso::gui

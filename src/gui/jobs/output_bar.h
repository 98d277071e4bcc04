#pragma once
// The output window: a read-only, fixed-pitch view of everything the tools wrote.
// The text is kept as bytes in an OutputText (decoded only to draw), only the
// visible lines are painted, and repaints are coalesced, so a flood of output
// stays cheap. A double click on a line that names a file and a line number opens
// that file at that line; on any other line it beeps.
//
// The shell puts it into the bottom dock with
//   SetOutputBarFactory([&host](QWidget* parent) {
//     auto* bar = CreateOutputBarWidget(host, parent);
//     return OutputBarParts{bar, bar};
//   });

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jobs/ansi_text.h"
#include "jobs/build_job.h"
#include "jobs/output_text.h"
#include "platform/host.h"

class QFontMetricsF;
class QPainter;

namespace tamso::gui {

class OutputAccessibility;

class OutputBar : public QAbstractScrollArea, public IOutput {
  Q_OBJECT
 public:
  // host is used for the jump to source (open document, active view, beep); it may
  // be set later with SetHost.
  explicit OutputBar(IHost* host, QWidget* parent = nullptr,
                     size_t capBytes = OutputText::kDefaultCap);
  ~OutputBar() override;

  void SetHost(IHost* host) { host_ = host; }

  // Replaces all text. Any thread: from another thread the call runs on the
  // user-interface thread and returns when it is done.
  void SetOutput(const std::string& text) override;
  // Appends text, with a line break first when newLineFirst. Any thread, as above.
  // Colour and bold escapes in it are drawn as such, other escapes taken out; a
  // sequence split between two appends is held back until its end comes. A line
  // appended with newLineFirst starts plain.
  void AppendOutput(const std::string& text, bool newLineFirst) override;
  void SetReferenceDirectory(const std::string& dir) override { referenceDir_ = dir; }
  void SetReferenceRoots(const std::vector<std::string>& roots) override {
    referenceRoots_ = roots;
  }
  bool GoToReference(bool forward) override;
  void ShowNow() override;

  const OutputText& Text() const { return text_; }
  void SetLineCap(size_t lines) { text_.SetLineCap(lines); }
  // Appends runs of a program's output in their colours and weights (user-interface
  // thread only). Text appended otherwise is drawn plain.
  void AppendStyled(const std::vector<AnsiRun>& runs);
  // The style the text at a line's byte is drawn in (for tests and tools).
  AnsiStyle StyleAt(size_t line, size_t byte) const;
  // The selected bytes ("" when nothing is selected).
  std::string SelectedText() const;
  void SelectAll();
  void CopySelection() const;

  // Where a line is drawn (a point inside its first cell, viewport coordinates),
  // after scrolling it into view; for tests and tools.
  QPoint PointOfLine(size_t line);
  size_t FirstVisibleLine() const;
  size_t VisibleLineCount() const;
  // Brings the view up to date with the text now (normally done by a timer).
  void Flush();
  // How many times the view has been painted.
  int PaintCount() const { return paints_; }

 signals:
  // A double click on a line that names a file has been handled.
  void sourceReferenceActivated(QString file, int line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class OutputAccessible;
  // The column javac's caret line gives the diagnostic at line, or -1.
  int CaretColumnOf(size_t line) const;
  struct Pos {
    size_t line = 0;
    size_t byte = 0;
    bool operator<(const Pos& o) const {
      return line < o.line || (line == o.line && byte < o.byte);
    }
    bool operator==(const Pos& o) const { return line == o.line && byte == o.byte; }
  };

  // Lines longer than this are drawn one byte to a column, so that painting never
  // scans or copies the whole of a huge line.
  static constexpr size_t kLongLine = 64 * 1024;
  size_t ColumnOf(size_t line, size_t byte) const;
  size_t ByteOf(size_t line, size_t column) const;
  void Changed();
  void UpdateScrollBars();
  void UpdateMetrics();
  Pos PosAt(QPoint viewportPos) const;
  bool OnUiThread() const;

  IHost* host_;
  OutputText text_;
  std::string referenceDir_;
  std::vector<std::string> referenceRoots_;
  bool referenceShown_ = false;  // the selection is a line a jump went to
  QTimer refresh_;
  QElapsedTimer sinceRefresh_;
  bool following_ = true;
  bool settingScroll_ = false;
  size_t droppedSeen_ = 0;
  Pos anchor_;
  Pos cursor_;
  bool selecting_ = false;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  int ascent_ = 12;
  int paints_ = 0;
  // Where the text's style changes, by offset (OutputText::LineOffset), in order.
  std::vector<std::pair<uint64_t, AnsiStyle>> styles_;
  // Reads the escapes of the tools' output that AppendOutput gets.
  AnsiFilter ansi_;
  void MarkStyle(const AnsiStyle& style);
  void DrawStyled(QPainter& p, size_t lineIndex, const std::string& line, size_t firstCol,
                  size_t pageCols, int x0, int baseline, const QFontMetricsF& metrics);
  std::unique_ptr<OutputAccessibility> a11y_;  // offsets and events for assistive technology
};

// Creates the output window (object name "2001").
OutputBar* CreateOutputBarWidget(IHost& host, QWidget* parent);

// Runs posted work on the user-interface thread (the thread of qApp), in order.
class QtUiThread : public QObject, public IUiThread {
  Q_OBJECT
 public:
  QtUiThread();
  void Post(std::function<void()> fn) override;
};

// The one dispatcher to the user-interface thread; create it (first call) on that thread.
IUiThread& MainUiThread();

}  // namespace tamso::gui

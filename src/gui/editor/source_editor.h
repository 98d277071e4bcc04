#pragma once
// The source editor control: paints a CLineStore (gutter, coloured runs, the
// inverted selection, separator lines, "~" rows below the text) and turns keys,
// mouse and scroll bars into line-store operations.

#include <QAbstractScrollArea>
#include <QPointer>
#include <QRawFont>
#include <QRegion>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "editor/editor_style.h"
#include "editor/find_dialog.h"
#include "editor/find_text.h"
#include "editor/line_diagnostics.h"
#include "editor/line_store.h"
#include "editor/smart_indent.h"
#include "editor/text_document.h"

class QMenu;

namespace tamso {
class IHost;
class IniFile;
}  // namespace tamso

namespace tamso::gui {

class EditorAccessibility;

class CSourceEditor : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // Reads "Font"/"PointSize" and "Editor"/"LineNumbers" (whether the gutter shows is
  // fixed from here on; it is as wide as the largest line number), then applies the
  // settings. language may be null (plain text).
  CSourceEditor(const Language* language, IniFile& profile, IHost& host, QWidget* parent = nullptr);
  ~CSourceEditor() override;

  CLineStore& Store() { return store_; }
  const CLineStore& Store() const { return store_; }
  TextDocument& Document() { return document_; }
  const Language* GetLanguage() const { return store_.GetLanguage(); }

  // ---- Settings -------------------------------------------------------------
  // Stores and writes the point size, rebuilds fonts and metrics, re-reads the tab
  // width and the colours, repaints.
  void ApplySettings(int pointSize);
  // Re-reads "Font"/"PointSize" and applies it (update hint 78).
  void ReloadSettings();
  void FontBigger();
  void FontSmaller();
  int PointSize() const { return pointSize_; }
  // One level of indentation: the file's own when its lines show one, else the
  // settings' ("Editor"/"IndentSpaces", "Editor"/"IndentWidth").
  const IndentStyle& Indent() const { return indent_; }

  // ---- Whole text -----------------------------------------------------------
  bool LoadFromFile(const std::string& path, std::string* error);
  bool SaveToFile(const std::string& path, std::string* error);
  // Reads the file again as one undo step, keeping the caret line and the scroll
  // position as far as the new text reaches.
  bool ReloadFromFile(const std::string& path, std::string* error);
  // Replaces the whole text as one undo step (a recovered text).
  void ReplaceAllText(std::string_view bytes);
  bool IsModified() const { return modified_; }
  // Set by the frame; false makes the current text the saved state.
  void SetModified(bool modified);
  // Colours the text anew: the lines shown at once, the rest in slices of a few
  // milliseconds while the window is idle, starting after the next paint. Updates the
  // scroll bars, repaints, places the caret.
  void RecolourAll();
  // True while lines remain to be coloured in the background.
  bool ColouringAhead() const { return colourTimer_.isActive() || colourAfterPaint_; }

  // ---- Caret and view -------------------------------------------------------
  // Makes the 0-based line the first visible one, with the caret at its column 0.
  void GoToLine(int line);
  // Puts the caret at display column col of line and shows the line with a few lines
  // of context above it (the view stays when the line is in view already).
  void GoToPlace(int line, int col);
  // Makes the line the first visible one without moving the caret.
  void ShowLineAtTop(int line);
  void EnsureCaretVisible();
  // Recolours the dirty lines, repaints what changed and reports the status text.
  void UpdateCaret();
  QString StatusText() const;

  // ---- Commands -------------------------------------------------------------
  void Copy();
  void Cut();
  void Paste();
  void Undo();
  void Redo();
  void SelectAll();
  void DeleteSelection();
  void InsertText(const std::string& text);        // at the caret, as typed text
  void ReplaceSelection(const std::string& text);  // one undo step
  bool CanPaste() const;
  bool FindText(const std::string& text, bool forward, bool matchCase);
  // Quick find from the toolbar box; an empty text repeats the last one.
  bool QuickFind(const std::string& text);
  const std::string& LastQuickFindText() const { return lastQuickFind_; }
  void MatchBracket();
  // Moves the caret to the character and makes its cell blink five times.
  void FlashPosition(int line, int index);
  // The compiler's marks in the gutter (red for errors, amber for warnings, the
  // message as the tooltip); they move with the lines while the text is edited.
  void SetDiagnostics(std::vector<LineDiagnostic> marks);
  const LineDiagnostics& Diagnostics() const { return diagnostics_; }
  // The tooltip of the gutter at a viewport point (empty when there is no mark).
  QString GutterToolTip(const QPoint& viewportPos) const;
  bool IsFlashing() const { return flashTimer_.isActive(); }
  // The modeless Find (withReplace false) or Replace dialog; a new one each time.
  FindReplaceDialog* OpenFindDialog(bool withReplace);
  FindReplaceDialog* LastFindDialog() const { return findDialog_; }
  // The context menu for the current selection (the caller owns it). Its commands
  // that the frame runs ("Settings...", the help lookup) are enabled only when check
  // says the frame has a handler for them.
  QMenu* CreateContextMenu();
  void SetCommandCheck(std::function<bool(int)> check) { commandCheck_ = std::move(check); }

  // ---- Painting and geometry ------------------------------------------------
  // Paints the lines meeting area (viewport coordinates) with painter.
  void Paint(QPainter& painter, const QRect& area);
  // The part of the viewport invalidated since the last paint.
  QRegion PendingUpdate() const { return pendingUpdate_; }
  int FirstVisibleLine() const { return firstLine_; }
  int FirstVisibleColumn() const { return firstCol_; }
  int VisibleLines() const { return visibleLines_; }
  int VisibleColumns() const { return visibleCols_; }
  int LineHeight() const { return lineHeight_; }
  int CharWidth() const { return charWidth_; }
  int GutterCells() const { return gutterCells_; }
  // The number the gutter and the status text show for the first line (1 or 0).
  int NumberBase() const { return numberBase_; }
  bool BlockCaret() const { return blockCaret_; }
  // The viewport rectangle of a cell.
  QRect CellRect(int line, int col) const;
  const QColor& NormalColour() const { return normal_; }
  const QColor& BackgroundColour() const { return background_; }

 signals:
  void statusTextChanged(const QString& text);
  void modifiedChanged(bool modified);
  void findTextUsed(const QString& text);
  void commandRequested(int id);
  // The text changed (typed, deleted, replaced or loaded).
  void textChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  class Owner;  // the store's callbacks
  friend class EditorAccessible;
  void NoteModified(bool modified);

  void UpdateMetrics();
  // Widens or narrows the gutter to the largest line number after the line count
  // changed.
  void UpdateGutter();
  void UpdateScrollBars();
  void SetFirstLine(int line);
  void SetFirstColumn(int col);
  void OnVerticalAction(int action);
  void OnHorizontalAction(int action);
  // Scrolls by whole pages (the Page Up / Page Down keys and scroll bar).
  void ScrollPage(bool down, bool extend);
  void CollapseOrExtendToCaret(TextPos caret, bool extend);
  TextPos PositionAt(const QPoint& p, bool snap) const;
  void TypeText(const QString& text);
  // Reads the indentation of the text just loaded; it wins over the settings.
  void DetectFileIndent();
  void Invalidate(const QRect& rect);
  void InvalidateAll();
  void InvalidateLines(int first, int last);
  void InvalidateCaret();
  QRect CaretRect() const;
  void AfterCommand();
  // One slice of the background colouring.
  void ColourSlice();

  void PaintLine(QPainter& p, int line, int y, const QRect& area);
  void PaintTextRun(QPainter& p, const QString& text, bool ascii, int col, int cells,
                    std::uint8_t attr, bool selected, int baseline, int top, int bottom);

  CLineStore store_;
  std::unique_ptr<Owner> owner_;
  TextDocument document_;
  IniFile& profile_;
  IHost& host_;

  bool lineNumbersOn_ = true;
  int gutterCells_ = 5;
  int numberBase_ = 1;
  bool separatorLines_ = false;  // a dotted line above each method header
  int pointSize_ = 10;
  IndentStyle indent_;
  std::optional<IndentStyle> fileIndent_;
  EditorFonts fonts_;
  // Glyphs of the printable ASCII characters of the normal and comment fonts, so that
  // runs of them are drawn without shaping; unusable when a glyph is missing or the
  // font's ASCII glyphs are not all one cell wide.
  struct AsciiGlyphs {
    QRawFont raw;
    quint32 index[128] = {};
    qreal advance[128] = {};
    bool usable = false;
  };
  AsciiGlyphs glyphs_[2];
  AsciiGlyphs numberGlyphs_;
  QList<quint32> glyphScratch_;
  QList<QPointF> positionScratch_;
  int lineHeight_ = 16;
  int charWidth_ = 8;
  int ascent_ = 12;
  int numberAscent_ = 10;
  QColor lineNumbers_, normal_, reserved_, background_, comment_;

  int firstLine_ = 0;
  int firstCol_ = 0;
  int visibleLines_ = 1;
  int visibleCols_ = 1;

  bool modified_ = false;
  bool dragging_ = false;
  bool blockCaret_ = false;
  bool caretShown_ = true;  // blink phase
  QTimer blinkTimer_;
  QRect caretRect_;  // where the caret was last drawn
  TextPos shownSelStart_, shownSelEnd_;
  QString statusText_;
  QRegion pendingUpdate_;
  QPoint wheelRemainder_;

  QTimer colourTimer_;             // the background colouring, while lines remain
  bool colourAfterPaint_ = false;  // start it after the next paint
  QTimer flashTimer_;
  int flashTicks_ = 0;
  QRect flashRect_;

  FindHistory history_;
  std::string lastQuickFind_;
  QPointer<FindReplaceDialog> findDialog_;
  std::function<bool(int)> commandCheck_;
  LineDiagnostics diagnostics_;
  std::unique_ptr<EditorAccessibility> a11y_;  // offsets and events for assistive technology
};

}  // namespace tamso::gui

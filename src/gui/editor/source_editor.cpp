#include "editor/source_editor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

#include "editor/control_marks.h"
#include "editor/editor_settings.h"
#include "editor/find_dialog.h"
#include "editor/go_to_line.h"
#include "editor/source_editor_accessible.h"
#include "editor/text_cells.h"
#include "editor/text_decode.h"
#include "lang/language.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/qt_host.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

namespace {

// The clipboard carries the selected bytes as they are besides the decoded text, so
// a copy and paste inside the editor keeps bytes that are not UTF-8.
const char kBytesMime[] = "application/x-tamso-text-bytes";

bool AllAsciiCells(const QFont& font, int cellWidth) {
  QFontMetrics fm(font);
  for (char c = 32; c < 127; ++c)
    if (fm.horizontalAdvance(QLatin1Char(c)) != cellWidth) return false;
  return true;
}

template <class Glyphs>
void LoadAsciiGlyphs(Glyphs& g, const QFont& font, bool needUniform, int cellWidth) {
  g.usable = false;
  if (needUniform && !AllAsciiCells(font, cellWidth)) return;
  g.raw = QRawFont::fromFont(font);
  if (!g.raw.isValid()) return;
  QString all;
  for (char c = 32; c < 127; ++c) all += QLatin1Char(c);
  const QList<quint32> idx = g.raw.glyphIndexesForString(all);
  if (idx.size() != all.size()) return;
  const QList<QPointF> advances = g.raw.advancesForGlyphIndexes(idx);
  for (int c = 32; c < 127; ++c) {
    g.index[c] = idx[c - 32];
    g.advance[c] = advances.value(c - 32).x();
    if (g.index[c] == 0 && c != 32) return;  // a missing glyph: shape the text instead
  }
  g.usable = true;
}

}  // namespace

// The store's callbacks; kept apart from the editor's own SetModified, which the
// frame calls.
class CSourceEditor::Owner : public ILineStoreOwner {
 public:
  explicit Owner(CSourceEditor& e) : e_(e) {}
  void MarkLineDirty(int line) override { e_.InvalidateLines(line, line); }
  void SetModified(bool modified) override { e_.NoteModified(modified); }
  void RepaintAll() override { e_.InvalidateAll(); }
  void TextInserted(int line, int index, std::string_view text) override {
    e_.a11y_->Inserted(line, index, text);
    if (!e_.diagnostics_.Empty() && text.find('\n') != std::string_view::npos) {
      const std::string_view before =
          e_.store_.Line(line).substr(0, static_cast<std::size_t>(std::max(0, index)));
      e_.diagnostics_.Inserted(line, text,
                               before.find_first_not_of(" \t") == std::string_view::npos);
      e_.InvalidateAll();
    }
    if (text.find('\n') != std::string_view::npos) e_.UpdateGutter();
    emit e_.textChanged();
  }
  void TextErased(int line, int index, std::string_view removed) override {
    e_.a11y_->Erased(line, index, removed);
    if (!e_.diagnostics_.Empty() && removed.find('\n') != std::string_view::npos) {
      e_.diagnostics_.Erased(line, removed);
      e_.InvalidateAll();
    }
    if (removed.find('\n') != std::string_view::npos) e_.UpdateGutter();
    emit e_.textChanged();
  }
  void TextReplaced() override {
    e_.a11y_->Replaced();
    e_.UpdateGutter();
    emit e_.textChanged();
  }

 private:
  CSourceEditor& e_;
};

CSourceEditor::CSourceEditor(const Language* language, IniFile& profile, IHost& host,
                             QWidget* parent)
    : QAbstractScrollArea(parent),
      owner_(std::make_unique<Owner>(*this)),
      document_(store_),
      profile_(profile),
      host_(host),
      a11y_(std::make_unique<EditorAccessibility>(*this)) {
  InstallEditorAccessibleFactory();
  setObjectName(QStringLiteral("2001"));
  store_.SetOwner(owner_.get());
  store_.SetLanguage(language);
  lineNumbersOn_ = ReadGutterCells(profile_) > 0;
  numberBase_ = ReadNumberBase(profile_);
  gutterCells_ = GutterCellsFor(lineNumbersOn_, store_.LineCount(), numberBase_);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          &CSourceEditor::OnVerticalAction);
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          &CSourceEditor::OnHorizontalAction);

  const int flash = QApplication::cursorFlashTime();
  blinkTimer_.setInterval(flash > 0 ? flash / 2 : 500);
  connect(&blinkTimer_, &QTimer::timeout, this, [this] {
    caretShown_ = !caretShown_;
    Invalidate(caretRect_);
  });
  colourTimer_.setInterval(0);
  connect(&colourTimer_, &QTimer::timeout, this, &CSourceEditor::ColourSlice);
  flashTimer_.setInterval(50);
  connect(&flashTimer_, &QTimer::timeout, this, [this] {
    if (--flashTicks_ <= 0) flashTimer_.stop();
    Invalidate(flashRect_);
  });

  ApplySettings(ReadPointSize(profile_));
  statusText_ = StatusText();
}

CSourceEditor::~CSourceEditor() {
  store_.SetOwner(nullptr);
  if (findDialog_) delete findDialog_.data();
}

// ---- Settings ---------------------------------------------------------------

void CSourceEditor::ApplySettings(int pointSize) {
  pointSize_ = pointSize;
  WritePointSize(profile_, pointSize);
  fonts_ =
      MakeEditorFonts(pointSize, logicalDpiY(), QString::fromStdString(ReadFontFace(profile_)));
  QFontMetrics fm(fonts_.normal);
  lineHeight_ = std::max(1, fm.height()) + 3;
  charWidth_ = std::max(1, fm.horizontalAdvance(QLatin1Char('M')));
  ascent_ = fm.ascent();
  numberAscent_ = QFontMetrics(fonts_.lineNumber).ascent();
  LoadAsciiGlyphs(glyphs_[0], fonts_.normal, true, charWidth_);
  LoadAsciiGlyphs(glyphs_[1], fonts_.comment, true, charWidth_);
  LoadAsciiGlyphs(numberGlyphs_, fonts_.lineNumber, false, charWidth_);
  viewport()->setFont(fonts_.normal);

  store_.SetTabWidth(ReadTabWidth(profile_));
  indent_ = fileIndent_ ? *fileIndent_ : ReadIndentStyle(profile_);
  const EditorColours c = ReadEditorColours(profile_);
  lineNumbers_ = FromColorRef(c.lineNumbers);
  normal_ = FromColorRef(c.normal);
  reserved_ = FromColorRef(c.reserved);
  background_ = FromColorRef(c.background);
  comment_ = FromColorRef(c.comment);
  separatorLines_ = ReadSeparatorLines(profile_);

  UpdateMetrics();
  UpdateScrollBars();
  InvalidateAll();
  caretRect_ = CaretRect();
}

void CSourceEditor::ReloadSettings() {
  ApplySettings(ReadPointSize(profile_));
}

void CSourceEditor::FontBigger() {
  ApplySettings(tamso::FontBigger(pointSize_));
  EnsureCaretVisible();
  UpdateCaret();
}

void CSourceEditor::FontSmaller() {
  ApplySettings(tamso::FontSmaller(pointSize_));
  EnsureCaretVisible();
  UpdateCaret();
}

// ---- Whole text -------------------------------------------------------------

bool CSourceEditor::LoadFromFile(const std::string& path, std::string* error) {
  if (!document_.Load(path, error)) return false;
  startup::MarkOnce("file read into the line store");
  firstLine_ = 0;
  firstCol_ = 0;
  shownSelStart_ = shownSelEnd_ = TextPos{};
  NoteModified(false);
  DetectFileIndent();
  RecolourAll();
  return true;
}

bool CSourceEditor::SaveToFile(const std::string& path, std::string* error) {
  if (!document_.Save(path, error)) return false;
  NoteModified(false);
  return true;
}

bool CSourceEditor::ReloadFromFile(const std::string& path, std::string* error) {
  const int first = firstLine_;
  if (!document_.Reload(path, error)) return false;
  shownSelStart_ = shownSelEnd_ = TextPos{};
  NoteModified(false);
  DetectFileIndent();
  RecolourAll();
  firstLine_ = std::clamp(first, 0, std::max(store_.LineCount() - 1, 0));
  UpdateScrollBars();
  EnsureCaretVisible();
  UpdateCaret();
  viewport()->update();
  return true;
}

void CSourceEditor::ReplaceAllText(std::string_view bytes) {
  document_.ReplaceText(bytes);
  shownSelStart_ = shownSelEnd_ = TextPos{};
  DetectFileIndent();
  NoteModified(document_.IsModified());
  RecolourAll();
  firstLine_ = 0;
  UpdateScrollBars();
  UpdateCaret();
  viewport()->update();
}

void CSourceEditor::SetModified(bool modified) {
  if (!modified) store_.MarkSaved();
  document_.SetModified(modified);
  NoteModified(modified);
}

void CSourceEditor::NoteModified(bool modified) {
  document_.SetModified(modified);
  if (modified == modified_) return;
  modified_ = modified;
  emit modifiedChanged(modified);
}

void CSourceEditor::RecolourAll() {
  store_.ForgetColours();
  colourTimer_.stop();
  colourAfterPaint_ = true;
  UpdateScrollBars();
  InvalidateAll();
  setFocus();
  UpdateCaret();
}

void CSourceEditor::ColourSlice() {
  // About 32 KB of text per round; rounds until 3 ms are gone, so that a key pressed
  // meanwhile waits no longer than that.
  constexpr std::size_t kBytesPerRound = 32 * 1024;
  constexpr qint64 kSliceNs = 3'000'000;
  QElapsedTimer clock;
  clock.start();
  bool more = true;
  while (more && clock.nsecsElapsed() < kSliceNs) more = store_.ColourAhead(kBytesPerRound);
  if (!more) {
    colourTimer_.stop();
    startup::MarkOnce("whole text coloured");
  }
}

// ---- Caret and view ---------------------------------------------------------

void CSourceEditor::GoToLine(int line) {
  GoToPlace(line, 0);
}

void CSourceEditor::GoToPlace(int line, int col) {
  line = std::clamp(line, 0, std::max(store_.LineCount() - 1, 0));
  SetFirstLine(FirstLineForJump(line, firstLine_, visibleLines_));
  store_.SetSelection(line, std::max(col, 0));
  EnsureCaretVisible();
  InvalidateAll();
  setFocus();
  UpdateCaret();
}

void CSourceEditor::ShowLineAtTop(int line) {
  SetFirstLine(line);
  InvalidateAll();
  setFocus();
  UpdateCaret();
}

void CSourceEditor::EnsureCaretVisible() {
  const TextPos c = store_.Caret();
  if (c.line < firstLine_)
    SetFirstLine(c.line);
  else if (c.line > firstLine_ + visibleLines_ - 1)
    SetFirstLine(c.line - visibleLines_ + 1);
  // The column is checked as well when the line scrolled, so that a match far down
  // and far to the right is shown.
  const int textCols = std::max(1, visibleCols_ - gutterCells_);
  if (c.col < firstCol_)
    SetFirstColumn(c.col);
  else if (c.col > firstCol_ + textCols - 1)
    SetFirstColumn(std::max(0, c.col - textCols + 1));
}

void CSourceEditor::UpdateCaret() {
  const LineRange coloured = store_.RecolourDirty();
  if (!coloured.empty()) InvalidateLines(coloured.first, coloured.last);

  const TextPos s = store_.SelectionStart();
  const TextPos e = store_.SelectionEnd();
  if (s != shownSelStart_ || e != shownSelEnd_) {
    const bool hadSelection = shownSelStart_ != shownSelEnd_;
    if (hadSelection) InvalidateLines(shownSelStart_.line, shownSelEnd_.line);
    if (s != e) InvalidateLines(s.line, e.line);
    shownSelStart_ = s;
    shownSelEnd_ = e;
  }
  InvalidateCaret();

  const QString text = StatusText();
  if (text != statusText_) {
    statusText_ = text;
    emit statusTextChanged(text);
  }
  UpdateScrollBars();
  updateMicroFocus();
  a11y_->CaretUpdated();
}

QString CSourceEditor::StatusText() const {
  return QString::fromStdString(tamso::StatusText(store_, numberBase_));
}

// ---- Commands ---------------------------------------------------------------

void CSourceEditor::AfterCommand() {
  EnsureCaretVisible();
  UpdateCaret();
}

void CSourceEditor::Copy() {
  if (!store_.HasSelection()) return;
  const std::string bytes = store_.GetSelectedText();
  auto* data = new QMimeData;
  data->setText(DecodeForDisplay(bytes));
  data->setData(QString::fromLatin1(kBytesMime),
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(data);
}

void CSourceEditor::Cut() {
  if (!store_.HasSelection()) return;
  Copy();
  store_.DeleteSelection();
  AfterCommand();
}

namespace {

bool ClipboardOffersText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && (data->hasText() || data->hasFormat(QString::fromLatin1(kBytesMime)));
}

// Whether the clipboard offers text, asked of the display again only when it says the
// clipboard changed, or after two seconds should a change go unannounced. The command
// states are brought up to date four times a second, and each look at another
// program's clipboard costs several round trips to the X server.
struct ClipboardState {
  bool known = false;
  bool offersText = false;
  QElapsedTimer age;
};

ClipboardState& Clipboard() {
  static ClipboardState state;
  static const bool watched = [] {
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                     [] { Clipboard().known = false; });
    return true;
  }();
  (void)watched;
  return state;
}

}  // namespace

bool CSourceEditor::CanPaste() const {
  ClipboardState& clipboard = Clipboard();
  if (!clipboard.known || clipboard.age.hasExpired(2000)) {
    clipboard.offersText = ClipboardOffersText();
    clipboard.known = true;
    clipboard.age.start();
  }
  return clipboard.offersText;
}

void CSourceEditor::Paste() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return;
  QByteArray bytes;
  if (data->hasFormat(QString::fromLatin1(kBytesMime)))
    bytes = data->data(QString::fromLatin1(kBytesMime));
  else if (data->hasText())
    bytes = data->text().toUtf8();
  else
    return;
  // Line ends of any kind (CR LF, LF, CR) break the line.
  store_.ReplaceSelection(std::string_view(bytes.constData(), bytes.size()));
  AfterCommand();
}

void CSourceEditor::Undo() {
  if (store_.Undo()) AfterCommand();
}

void CSourceEditor::Redo() {
  if (store_.Redo()) AfterCommand();
}

void CSourceEditor::SelectAll() {
  store_.SelectAll();
  UpdateCaret();
}

void CSourceEditor::DeleteSelection() {
  store_.DeleteSelection();
  AfterCommand();
}

void CSourceEditor::InsertText(const std::string& text) {
  store_.InsertText(text);
  AfterCommand();
}

void CSourceEditor::ReplaceSelection(const std::string& text) {
  store_.ReplaceSelection(text);
  AfterCommand();
}

bool CSourceEditor::FindText(const std::string& text, bool forward, bool matchCase) {
  FindOptions options;
  options.forward = forward;
  options.matchCase = matchCase;
  const bool found = tamso::FindText(store_, text, options, &host_);
  if (found) AfterCommand();
  return found;
}

bool CSourceEditor::QuickFind(const std::string& text) {
  const std::string what = text.empty() ? lastQuickFind_ : text;
  if (what.empty()) return false;
  lastQuickFind_ = what;
  const bool found = tamso::QuickFind(store_, host_, history_, what);
  InvalidateAll();
  AfterCommand();
  return found;
}

void CSourceEditor::MatchBracket() {
  const BracketMatch m = tamso::MatchBracket(store_, host_);
  if (m.found) FlashPosition(m.line, m.index);
}

void CSourceEditor::FlashPosition(int line, int index) {
  const int col = store_.ColumnOfIndex(line, index);
  store_.SetSelection(line, col);
  const int oldFirst = firstLine_;
  const int oldCol = firstCol_;
  AfterCommand();
  if (oldFirst != firstLine_ || oldCol != firstCol_) viewport()->repaint();
  // The cell is inverted five times, 50 ms on and 50 ms off, without holding up input.
  Invalidate(flashRect_);
  flashRect_ = CellRect(line, col);
  flashTicks_ = 10;
  flashTimer_.start();
  Invalidate(flashRect_);
  host_.Beep(BeepKind::Hand);
}

FindReplaceDialog* CSourceEditor::OpenFindDialog(bool withReplace) {
  const FindReplaceModel initial = FindReplaceModel::FromSelection(store_);
  auto* dialog = new FindReplaceDialog(withReplace, DecodeForDisplay(initial.findWhat), this);
  findDialog_ = dialog;
  auto handle = [this, dialog](int request) {
    InvalidateAll();
    FindReplaceModel m;
    const QByteArray what = dialog->FindWhat().toUtf8();
    m.findWhat.assign(what.constData(), static_cast<std::size_t>(what.size()));
    const QByteArray with = dialog->ReplaceWith().toUtf8();
    m.replaceWith.assign(with.constData(), static_cast<std::size_t>(with.size()));
    m.matchCase = dialog->MatchCase();
    m.searchDown = dialog->SearchDown();
    emit findTextUsed(dialog->FindWhat());
    // A message ("Replaced 3 occurrences.") belongs to the dialog.
    auto* qtHost = dynamic_cast<QtHost*>(&host_);
    if (qtHost) qtHost->SetMessageParent(dialog);
    switch (request) {
      case 0:
        m.FindNext(store_, host_, history_);
        break;
      case 1:
        m.Replace(store_, host_, history_);
        break;
      default:
        m.ReplaceAll(store_, host_, history_);
        break;
    }
    if (qtHost) qtHost->SetMessageParent(nullptr);
    AfterCommand();
    // After a message the dialog, still open, has the keys again, not the text.
    if (dialog->isVisible() && !dialog->isActiveWindow()) {
      dialog->raise();
      dialog->activateWindow();
    }
  };
  connect(dialog, &FindReplaceDialog::findNextRequested, this, [handle] { handle(0); });
  connect(dialog, &FindReplaceDialog::replaceRequested, this, [handle] { handle(1); });
  connect(dialog, &FindReplaceDialog::replaceAllRequested, this, [handle] { handle(2); });
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  return dialog;
}

QMenu* CSourceEditor::CreateContextMenu() {
  auto* menu = new QMenu(this);
  const bool selection = store_.HasSelection();
  menu->addSeparator();
  QAction* copy = menu->addAction(tr("Copy"), this, &CSourceEditor::Copy);
  copy->setObjectName(QStringLiteral("57634"));
  copy->setEnabled(selection);
  QAction* cut = menu->addAction(tr("Cut"), this, &CSourceEditor::Cut);
  cut->setObjectName(QStringLiteral("57635"));
  cut->setEnabled(selection);
  QAction* paste = menu->addAction(tr("Paste"), this, &CSourceEditor::Paste);
  paste->setObjectName(QStringLiteral("57637"));
  paste->setEnabled(ClipboardOffersText());
  menu->addSeparator();
  QAction* settings =
      menu->addAction(tr("Settings..."), this, [this] { emit commandRequested(32777); });
  settings->setObjectName(QStringLiteral("32777"));
  settings->setEnabled(commandCheck_ && commandCheck_(32777));
  if (const Language* language = store_.GetLanguage();
      language && std::string_view(language->Name()) == "Java") {
    // Run Tests: the test method the caret is in, else the class.
    QAction* tests =
        menu->addAction(tr("Run Tests"), this, [this] { emit commandRequested(32963); });
    tests->setObjectName(QStringLiteral("32963"));
    tests->setEnabled(commandCheck_ && commandCheck_(32963));
  }
  if (selection) {
    menu->addSeparator();
    // Only the first line, and at most 80 characters of it, goes into the item's text:
    // a large selection would make a menu item the width of many screens.
    std::string shown = store_.GetSelectedText();
    const auto eol = shown.find_first_of("\r\n");
    if (eol != std::string::npos) shown.resize(eol);
    QString text = DecodeForDisplay(shown);
    if (text.size() > 80) text = text.left(80) + QStringLiteral("...");
    QAction* help = menu->addAction(QStringLiteral("Help on '") + text + QStringLiteral("'"), this,
                                    [this] { emit commandRequested(32922); });
    help->setObjectName(QStringLiteral("32922"));
    help->setEnabled(commandCheck_ && commandCheck_(32922));
  }
  return menu;
}

// ---- Geometry ---------------------------------------------------------------

void CSourceEditor::UpdateMetrics() {
  visibleCols_ = std::max(1, viewport()->width() / charWidth_);
  visibleLines_ = std::max(1, viewport()->height() / lineHeight_);
}

void CSourceEditor::UpdateGutter() {
  const int cells = GutterCellsFor(lineNumbersOn_, store_.LineCount(), numberBase_);
  if (cells == gutterCells_) return;
  gutterCells_ = cells;
  UpdateScrollBars();
  InvalidateAll();
  caretRect_ = CaretRect();
}

namespace {

// Sets only what changed: a scroll bar repaints itself on every step or range call,
// even an unchanged one, and that would double the cost of a keystroke.
void SetScrollBar(QScrollBar* bar, int maximum, int page, int value) {
  const QSignalBlocker block(bar);
  if (bar->minimum() != 0 || bar->maximum() != maximum) bar->setRange(0, maximum);
  if (bar->pageStep() != page) bar->setPageStep(page);
  if (bar->singleStep() != 1) bar->setSingleStep(1);
  if (bar->value() != value) bar->setValue(value);
}

}  // namespace

void CSourceEditor::UpdateScrollBars() {
  SetScrollBar(verticalScrollBar(), std::max(store_.LineCount() - 1, 0), std::max(visibleLines_, 1),
               firstLine_);
  const int textCols = std::max(1, visibleCols_ - gutterCells_);
  int widest = 0;
  const int last = std::min(store_.LineCount() - 1, firstLine_ + visibleLines_);
  for (int line = firstLine_; line <= last; ++line) {
    const int bytes = store_.LineLength(line);
    // A very long line is measured by its byte count, which is never less than its
    // cell count when it has no tabs; measuring it exactly on every keystroke costs.
    widest = std::max(widest, bytes > 100000 ? bytes : store_.LineWidth(line));
  }
  widest = std::max(widest, store_.Caret().col + 1);
  // The range grows in steps of 32 columns, so that typing past the right edge does
  // not change it (and repaint the bar) on every character.
  int maximum = widest - textCols + 1;
  if (maximum > 0) maximum = (maximum + 31) / 32 * 32;
  SetScrollBar(horizontalScrollBar(), std::max({maximum, firstCol_, 0}), textCols, firstCol_);
}

void CSourceEditor::SetFirstLine(int line) {
  const int maxLine = std::max(store_.LineCount() - 1, 0);
  line = std::clamp(line, 0, maxLine);
  if (line == firstLine_) return;
  firstLine_ = line;
  QScrollBar* v = verticalScrollBar();
  const QSignalBlocker block(v);
  if (v->maximum() < maxLine) v->setMaximum(maxLine);
  v->setValue(line);
  InvalidateAll();
}

void CSourceEditor::SetFirstColumn(int col) {
  col = std::max(col, 0);
  if (col == firstCol_) return;
  firstCol_ = col;
  QScrollBar* h = horizontalScrollBar();
  const QSignalBlocker block(h);
  if (h->maximum() < col) h->setMaximum(col);
  h->setValue(col);
  InvalidateAll();
}

void CSourceEditor::scrollContentsBy(int, int) {
  firstLine_ = verticalScrollBar()->value();
  firstCol_ = horizontalScrollBar()->value();
  InvalidateAll();
  InvalidateCaret();
}

void CSourceEditor::CollapseOrExtendToCaret(TextPos caret, bool extend) {
  if (extend)
    store_.ExtendSelection(caret.line, caret.col);
  else
    store_.SetSelection(caret.line, caret.col);
}

void CSourceEditor::ScrollPage(bool down, bool extend) {
  const int count = store_.LineCount();
  const int step = std::max(1, visibleLines_ - 1);
  int first;
  int caretLine;
  if (!down) {
    first = std::max(0, firstLine_ - step);
    caretLine = first;
  } else {
    first = std::max(0, std::min(firstLine_ + step, count - 2));
    caretLine = std::clamp(first + visibleLines_ - 2, first, std::max(count - 1, 0));
  }
  SetFirstLine(first);
  CollapseOrExtendToCaret(TextPos{caretLine, 0}, extend);
}

void CSourceEditor::OnVerticalAction(int action) {
  QScrollBar* v = verticalScrollBar();
  const bool extend = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
  const int count = store_.LineCount();
  TextPos caret = store_.Caret();
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      SetFirstLine(firstLine_ - 1);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      SetFirstLine(firstLine_ + 1);
      break;
    case QAbstractSlider::SliderPageStepSub:
      ScrollPage(false, extend);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      ScrollPage(true, extend);
      break;
    case QAbstractSlider::SliderMove:
      SetFirstLine(v->sliderPosition());
      caret = TextPos{firstLine_, 0};
      break;
    case QAbstractSlider::SliderToMinimum:
      SetFirstLine(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      SetFirstLine(std::max(0, count - visibleLines_ - 3));
      break;
    default:
      return;
  }
  // The slider applies its own step after this signal; it must land where we did.
  v->setSliderPosition(firstLine_);
  if (action != QAbstractSlider::SliderPageStepSub && action != QAbstractSlider::SliderPageStepAdd)
    CollapseOrExtendToCaret(caret, extend);
  UpdateCaret();
}

void CSourceEditor::OnHorizontalAction(int action) {
  QScrollBar* h = horizontalScrollBar();
  const int textCols = std::max(1, visibleCols_ - gutterCells_);
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      SetFirstColumn(firstCol_ - 1);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      SetFirstColumn(firstCol_ + 1);
      break;
    case QAbstractSlider::SliderPageStepSub:
      SetFirstColumn(firstCol_ - textCols);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      SetFirstColumn(firstCol_ + textCols);
      break;
    case QAbstractSlider::SliderMove:
      SetFirstColumn(h->sliderPosition());
      break;
    case QAbstractSlider::SliderToMinimum:
      SetFirstColumn(0);
      break;
    default:
      return;
  }
  h->setSliderPosition(firstCol_);
  UpdateCaret();
}

QRect CSourceEditor::CellRect(int line, int col) const {
  return QRect((gutterCells_ + col - firstCol_) * charWidth_, (line - firstLine_) * lineHeight_,
               charWidth_, lineHeight_);
}

QRect CSourceEditor::CaretRect() const {
  const TextPos c = store_.Caret();
  if (c.col < firstCol_ || c.line < firstLine_ || c.line > firstLine_ + visibleLines_)
    return QRect();
  QRect r = CellRect(c.line, c.col);
  if (!blockCaret_) r.setWidth(1);
  return r;
}

TextPos CSourceEditor::PositionAt(const QPoint& p, bool snap) const {
  const int line = std::clamp(firstLine_ + FloorDiv(p.y(), lineHeight_), 0, store_.LineCount() - 1);
  int col = std::max(0, FloorDiv(p.x(), charWidth_) + firstCol_ - gutterCells_);
  col = snap ? store_.SnapColumn(line, col) : std::min(col, store_.LineWidth(line));
  return TextPos{line, col};
}

void CSourceEditor::Invalidate(const QRect& rect) {
  if (rect.isEmpty()) return;
  pendingUpdate_ += rect;
  viewport()->update(rect);
}

void CSourceEditor::InvalidateAll() {
  const QRect all = viewport()->rect();
  pendingUpdate_ = all;
  viewport()->update();
}

void CSourceEditor::InvalidateLines(int first, int last) {
  const int top = std::max(first, firstLine_);
  const int bottom = std::min(last, firstLine_ + visibleLines_);
  if (top > bottom) return;
  Invalidate(QRect(0, (top - firstLine_) * lineHeight_, viewport()->width(),
                   (bottom - top + 1) * lineHeight_));
}

void CSourceEditor::InvalidateCaret() {
  const QRect now = CaretRect();
  caretShown_ = true;
  if (hasFocus() && blinkTimer_.interval() > 0) blinkTimer_.start();
  if (now == caretRect_) {
    Invalidate(now);
    return;
  }
  Invalidate(caretRect_);
  Invalidate(now);
  caretRect_ = now;
}

// ---- Painting ---------------------------------------------------------------

bool CSourceEditor::focusNextPrevChild(bool) {
  return false;
}

void CSourceEditor::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (blinkTimer_.interval() > 0) blinkTimer_.start();
  InvalidateCaret();
}

void CSourceEditor::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blinkTimer_.stop();
  Invalidate(caretRect_);
}

void CSourceEditor::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateMetrics();
  UpdateScrollBars();
  InvalidateAll();
  UpdateCaret();
}

}  // namespace tamso::gui

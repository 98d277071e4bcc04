#include "editor/accessible_text.h"

#include <algorithm>
#include <climits>

#include "editor/text_cells.h"

namespace tamso::gui {

namespace {

int ClampOffset(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, 0, INT_MAX));
}

bool IsWordChar(char32_t c) {
  if (c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
    return true;
  return c >= 0x80 && QChar::isLetterOrNumber(c);
}

AccessibleListener g_listener = nullptr;

}  // namespace

bool AccessibleEventsWanted() {
  return g_listener || QAccessible::isActive();
}

void SendAccessibleEvent(QAccessibleEvent* event) {
  if (g_listener) g_listener(event);
  QAccessible::updateAccessibility(event);
}

void SetAccessibleListener(AccessibleListener listener) {
  g_listener = listener;
}

void AppendCodePoint(QString& out, char32_t cp) {
  if (cp > 0xFFFF) {
    out += QChar(QChar::highSurrogate(cp));
    out += QChar(QChar::lowSurrogate(cp));
  } else {
    out += QChar(static_cast<char16_t>(cp));
  }
}

char32_t DecodeUtf8OrReplacement(std::string_view c) {
  if (c.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(c[0]);
  if (c.size() == 1) return b0 < 0x80 ? b0 : 0xFFFD;
  char32_t cp = b0 & (c.size() == 2 ? 0x1F : c.size() == 3 ? 0x0F : 0x07);
  for (std::size_t k = 1; k < c.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(c[k]) & 0x3F);
  return cp;
}

AccessibleText::AccessibleText(std::function<int()> lineCount, LineFn line, DecodeFn decode)
    : lineCount_(lineCount), line_(line), decode_(decode), index_(lineCount, [line](int l) {
        std::string scratch;
        return CharCount(line(l, scratch));
      }) {}

int AccessibleText::CharacterCount() const {
  return ClampOffset(index_.Total());
}

int AccessibleText::OffsetOf(int line, int index) const {
  std::string scratch;
  line = std::clamp(line, 0, std::max(lineCount_() - 1, 0));
  return ClampOffset(index_.LineStart(line) + CharsBefore(line_(line, scratch), index));
}

BytePos AccessibleText::PositionOf(int offset) const {
  std::int64_t start = 0;
  const int line = index_.LineOf(offset, &start);
  std::string scratch;
  return BytePos{line, ByteOfChar(line_(line, scratch), ClampOffset(offset - start))};
}

QString AccessibleText::Text(int start, int end) const {
  const int count = CharacterCount();
  if (end < 0 || end > count) end = count;
  start = std::clamp(start, 0, end);
  QString out;
  int left = end - start;
  if (left == 0) return out;
  out.reserve(left);
  std::int64_t lineStart = 0;
  int line = index_.LineOf(start, &lineStart);
  std::string scratch;
  std::string_view bytes = line_(line, scratch);
  std::size_t i = static_cast<std::size_t>(ByteOfChar(bytes, ClampOffset(start - lineStart)));
  while (left > 0) {
    if (i >= bytes.size()) {
      out += QLatin1Char('\n');
      --left;
      bytes = line_(++line, scratch);
      i = 0;
      continue;
    }
    const std::size_t n = CharLength(bytes, i);
    AppendCodePoint(out, decode_(bytes.substr(i, n)));
    i += n;
    --left;
  }
  return out;
}

void AccessibleText::UnitAt(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const {
  const int count = CharacterCount();
  offset = std::clamp(offset, 0, count);
  if (type == QAccessible::NoBoundary) {
    *start = 0;
    *end = count;
    return;
  }
  if (type == QAccessible::CharBoundary) {
    *start = offset;
    *end = std::min(offset + 1, count);
    return;
  }
  std::int64_t lineStart64 = 0;
  const int line = index_.LineOf(offset, &lineStart64);
  const int lineStart = ClampOffset(lineStart64);
  std::string scratch;
  const std::string_view bytes = line_(line, scratch);
  const int chars = CharCount(bytes);
  const int lineEnd = std::min(lineStart + chars + 1, count);  // the line end belongs to it
  if (type != QAccessible::WordBoundary) {
    *start = lineStart;
    *end = lineEnd;
    return;
  }
  // A word runs from one word start to the next (trailing blanks and marks belong to
  // it); what comes before the first word start of a line is a unit of its own.
  std::vector<char32_t> cps;
  cps.reserve(static_cast<std::size_t>(chars));
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = CharLength(bytes, i);
    cps.push_back(decode_(bytes.substr(i, n)));
    i += n;
  }
  auto isStart = [&](int k) {
    return k < chars && IsWordChar(cps[static_cast<std::size_t>(k)]) &&
           (k == 0 || !IsWordChar(cps[static_cast<std::size_t>(k - 1)]));
  };
  const int at = std::min(offset - lineStart, chars);
  int s = at;
  while (s > 0 && !isStart(s)) --s;
  int e = at + 1;
  while (e < chars && !isStart(e)) ++e;
  *start = lineStart + s;
  *end = e >= chars ? lineEnd : lineStart + e;
}

QString AccessibleText::TextAt(int offset, QAccessible::TextBoundaryType type, int* start,
                               int* end) const {
  UnitAt(offset, type, start, end);
  return Text(*start, *end);
}

QString AccessibleText::TextBefore(int offset, QAccessible::TextBoundaryType type, int* start,
                                   int* end) const {
  int s = 0, e = 0;
  UnitAt(offset, type, &s, &e);
  if (s <= 0 || type == QAccessible::NoBoundary) {
    *start = *end = 0;
    return {};
  }
  return TextAt(s - 1, type, start, end);
}

QString AccessibleText::TextAfter(int offset, QAccessible::TextBoundaryType type, int* start,
                                  int* end) const {
  int s = 0, e = 0;
  UnitAt(offset, type, &s, &e);
  const int count = CharacterCount();
  if (e >= count || type == QAccessible::NoBoundary) {
    *start = *end = count;
    return {};
  }
  return TextAt(e, type, start, end);
}

// ---- AccessibleTextView -------------------------------------------------------

AccessibleTextView::AccessibleTextView(QWidget* widget, const QString& name, bool editable)
    : QAccessibleWidget(widget, QAccessible::EditableText), name_(name), editable_(editable) {}

void* AccessibleTextView::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::State AccessibleTextView::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.multiLine = true;
  s.selectableText = true;
  s.focusable = true;
  s.editable = editable_;
  s.readOnly = !editable_;
  return s;
}

QString AccessibleTextView::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) {
    const QString own = widget()->accessibleName();
    return own.isEmpty() ? name_ : own;
  }
  // The value would be the whole text: readers ask for it through the text interface.
  if (t == QAccessible::Value) return {};
  return QAccessibleWidget::text(t);
}

QString AccessibleTextView::text(int startOffset, int endOffset) const {
  return Text().Text(startOffset, endOffset);
}

QString AccessibleTextView::textBeforeOffset(int offset, QAccessible::TextBoundaryType type,
                                             int* startOffset, int* endOffset) const {
  return Text().TextBefore(offset, type, startOffset, endOffset);
}

QString AccessibleTextView::textAfterOffset(int offset, QAccessible::TextBoundaryType type,
                                            int* startOffset, int* endOffset) const {
  return Text().TextAfter(offset, type, startOffset, endOffset);
}

QString AccessibleTextView::textAtOffset(int offset, QAccessible::TextBoundaryType type,
                                         int* startOffset, int* endOffset) const {
  return Text().TextAt(offset, type, startOffset, endOffset);
}

int AccessibleTextView::characterCount() const {
  return Text().CharacterCount();
}

QString AccessibleTextView::attributes(int offset, int* startOffset, int* endOffset) const {
  // No attributes; the answer holds for the offset's line.
  Text().UnitAt(offset, QAccessible::LineBoundary, startOffset, endOffset);
  return {};
}

}  // namespace tamso::gui

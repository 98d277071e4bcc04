#pragma once
// Text of a custom-painted view as assistive technology reads it: offsets count
// characters (a valid UTF-8 sequence or a lone byte is one, each line end is one),
// ranges are read line by line from the view's own store, never from one joined
// copy of the whole text.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "editor/char_offsets.h"
#include "editor/line_store.h"

namespace tamso::gui {

class AccessibleText {
 public:
  // line gives a line's bytes (it may fill scratch and return a view of it); decode
  // turns one character's bytes into its code point.
  using LineFn = std::function<std::string_view(int line, std::string& scratch)>;
  using DecodeFn = char32_t (*)(std::string_view character);
  AccessibleText(std::function<int()> lineCount, LineFn line, DecodeFn decode);

  CharOffsetIndex& Index() { return index_; }
  int CharacterCount() const;
  // The offset of byte index on a line, and back (offsets clamped to the text).
  int OffsetOf(int line, int index) const;
  BytePos PositionOf(int offset) const;
  // The characters [start, end); end -1 is the end of the text.
  QString Text(int start, int end) const;
  // The unit of the boundary type holding the offset; lines stand in for sentences
  // and paragraphs.
  void UnitAt(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
  // textAtOffset and its neighbours for an interface.
  QString TextAt(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
  QString TextBefore(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
  QString TextAfter(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;

 private:
  std::function<int()> lineCount_;
  LineFn line_;
  DecodeFn decode_;
  CharOffsetIndex index_;
};

// Whether text events are wanted: a reader is connected, or a listener is set.
bool AccessibleEventsWanted();
// Delivers an event to the reader and the listener.
void SendAccessibleEvent(QAccessibleEvent* event);
// A listener that sees every text event the views build (for tests and measurements
// that stand in for a reader); null removes it.
using AccessibleListener = void (*)(QAccessibleEvent* event);
void SetAccessibleListener(AccessibleListener listener);

// Appends a code point to a string (two units beyond the basic plane).
void AppendCodePoint(QString& out, char32_t cp);
// Code point of one character for a view that shows an invalid byte as U+FFFD.
char32_t DecodeUtf8OrReplacement(std::string_view character);

// The interface parts both views share: text, boundaries, attributes, states.
class AccessibleTextView : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  AccessibleTextView(QWidget* widget, const QString& name, bool editable);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;

  QString text(int startOffset, int endOffset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                           int* endOffset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                          int* endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                       int* endOffset) const override;
  int characterCount() const override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 protected:
  virtual const AccessibleText& Text() const = 0;

 private:
  QString name_;
  bool editable_;
};

}  // namespace tamso::gui

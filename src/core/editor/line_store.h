#pragma once
// The text buffer of one editor: the lines, their colouring state and separator
// marks, the selection and the caret, every editing operation and the undo history.
//
// Text is kept as bytes. A line holds its bytes whole, of any length, every byte but
// the line ends (NUL, control bytes, DEL and invalid UTF-8 included). Columns of the
// caret and the selection are display columns: a tab advances to the next multiple
// of the tab width, a valid UTF-8 sequence takes one cell, any other byte one cell.
// "Character index" below is a byte index into the line.
//
// Colour attributes are not stored for every byte: they are computed on demand for
// the lines a caller asks about (the visible ones) from the line's start state, and
// kept in a small cache until the line changes. Start states are worked out from the
// top down only as far as they are needed (a loaded text's first screen at once, the
// rest in slices while the window is idle): the lines above ColouredLines() have
// theirs, the lines below it do not yet (kStateUnknown).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/edit_log.h"
#include "editor/gap_vector.h"
#include "lang/language.h"
#include "platform/large_memory.h"

namespace tamso {

// What the store asks of the editor control that owns it.
class ILineStoreOwner {
 public:
  virtual ~ILineStoreOwner() = default;
  // The line must be recoloured and repainted at the next caret update.
  virtual void MarkLineDirty(int line) = 0;
  // The document became modified (true), or an undo/redo brought it back to the
  // state it was loaded or last saved in (false).
  virtual void SetModified(bool modified) = 0;
  // Everything must be repainted (lines were inserted, removed or several changed).
  virtual void RepaintAll() = 0;
  // The text changed: bytes inserted at (line, index), bytes removed from there
  // (lines joined by '\n'; called after the change), or all text replaced.
  virtual void TextInserted(int /*line*/, int /*index*/, std::string_view /*text*/) {}
  virtual void TextErased(int /*line*/, int /*index*/, std::string_view /*removed*/) {}
  virtual void TextReplaced() {}
};

// A position: 0-based line, display column.
struct TextPos {
  int line = 0;
  int col = 0;
  friend auto operator<=>(const TextPos&, const TextPos&) = default;
  friend bool operator==(const TextPos&, const TextPos&) = default;
};

// A position as a byte index on a line.
struct BytePos {
  int line = 0;
  int index = 0;
};

// The line ends a loaded text used.
enum class LineEnds : std::uint8_t {
  kNone,  // the text had no line end at all
  kLf,
  kCrLf,
  kCr,
};

// A range of lines, both ends included; empty when first is -1.
struct LineRange {
  int first = -1;
  int last = -1;
  bool empty() const { return first < 0; }
};

class CLineStore : public ILineSource {
 public:
  // A new store holds one line with a single space, the caret at (0, 0).
  CLineStore();
  ~CLineStore() override;
  CLineStore(const CLineStore&) = delete;
  CLineStore& operator=(const CLineStore&) = delete;

  void SetOwner(ILineStoreOwner* owner) { owner_ = owner; }
  // The language that colours the text; null colours everything as normal text.
  void SetLanguage(const Language* language);
  const Language* GetLanguage() const { return language_; }

  // ---- Whole text ---------------------------------------------------------------
  // Replaces all lines with the text of a file. LF, CR LF and a lone CR each end a
  // line; every other byte is kept as it is. A final line end adds no empty line
  // (HadFinalLineEnd tells it was there); an empty text gives one empty line. Every
  // line's colouring state becomes unknown. Clears the undo history, collapses the
  // selection to (0, 0). Returns the line count.
  int SetText(std::string_view bytes);
  // The same for a text already in a block of its own (a file as read): the lines
  // point into the block, which nobody may change afterwards.
  int SetText(BaseText text);
  // Replaces all lines with the text of a file as SetText reads it, but as one undo
  // step (the old text comes back with Undo), for a file reloaded from disk. The line
  // ends and final line end are taken from the new text; the caret goes to (0, 0).
  void ReplaceAllText(std::string_view bytes);
  // The line ends of the last SetText: CR LF if there was any CR LF, else LF if
  // there was any LF, else CR if there was any CR, else none.
  LineEnds LoadedLineEnds() const { return loadedEnds_; }
  // True when the last SetText's text ended with a line end (true for a new store).
  bool HadFinalLineEnd() const { return finalLineEnd_; }
  // Grows with every change of the text (typing, undo, reload, SetText).
  std::uint64_t Version() const { return version_; }
  // All lines joined by eol; the last one is followed by eol too when finalEol.
  std::string JoinedText(std::string_view eol, bool finalEol = true) const;
  // Follows the edits from now on, for the recovery journal and the class browser:
  // the first batch taken holds the text as a base (the loaded bytes themselves while
  // untouched, else a copy, once). Taking a batch never copies the text.
  int FollowEdits();
  EditLog::Batch TakeEdits(int follower) { return log_.Take(follower); }
  void UnfollowEdits(int follower) { log_.Unfollow(follower); }

  // ---- Lines (ILineSource) ------------------------------------------------------
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  // The bytes of a line without its end; empty for a line out of range.
  std::string_view Line(int index) const override;
  int LineLength(int line) const { return static_cast<int>(Line(line).size()); }
  // The byte at index, 0 past the end of the line or for a line out of range.
  char CharAt(int line, int index) const;

  // Colour attribute of the byte (kAttr*), computed on demand; 0 past the end.
  std::uint8_t AttributeAt(int line, int index) const;
  // Attributes of every byte of the line; valid until the next call on the store.
  // Colours the lines down to it first when they are not coloured yet.
  std::span<const std::uint8_t> LineAttributes(int line) const;
  // Overrides attributes [from, to) of a line until it is next coloured or changed.
  void SetAttributes(int line, int from, int to, std::uint8_t attribute);
  // Colouring state at the start of the line (kStateInComment, kStateInTextBlock,
  // kStateOutside, or kStateUnknown while the line is not coloured: see ColourThrough)
  // and the separator mark (1: a method body opens on the line; colours the lines down
  // to it first).
  std::uint8_t LineState(int line) const;
  void SetLineState(int line, std::uint8_t state);
  std::uint8_t LineMark(int line) const;
  void SetLineMark(int line, std::uint8_t mark);

  // ---- Columns ------------------------------------------------------------------
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);  // at least 1
  // Display width of the line in cells (tabs expanded).
  int LineWidth(int line) const;
  // Number of characters (cells without tab expansion) on the line.
  int CharacterCount(int line) const;
  // Index of the character whose cells cover the display column; past the end, the
  // line's length.
  int IndexAtColumn(int line, int col) const;
  // Display column at which the character at index starts; past the end, the width.
  int ColumnOfIndex(int line, int index) const;
  // The largest column <= col at which a character starts, or the line's width.
  int SnapColumn(int line, int col) const;

  // ---- Selection and caret ------------------------------------------------------
  TextPos SelectionStart() const { return selStart_; }
  TextPos SelectionEnd() const { return selEnd_; }
  TextPos Caret() const { return caret_; }
  bool HasSelection() const { return selStart_ != selEnd_; }
  bool IsInSelection(int line, int col) const;
  // start := (line, col) (-1 keeps a coordinate), caret := start, end := (endLine,
  // endCol) (negative: start's); lines are clamped to the last line.
  void SetSelection(int line, int col, int endLine = -1, int endCol = -1);
  // Shift + movement and mouse drag: moves the caret and the nearer selection end.
  void ExtendSelection(int line, int col);
  void SelectAll();
  void MoveRight(bool extend);
  void MoveLeft(bool extend);
  void MoveUp(bool extend);
  void MoveDown(bool extend);
  void MoveHome(bool extend);
  void MoveEnd(bool extend);

  // ---- Editing (each is one undo step; consecutive typed characters merge) ------
  // Types one byte at the caret; CR breaks the line with auto-indent.
  void InsertChar(char c);
  // Types one character given as its bytes (a UTF-8 sequence counts as one); CR and
  // LF bytes inside it are left out.
  void InsertChar(std::string_view character);
  // Inserts text at the caret: CR LF, LF and a lone CR each break the line (without
  // added indentation), every other byte is kept. The caret ends after the text.
  void InsertText(std::string_view text);
  // Deletes the selection, then inserts text, as one undo step (paste, replace).
  void ReplaceSelection(std::string_view text);
  // Replaces length bytes at (line, index) with text (line breaks as InsertText) as one
  // undo step, leaving the selection alone; returns the position after the new text.
  BytePos ReplaceAt(int line, int index, int length, std::string_view text);
  // Splits the caret line at the caret; with autoIndent the new line starts with the
  // old line's leading tabs and spaces (as far as they lie before the caret).
  void BreakLine(bool autoIndent);
  void DeleteSelection();
  // Backspace / Delete without a selection: extend by one position, then delete.
  void DeleteBackward();
  void DeleteForward();
  // Indents (one tab at column 0) or unindents (up to one tab width of leading
  // blanks) each line from the selection's start line to its end line; afterwards
  // the selection runs from column 0 of the start line to the end of the end line.
  void IndentBlock(bool indent);
  // The selected text, lines joined by CR LF.
  std::string GetSelectedText() const;

  // ---- Undo ---------------------------------------------------------------------
  bool CanUndo() const;
  bool CanRedo() const;
  bool Undo();
  bool Redo();
  // Edits between Begin and End form one undo step (nesting allowed).
  void BeginCompoundEdit();
  void EndCompoundEdit();
  // The current state is the saved one (after load or save).
  void MarkSaved();
  bool IsAtSavePoint() const;
  // Ends the current run of typed characters, so the next one starts a new step.
  void CloseTypingGroup() { typingOpen_ = false; }

  // ---- Colouring ----------------------------------------------------------------
  // Colours line n, then each following line whose start state changes; stops at the
  // first line whose stored state is already right. Returns the number of lines
  // coloured (at least 1 for a line in range, 0 otherwise).
  int RecolourFrom(int line);
  // Forgets every line's state and colours the whole text.
  void RecolourAll();
  // Forgets every line's state; lines are coloured again from the top as far as they
  // are asked about (ColourThrough, LineAttributes) or by ColourAhead.
  void ForgetColours();
  // The number of lines from the top whose start state and separator mark are known.
  int ColouredLines() const { return colouredTo_; }
  // Colours every line down to and including line that is not coloured yet.
  void ColourThrough(int line) const;
  // Colours the next lines not coloured yet, at least one, until about `bytes` bytes of
  // them are done; returns true while lines remain.
  bool ColourAhead(std::size_t bytes);
  // Recolours the lines marked dirty by edits since the last call (with the lines
  // their state change reaches) and returns the range of lines coloured.
  LineRange RecolourDirty();
  // The range of lines marked dirty and not yet recoloured.
  LineRange DirtyLines() const { return dirty_; }

 private:
  // One line: its bytes (in the load arena, or owned once edited), state and mark.
  struct LineRec {
    char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;  // 0: data points into the arena and is not owned
    // Worked out by the colouring, also while the lines are only read.
    mutable std::uint8_t state = kStateUnknown;
    mutable std::uint8_t mark = 0;

    LineRec() = default;
    LineRec(const char* bytes, std::uint32_t n, bool own);
    LineRec(LineRec&& other) noexcept;
    LineRec& operator=(LineRec&& other) noexcept;
    ~LineRec();
    std::string_view view() const { return {data, size}; }
    void Replace(std::size_t pos, std::size_t count, std::string_view bytes);
  };
  struct EditOp;
  struct UndoStep;

  LineRec& Rec(int line);
  const LineRec& Rec(int line) const;
  int LastLine() const { return LineCount() - 1; }
  int ClampLine(int line) const;
  int StartIndex(int line, int col) const;  // byte index for a selection start
  int EndIndex(int line, int col) const;    // byte index for a selection end

  // Primitive edits; all changes to the text go through these two and are recorded.
  // Positions are (line, byte index); text uses '\n' between lines.
  void RawInsert(int line, int index, std::string_view text, int* endLine, int* endIndex);
  std::string RawErase(int line, int index, int endLine, int endIndex);
  void OpenStep(bool typing);
  void CloseStep();
  void ApplyOp(const EditOp& op, bool inverse);
  void AfterEdit(int firstLine, int lastLine, bool structural);
  void Dirty(int line);
  void Modified();
  void InsertTyped(std::string_view bytes);

  void ColourInto(int line, std::vector<std::uint8_t>& attrs) const;
  // Colours line from its start state (setting its mark); returns what the next line
  // starts inside of.
  OpenSpan ColourLineState(int line) const;
  // Colours on from the first line not coloured, down to last at most, stopping once
  // maxBytes bytes are done.
  void ColourOn(int last, std::size_t maxBytes) const;
  void ForgetAttributes(int line) const;
  void ForgetAllAttributes() const;

  GapVector<LineRec, LargeAllocator<LineRec>>
      lines_;                            // Return typed far down a long text moves no lines
  std::shared_ptr<const char[]> arena_;  // bytes of the loaded text; lines point into it
  std::size_t arenaSize_ = 0;
  std::uint64_t arenaVersion_ = 0;  // the version the loaded text had
  EditLog log_;
  LineEnds loadedEnds_ = LineEnds::kNone;
  bool finalLineEnd_ = true;
  ILineStoreOwner* owner_ = nullptr;
  const Language* language_ = nullptr;
  int tabWidth_ = 5;

  TextPos selStart_;
  TextPos selEnd_;
  TextPos caret_;

  std::uint64_t version_ = 0;
  std::vector<UndoStep> undo_;
  std::vector<UndoStep> redo_;
  int compoundDepth_ = 0;
  std::unique_ptr<UndoStep> pending_;  // the step being built while compoundDepth_ > 0
  bool merging_ = false;               // pending_ continues the last typing step
  bool recording_ = true;              // false while undo/redo replays edits
  bool typingOpen_ = false;
  // Position of the saved state in the history: the number of undo steps, or -1
  // when no sequence of undo/redo can reach it any more.
  long savePoint_ = 0;

  LineRange dirty_;
  mutable int colouredTo_ = 0;  // lines [0, colouredTo_) have their states
  mutable std::unordered_map<int, std::vector<std::uint8_t>> attrCache_;
  mutable std::vector<std::uint8_t> scratch_;
};

}  // namespace tamso

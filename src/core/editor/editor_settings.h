#pragma once
// The editor's settings and small derived values: tab width, point size, line
// numbers, colour schemes, the status text.

#include <cstdint>
#include <string>

#include "editor/line_store.h"

namespace tamso {

class IniFile;

// Tab width from the setting: below 2 becomes 2, above 30 becomes 8.
int ClampTabWidth(int setting);
int ReadTabWidth(const IniFile& profile);  // "Editor"/"TabChars", default 5

// Point size: "Font"/"PointSize", default 10. Font bigger/smaller step by one point
// within 0..200; 0 means the default font height.
int ReadPointSize(const IniFile& profile);
void WritePointSize(IniFile& profile, int pointSize);
int FontBigger(int pointSize);
int FontSmaller(int pointSize);

// Font face: "Font"/"Face"; "" (also for a value that is no font name: too long or
// holding control characters) means the built-in fixed-pitch face.
std::string ReadFontFace(const IniFile& profile);

// Line-number gutter: "Editor"/"LineNumbers" (default 1); non-zero gives 5 cells.
int ReadGutterCells(const IniFile& profile);
// The gutter's cells for a text of lineCount lines numbered from base: 0 without
// numbers, else the digits of the largest number shown and one cell of room, at
// least 5, so that no number is cut off.
int GutterCellsFor(bool lineNumbers, int lineCount, int base);
// "Show Function Separation lines": "Editor"/"Colorize", 0 (default) or non-zero.
bool ReadSeparatorLines(const IniFile& profile);
// The number shown for the first line and column: "Editor"/"NumberFrom", 1 (as
// compilers and grep count) or 0; any other value counts as 1. Only what is shown
// changes: positions stay 0-based everywhere else.
int ReadNumberBase(const IniFile& profile);

// Colours as 0x00BBGGRR.
struct EditorColours {
  std::uint32_t lineNumbers = 0;
  std::uint32_t normal = 0;
  std::uint32_t reserved = 0;
  std::uint32_t background = 0;
  std::uint32_t comment = 0;  // comments and separator lines
};
// Scheme 0 reads the "Editor" keys clrLineNo, clrNormal, clrReserved, clrBackGround,
// clrComment; 1-3 are fixed; any other value gives scheme 2.
EditorColours ColoursForScheme(int scheme, const IniFile& profile);
EditorColours ReadEditorColours(const IniFile& profile);  // "Editor"/"ColorScheme", default 2

// The colours of a printed page: white paper whatever the screen's background; each
// ink of the screen kept where it reads on white (a contrast of at least 4.5 to 1),
// else darkened in its own hue until it does; the text itself is black then. With
// blackOnWhite every ink is black.
EditorColours PrintColours(const EditorColours& screen, bool blackOnWhite);
// The contrast ratio (1 to 21) of a colour against white.
double ContrastOnWhite(std::uint32_t colour);

// "(%3d,%3d)-(%3d,%3d) Ln %3d, Col %3d": selection start, selection end, caret, each
// line and column shown counting from base.
std::string StatusText(const CLineStore& store, int base = 0);

}  // namespace tamso

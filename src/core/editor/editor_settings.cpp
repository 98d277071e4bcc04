#include "editor/editor_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/ini_file.h"

namespace tamso {

int ClampTabWidth(int setting) {
  if (setting < 2) return 2;
  if (setting > 30) return 8;
  return setting;
}

int ReadTabWidth(const IniFile& profile) {
  return ClampTabWidth(profile.GetInt("Editor", "TabChars", 5));
}

namespace {
constexpr int kMaxPointSize = 200;
}

int ReadPointSize(const IniFile& profile) {
  return std::clamp(profile.GetInt("Font", "PointSize", 10), 0, kMaxPointSize);
}

void WritePointSize(IniFile& profile, int pointSize) {
  profile.WriteInt("Font", "PointSize", pointSize);
}

int FontBigger(int pointSize) {
  return std::clamp(pointSize + 1, 0, kMaxPointSize);
}
int FontSmaller(int pointSize) {
  return std::clamp(pointSize - 1, 0, kMaxPointSize);
}

std::string ReadFontFace(const IniFile& profile) {
  std::string face = profile.GetString("Font", "Face", "");
  if (face.size() > 200) return {};
  for (unsigned char c : face)
    if (c < 0x20 || c == 0x7F) return {};
  return face;
}

int ReadGutterCells(const IniFile& profile) {
  return profile.GetInt("Editor", "LineNumbers", 1) != 0 ? 5 : 0;
}

int GutterCellsFor(bool lineNumbers, int lineCount, int base) {
  if (!lineNumbers) return 0;
  const long long largest = std::max(1LL, static_cast<long long>(lineCount) - 1 + base);
  return std::max(5, static_cast<int>(std::to_string(largest).size()) + 1);
}

bool ReadSeparatorLines(const IniFile& profile) {
  return profile.GetInt("Editor", "Colorize", 0) != 0;
}

int ReadNumberBase(const IniFile& profile) {
  return profile.GetInt("Editor", "NumberFrom", 1) == 0 ? 0 : 1;
}

EditorColours ColoursForScheme(int scheme, const IniFile& profile) {
  switch (scheme) {
    case 0: {
      auto get = [&](const char* key, std::uint32_t def) {
        return static_cast<std::uint32_t>(profile.GetInt("Editor", key, static_cast<int>(def)));
      };
      return {get("clrLineNo", 0x00C000), get("clrNormal", 0x000000), get("clrReserved", 0x00FFFF),
              get("clrBackGround", 0xFFFFFF), get("clrComment", 0x0000FF)};
    }
    case 1:
      return {0x7F7F7F, 0xFFFFFF, 0xFFFF00, 0x000000, 0x00C000};
    case 3:
      return {0x7F0000, 0x000000, 0xC00000, 0xC0C0C0, 0x006000};
    default:
      return {0x7E7E7E, 0x000000, 0xC00000, 0xFFFFFF, 0x007F00};
  }
}

EditorColours ReadEditorColours(const IniFile& profile) {
  return ColoursForScheme(profile.GetInt("Editor", "ColorScheme", 2), profile);
}

namespace {

double Linear(std::uint32_t channel) {
  const double c = static_cast<double>(channel & 0xFF) / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

constexpr double kMinContrast = 4.5;

std::uint32_t ReadableOnWhite(std::uint32_t colour) {
  std::uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  // Each step keeps 85% of every channel: the hue stays, the colour gets darker; black
  // (21 to 1) ends the loop at the latest.
  while (ContrastOnWhite(r | (g << 8) | (b << 16)) < kMinContrast) {
    r = r * 85 / 100;
    g = g * 85 / 100;
    b = b * 85 / 100;
  }
  return r | (g << 8) | (b << 16);
}

}  // namespace

double ContrastOnWhite(std::uint32_t colour) {
  const double luminance =
      0.2126 * Linear(colour) + 0.7152 * Linear(colour >> 8) + 0.0722 * Linear(colour >> 16);
  return 1.05 / (luminance + 0.05);
}

EditorColours PrintColours(const EditorColours& screen, bool blackOnWhite) {
  EditorColours paper;
  paper.background = 0xFFFFFF;
  if (blackOnWhite) return paper;  // every ink black
  paper.lineNumbers = ReadableOnWhite(screen.lineNumbers);
  // The body of the text is black when its screen colour does not read on white.
  paper.normal = ContrastOnWhite(screen.normal) >= kMinContrast ? screen.normal : 0;
  paper.reserved = ReadableOnWhite(screen.reserved);
  paper.comment = ReadableOnWhite(screen.comment);
  return paper;
}

std::string StatusText(const CLineStore& store, int base) {
  const TextPos s = store.SelectionStart();
  const TextPos e = store.SelectionEnd();
  const TextPos c = store.Caret();
  char buf[96];
  std::snprintf(buf, sizeof buf, "(%3d,%3d)-(%3d,%3d) Ln %3d, Col %3d", s.line + base, s.col + base,
                e.line + base, e.col + base, c.line + base, c.col + base);
  return buf;
}

}  // namespace tamso

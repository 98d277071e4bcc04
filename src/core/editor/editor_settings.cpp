#include "editor/editor_settings.h"

#include <algorithm>
#include <cstdio>

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

#pragma once
// Decoding the editor's bytes for the screen and the clipboard. The text itself stays
// bytes; a valid UTF-8 sequence is one character, any other byte is read as the
// 8-bit Windows character set (the encoding older files on this system were written in).

#include <QString>
#include <string_view>

namespace tamso::gui {

// The code point of one character (a valid UTF-8 sequence or a single byte).
char32_t DecodeCharacter(std::string_view character);
// The whole text, character by character as above.
QString DecodeForDisplay(std::string_view bytes);

}  // namespace tamso::gui

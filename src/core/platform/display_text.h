#pragma once
// Texts shown to the user in a message or a tip are cut to a size a person can read
// and a window can lay out at once: a file name of megabytes, a profile value or a
// tips line of that size would otherwise hold the window up for minutes. A line that
// is too long loses its middle (a path keeps its start and its file name, a message
// its closing question), and a text of too many lines loses its middle lines. What
// is cut is marked with "…".

#include <cstddef>
#include <string>
#include <string_view>

namespace tamso {

inline constexpr std::size_t kDisplayLineChars = 240;
inline constexpr std::size_t kDisplayLines = 30;

// The text as it is shown: unchanged when it fits. Characters are counted as UTF-8
// (a byte that is not valid UTF-8 counts as one) and never split.
std::string ElideForDisplay(std::string_view text, std::size_t maxLineChars = kDisplayLineChars,
                            std::size_t maxLines = kDisplayLines);

}  // namespace tamso

#include "platform/display_text.h"

namespace tamso {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

bool Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte offset after the first n characters of line (its size when it has fewer).
std::size_t AfterChars(std::string_view line, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < line.size() && count < n; ++count) {
    ++i;
    // A lead byte takes its continuation bytes along (at most three).
    for (int k = 0; k < 3 && i < line.size() && Continuation(line[i]); ++k) ++i;
  }
  return i;
}

// The byte offset where the last n characters of line begin (0 when it has fewer).
std::size_t BeforeLastChars(std::string_view line, std::size_t n) {
  std::size_t i = line.size();
  for (std::size_t count = 0; i > 0 && count < n; ++count) {
    --i;
    for (int k = 0; k < 3 && i > 0 && Continuation(line[i]); ++k) --i;
  }
  return i;
}

void AppendLine(std::string& out, std::string_view line, std::size_t maxChars) {
  const std::size_t head = (maxChars + 1) / 2, tail = maxChars / 2;
  const std::size_t headEnd = AfterChars(line, head);
  // Short enough: every character fits (checked without counting a huge line whole).
  if (line.size() <= maxChars || AfterChars(line.substr(headEnd), tail) + headEnd == line.size()) {
    out.append(line);
    return;
  }
  out.append(line.substr(0, headEnd));
  out.append(kEllipsis);
  out.append(line.substr(BeforeLastChars(line, tail)));
}

}  // namespace

std::string ElideForDisplay(std::string_view text, std::size_t maxLineChars, std::size_t maxLines) {
  if (maxLineChars < 2) maxLineChars = 2;
  if (maxLines < 3) maxLines = 3;
  std::size_t lineCount = 1;
  for (char c : text) lineCount += c == '\n';
  // Too many lines: the first ones and the last few stay, with a line that says how
  // many were left out between them.
  std::size_t headLines = lineCount, tailFrom = lineCount;
  if (lineCount > maxLines) {
    const std::size_t tailCount = maxLines / 5 > 0 ? maxLines / 5 : 1;
    headLines = maxLines - 1 - tailCount;
    tailFrom = lineCount - tailCount;
  }
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < lineCount; ++i) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) nl = text.size();
    if (i < headLines || i >= tailFrom) {
      AppendLine(out, text.substr(start, nl - start), maxLineChars);
      if (i + 1 < lineCount) out += '\n';
    } else if (i == headLines) {
      out += std::string(kEllipsis) + " (" + std::to_string(tailFrom - headLines) +
             " more lines) " + std::string(kEllipsis) + "\n";
    }
    start = nl + 1;
  }
  return out;
}

}  // namespace tamso

#include "build/source_reference.h"

#include <climits>

#include "platform/host.h"

namespace tamso {

namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Visible characters of a file name. Bytes from 0x80 up are taken as part of a
// name, so UTF-8 directory names survive.
bool IsNameChar(unsigned char c) {
  return (c > ' ' && c < 0x7f) || c >= 0x80;
}

constexpr int kMaxDigits = 40;  // a run of this many digits is not a line number

}  // namespace

std::optional<SourceReference> ParseSourceReference(std::string_view text) {
  const size_t n = text.size();
  size_t colon = n;
  size_t runEnd = 0;
  size_t i = 0;
  while (i < n) {
    if (text[i] != ':') {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < n && IsDigit(static_cast<unsigned char>(text[j]))) ++j;
    const size_t digits = j - i - 1;
    if (digits >= 1 && digits < static_cast<size_t>(kMaxDigits) && (j == n || text[j] == ':')) {
      colon = i;
      runEnd = j;
      break;
    }
    // Go on from where the digit run stopped; a colon there is the next candidate.
    i = j;
  }
  if (colon == n || colon == 0) return std::nullopt;

  long long value = 0;
  for (size_t k = colon + 1; k < runEnd; ++k) {
    value = value * 10 + (text[k] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }

  size_t start = colon - 1;
  while (start > 0 && IsNameChar(static_cast<unsigned char>(text[start]))) --start;
  // The character that stopped the walk is part of the name only when it is itself
  // a name character (the walk reached the start of the text).
  if (!IsNameChar(static_cast<unsigned char>(text[start]))) ++start;
  size_t end = colon;
  while (start < end && IsBlank(static_cast<unsigned char>(text[start]))) ++start;
  while (end > start && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  if (start == end) return std::nullopt;

  SourceReference ref;
  ref.file = std::string(text.substr(start, end - start));
  ref.line = static_cast<int>(value);
  return ref;
}

JumpResult JumpToSource(std::string_view lineText, IHost& host) {
  auto ref = ParseSourceReference(lineText);
  if (!ref) {
    host.Beep(BeepKind::Default);
    return JumpResult::NotAReference;
  }
  if (!host.OpenDocument(ref->file)) return JumpResult::OpenFailed;
  IView* view = host.ActiveView();
  if (!view) return JumpResult::NoView;
  // Line 0 is not a line of any file; take it as the first.
  view->GoToLine(ref->line > 0 ? ref->line - 1 : 0);
  return JumpResult::Done;
}

}  // namespace tamso

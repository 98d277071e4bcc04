#include "platform/command_line.h"

namespace tamso {

std::vector<std::string> SplitCommandLine(std::string_view s) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = s.size();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  for (;;) {
    while (i < n && blank(s[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      char c = s[i];
      if (c == '\\') {
        size_t count = 0;
        while (i < n && s[i] == '\\') {
          ++count;
          ++i;
        }
        if (i < n && s[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2 == 1) {
            arg += '"';
            ++i;
          }
          // An even count leaves the quote for the next round, as a delimiter.
        } else {
          arg.append(count, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && s[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && blank(c)) break;
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string NotAnOption(std::string_view name) {
  if (!name.empty() && (name.front() == '-' || name.front() == '@'))
    return "./" + std::string(name);
  return std::string(name);
}

std::string QuoteArgument(std::string_view arg, bool alwaysQuote) {
  bool needs = alwaysQuote || arg.empty();
  for (char c : arg)
    if (c == ' ' || c == '\t' || c == '"' || c == '\n' || c == '\r') needs = true;
  if (!needs) return std::string(arg);
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
      out += '"';
    } else {
      out.append(backslashes, '\\');
      out += c;
    }
    backslashes = 0;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace tamso

namespace tamso {

std::vector<std::string> SplitShellWords(std::string_view s) {
  std::vector<std::string> words;
  const size_t n = s.size();
  size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  for (;;) {
    while (i < n && blank(s[i])) ++i;
    if (i >= n) break;
    std::string word;
    while (i < n && !blank(s[i])) {
      const char c = s[i];
      if (c == '\'') {
        const size_t end = s.find('\'', i + 1);
        const size_t stop = end == std::string_view::npos ? n : end;
        word.append(s.substr(i + 1, stop - i - 1));
        i = stop == n ? n : stop + 1;
      } else if (c == '"') {
        ++i;
        while (i < n && s[i] != '"') {
          if (s[i] == '\\' && i + 1 < n &&
              (s[i + 1] == '"' || s[i + 1] == '\\' || s[i + 1] == '$' || s[i + 1] == '`')) {
            word += s[i + 1];
            i += 2;
          } else if (s[i] == '\\' && i + 1 < n && s[i + 1] == '\n') {
            i += 2;
          } else {
            word += s[i++];
          }
        }
        if (i < n) ++i;  // the closing quote
      } else if (c == '\\') {
        if (i + 1 < n && s[i + 1] != '\n') word += s[i + 1];
        i += i + 1 < n ? 2 : 1;
      } else {
        word += c;
        ++i;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string QuoteShellWord(std::string_view word) {
  bool needs = word.empty();
  for (char c : word)
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\'' || c == '"' || c == '\\')
      needs = true;
  if (!needs) return std::string(word);
  std::string out = "'";
  for (char c : word) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += '\'';
  return out;
}

std::string JoinShellWords(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteShellWord(w);
  }
  return line;
}

}  // namespace tamso

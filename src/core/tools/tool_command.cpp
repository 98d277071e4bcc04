#include "tools/tool_command.h"

#include "platform/command_line.h"

namespace tamso {

namespace {

constexpr std::string_view kFileName = "$(FileName)";
constexpr std::string_view kFilePath = "$(FilePath)";
constexpr std::string_view kFileDir = "$(FileDir)";

bool IsTrailingBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

MacroValues MacroValuesFor(const std::string& path) {
  MacroValues v;
  v.filePath = path;
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    v.fileName = v.fileDir = path;
  } else {
    v.fileName = path.substr(slash + 1);
    v.fileDir = path.substr(0, slash);
  }
  return v;
}

std::string ReplaceMacro(const std::string& text, std::string_view macro,
                         const std::string& value) {
  const size_t at = macro.empty() ? std::string::npos : text.find(macro);
  if (at == std::string::npos) return text;
  return text.substr(0, at) + value + text.substr(at + macro.size());
}

MacroText::MacroText(std::string text) {
  if (!text.empty()) pieces_.push_back({std::move(text), false});
}

bool MacroText::ReplaceFirst(std::string_view macro, const std::string& value) {
  for (size_t i = 0; i < pieces_.size(); ++i) {
    if (pieces_[i].value) continue;
    const size_t at = pieces_[i].text.find(macro);
    if (at == std::string::npos) continue;
    std::string before = pieces_[i].text.substr(0, at);
    std::string after = pieces_[i].text.substr(at + macro.size());
    std::vector<Piece> replaced;
    if (!before.empty()) replaced.push_back({std::move(before), false});
    replaced.push_back({value, true});
    if (!after.empty()) replaced.push_back({std::move(after), false});
    pieces_.erase(pieces_.begin() + static_cast<long>(i));
    pieces_.insert(pieces_.begin() + static_cast<long>(i), replaced.begin(), replaced.end());
    return true;
  }
  return false;
}

std::string MacroText::Text() const {
  std::string t;
  for (const auto& p : pieces_) t += p.text;
  return t;
}

MacroArguments::MacroArguments(std::string_view text) {
  for (auto& a : SplitShellWords(text)) args_.emplace_back(std::move(a));
}

bool MacroText::StartsWithValue() const {
  return !pieces_.empty() && pieces_.front().value;
}

void MacroText::GuardLeadingValue() {
  if (StartsWithValue()) pieces_.front().text = NotAnOption(pieces_.front().text);
}

void MacroArguments::Replace(const MacroValues& values) {
  const std::pair<std::string_view, const std::string*> macros[] = {
      {kFileName, &values.fileName}, {kFilePath, &values.filePath}, {kFileDir, &values.fileDir}};
  for (const auto& [macro, value] : macros)
    for (auto& a : args_)
      if (a.ReplaceFirst(macro, *value)) break;
  // A file's name that opens an argument is never read by the tool as an option or
  // an "@file" of arguments.
  for (auto& a : args_) a.GuardLeadingValue();
}

std::vector<std::string> MacroArguments::Arguments() const {
  std::vector<std::string> out;
  out.reserve(args_.size());
  for (const auto& a : args_) out.push_back(a.Text());
  return out;
}

std::string ExpandDirectory(const std::string& initDir, const MacroValues& values) {
  std::string text = initDir;
  while (!text.empty() && IsTrailingBlank(text.back())) text.pop_back();
  MacroText dir(text);
  dir.ReplaceFirst(kFileName, values.fileName);
  dir.ReplaceFirst(kFilePath, values.filePath);
  dir.ReplaceFirst(kFileDir, values.fileDir);
  return dir.Text();
}

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    line += QuoteShellWord(args[i]);
  }
  return line;
}

std::string TrimmedCommand(const std::string& command) {
  std::string c = command;
  while (!c.empty() && IsTrailingBlank(c.back())) c.pop_back();
  return c;
}

std::vector<std::string> ToolArgv(const std::string& command,
                                  const std::vector<std::string>& args) {
  std::vector<std::string> argv = SplitShellWords(command);
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

}  // namespace tamso

#include "editor/edit_log.h"

#include <algorithm>

#include "platform/large_memory.h"

namespace tamso {

BaseText MakeBaseText(std::string_view text) {
  std::shared_ptr<char[]> bytes = AllocateSharedBytes(text.size());
  if (!text.empty()) std::memcpy(bytes.get(), text.data(), text.size());
  return BaseText{std::move(bytes), text.size()};
}

int EditLog::Follow(BaseText base) {
  std::size_t slot = 0;
  while (slot < followers_.size() && followers_[slot].active) ++slot;
  if (slot == followers_.size()) followers_.emplace_back();
  Pending& p = followers_[slot];
  p = Pending{};
  p.active = true;
  p.batch.newBase = true;
  p.batch.base = std::move(base);
  ++active_;
  return static_cast<int>(slot);
}

void EditLog::Unfollow(int follower) {
  if (follower < 0 || static_cast<std::size_t>(follower) >= followers_.size()) return;
  Pending& p = followers_[static_cast<std::size_t>(follower)];
  if (!p.active) return;
  p = Pending{};
  --active_;
}

void EditLog::Reset(const BaseText& base) {
  for (Pending& p : followers_) {
    if (!p.active) continue;
    p.batch = Batch{};
    p.batch.newBase = true;
    p.batch.base = base;
    p.bytes = 0;
  }
}

void EditLog::Add(Pending& p, int line, int index, std::uint64_t erase, std::string_view text) {
  if (!p.active || p.batch.lost) return;
  std::vector<TextEdit>& edits = p.batch.edits;
  // Typing continues the last insertion: one edit for a typed word, not one a key.
  if (erase == 0 && !edits.empty()) {
    TextEdit& last = edits.back();
    if (last.erase == 0 && last.line == line && last.insert.find('\n') == std::string::npos &&
        static_cast<std::size_t>(last.index) + last.insert.size() ==
            static_cast<std::size_t>(index)) {
      last.insert.append(text);
      p.bytes += text.size();
      return;
    }
  }
  edits.push_back(TextEdit{line, index, erase, std::string(text)});
  p.bytes += text.size() + sizeof(TextEdit);
  if (p.bytes > kMaxPendingBytes) {
    edits.clear();
    edits.shrink_to_fit();
    p.batch.lost = true;
  }
}

void EditLog::Inserted(int line, int index, std::string_view text) {
  if (text.empty()) return;
  for (Pending& p : followers_) Add(p, line, index, 0, text);
}

void EditLog::Erased(int line, int index, std::size_t count) {
  if (count == 0) return;
  for (Pending& p : followers_) Add(p, line, index, count, {});
}

EditLog::Batch EditLog::Take(int follower) {
  if (follower < 0 || static_cast<std::size_t>(follower) >= followers_.size()) return {};
  Pending& p = followers_[static_cast<std::size_t>(follower)];
  if (!p.active) return {};
  Batch out = std::move(p.batch);
  p.batch = Batch{};
  p.bytes = 0;
  return out;
}

LineReplay::LineReplay(std::string_view base) {
  lines_.reserve(base.size() / 40 + 1);
  SplitLines(base, [this](std::string_view line) { lines_.push_back(Text{line, nullptr}); });
}

std::string& LineReplay::Own(std::size_t line) {
  Text& t = lines_[line];
  if (!t.own) t.own = std::make_unique<std::string>(t.text);
  return *t.own;
}

bool LineReplay::Apply(const TextEdit& e) {
  if (e.line < 0 || e.line >= LineCount() || e.index < 0) return false;
  const std::size_t at = static_cast<std::size_t>(e.index);
  const std::size_t line = static_cast<std::size_t>(e.line);
  if (at > lines_[line].text.size()) return false;
  // The erased bytes run from (line, index) over the '\n' between lines.
  std::size_t lastLine = line;
  std::size_t endIndex = at;
  std::uint64_t left = e.erase;
  while (left > 0) {
    const std::size_t room = lines_[lastLine].text.size() - endIndex;
    if (left <= room) {
      endIndex += static_cast<std::size_t>(left);
      left = 0;
    } else {
      left -= room + 1;  // the rest of the line and its '\n'
      if (++lastLine >= lines_.size()) return false;
      endIndex = 0;
    }
  }
  std::string tail(lines_[lastLine].text.substr(endIndex));
  std::string& first = Own(line);
  first.resize(at);
  if (lastLine > line)
    lines_.erase(lines_.begin() + e.line + 1, lines_.begin() + static_cast<long>(lastLine) + 1);
  const std::size_t nl = e.insert.find('\n');
  if (nl == std::string::npos) {
    first += e.insert;
    first += tail;
    lines_[line].text = first;
    return true;
  }
  first.append(e.insert, 0, nl);
  lines_[line].text = first;
  std::vector<Text> added;
  auto add = [&added](std::string bytes) {
    auto own = std::make_unique<std::string>(std::move(bytes));
    const std::string_view text = *own;
    added.push_back(Text{text, std::move(own)});
  };
  std::size_t pos = nl + 1;
  for (;;) {
    const std::size_t next = e.insert.find('\n', pos);
    if (next == std::string::npos) break;
    add(e.insert.substr(pos, next - pos));
    pos = next + 1;
  }
  add(e.insert.substr(pos) + tail);
  lines_.insert(lines_.begin() + e.line + 1, std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));
  return true;
}

std::string LineReplay::Joined(std::string_view eol, bool finalEol) const {
  std::size_t total = 0;
  for (const Text& l : lines_) total += l.text.size() + eol.size();
  std::string out;
  out.reserve(total);
  for (const Text& l : lines_) {
    out += l.text;
    out += eol;
  }
  if (!finalEol) out.resize(out.size() - eol.size());
  return out;
}

}  // namespace tamso

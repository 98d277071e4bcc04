#pragma once
// Small fixtures for the language tests: a line source over strings, a sink that
// records the outline as an indented text, and whole-text colouring.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace tamso::testing {

class VectorSource : public ILineSource {
 public:
  VectorSource() = default;
  explicit VectorSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  // Splits text at "\n"; a final line end adds no empty line.
  static VectorSource FromText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string line(text.substr(start, end - start));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      start = end + 1;
    }
    return VectorSource(std::move(lines));
  }
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string_view Line(int index) const override {
    return lines_.at(static_cast<std::size_t>(index));
  }
  std::vector<std::string>& lines() { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// Records the outline as "kind text" lines indented two blanks per level; the root
// is the first line, holding the title alone.
class RecordingSink : public IOutlineSink {
 public:
  int BeginOutline(const std::string& title) override {
    ++begins;
    items_.clear();
    items_.push_back({title, 0, -1, 0});
    return 0;
  }
  int AddOutlineItem(const std::string& text, int kind, int parent) override {
    const int depth = items_.at(static_cast<std::size_t>(parent)).depth + 1;
    items_.push_back({text, kind, parent, depth});
    return static_cast<int>(items_.size()) - 1;
  }
  void EndOutline() override { ++ends; }

  // The tree in insertion order of each parent's children.
  std::string Text() const {
    std::string out;
    Append(0, out);
    return out;
  }
  int begins = 0;
  int ends = 0;

 private:
  struct Item {
    std::string text;
    int kind;
    int parent;
    int depth;
  };
  void Append(int index, std::string& out) const {
    const Item& item = items_[static_cast<std::size_t>(index)];
    out.append(static_cast<std::size_t>(2 * item.depth), ' ');
    if (index != 0) out += std::to_string(item.kind) + " ";
    out += item.text + "\n";
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].parent == index) Append(static_cast<int>(i), out);
    }
  }
  std::vector<Item> items_;
};

struct ColouredText {
  std::vector<std::vector<std::uint8_t>> attrs;
  std::vector<bool> startsInComment;
  std::vector<OpenSpan> startsIn;
  std::vector<bool> marks;
};

// Colours every line from the top, each starting in the state the line above ended in.
inline ColouredText ColourAll(const Language& lang, const ILineSource& text) {
  ColouredText out;
  OpenSpan open = OpenSpan::kNone;
  for (int i = 0; i < text.LineCount(); ++i) {
    std::vector<std::uint8_t> attrs(text.Line(i).size(), kAttrUncoloured);
    out.startsInComment.push_back(open == OpenSpan::kComment);
    out.startsIn.push_back(open);
    const LineColouring c = lang.ColourLine(text, i, open, attrs.data());
    out.attrs.push_back(std::move(attrs));
    out.marks.push_back(c.mark);
    open = c.endsIn;
  }
  return out;
}

// One character per byte: 'r' reserved, 'c' comment, '.' normal, '?' anything else.
inline std::string AttrString(const std::vector<std::uint8_t>& attrs) {
  std::string s;
  for (std::uint8_t a : attrs) {
    s += a == kAttrReserved ? 'r' : a == kAttrComment ? 'c' : a == kAttrNormal ? '.' : '?';
  }
  return s;
}

}  // namespace tamso::testing

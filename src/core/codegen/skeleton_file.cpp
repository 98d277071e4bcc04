#include "codegen/skeleton_file.h"

namespace tamso {

namespace {

constexpr std::string_view kOpen = "//{{";
constexpr std::string_view kClose = "//}}";
constexpr std::string_view kMarker = "$SEL$";

bool IsPrintable(unsigned char c) {
  return c >= 0x20 && c != 0x7F;
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool Valid() const { return pos_ != std::string_view::npos; }

  // Finds the next header and returns its name; at the end the position becomes
  // invalid and the name is empty.
  std::string ReadHeader() {
    const std::size_t at = text_.find(kOpen, pos_);
    if (at == std::string_view::npos) {
      pos_ = std::string_view::npos;
      return {};
    }
    std::size_t end = at + kOpen.size();
    while (end < text_.size() && IsPrintable(static_cast<unsigned char>(text_[end]))) ++end;
    std::string name(text_.substr(at + kOpen.size(), end - at - kOpen.size()));
    // Whatever follows the name on its line (after a tab, say) is not part of the body.
    while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
    pos_ = end;
    return name;
  }

  // The body from the position to the next "//}}"; without one the body is empty
  // and the scan ends.
  std::string ReadBody() {
    std::size_t start = pos_;
    while (start < text_.size() && !IsPrintable(static_cast<unsigned char>(text_[start]))) ++start;
    const std::size_t close = text_.find(kClose, start);
    if (close == std::string_view::npos) {
      pos_ = std::string_view::npos;
      return {};
    }
    std::size_t end = close;
    while (end > start && !IsPrintable(static_cast<unsigned char>(text_[end - 1]))) --end;
    pos_ = close + kClose.size();
    return std::string(text_.substr(start, end - start));
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const std::string& SkeletonSet::Body(int n) const {
  static const std::string kEmpty;
  if (n < 2 || n >= static_cast<int>(bodies.size())) return kEmpty;
  return bodies[static_cast<std::size_t>(n)];
}

SkeletonSet ParseSkeletons(std::string_view text) {
  SkeletonSet set;
  Scanner scan(text);
  bool inGroup = false;
  std::string name = scan.ReadHeader();
  while (scan.Valid()) {
    if (!name.empty() && name.front() == '{') {
      set.groups.push_back({name.substr(1), {}});
      inGroup = true;
    } else {
      set.bodies.push_back(scan.ReadBody());
      SkeletonEntry entry{std::move(name), static_cast<int>(set.bodies.size()) - 1};
      (inGroup ? set.groups.back().skeletons : set.ungrouped).push_back(std::move(entry));
    }
    name = scan.ReadHeader();
  }
  return set;
}

std::uint64_t ExpandedSize(std::string_view body, std::string_view selection) {
  std::uint64_t markers = 0;
  for (std::size_t at = body.find(kMarker); at != std::string_view::npos;
       at = body.find(kMarker, at + kMarker.size()))
    ++markers;
  const std::uint64_t kept = body.size() - markers * kMarker.size();
  if (markers != 0 && selection.size() > (UINT64_MAX - kept) / markers) return UINT64_MAX;
  return kept + markers * selection.size();
}

std::optional<std::string> ExpandSelection(std::string_view body, std::string_view selection,
                                           std::uint64_t limit) {
  const std::uint64_t size = ExpandedSize(body, selection);
  if (size > limit) return std::nullopt;
  std::string out;
  out.reserve(static_cast<std::size_t>(size));
  std::size_t pos = 0;
  for (std::size_t at = body.find(kMarker); at != std::string_view::npos;
       at = body.find(kMarker, pos)) {
    out.append(body.substr(pos, at - pos));
    out.append(selection);
    pos = at + kMarker.size();
  }
  out.append(body.substr(pos));
  return out;
}

}  // namespace tamso

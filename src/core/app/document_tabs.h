#pragma once
// The document tabs: the order in which the document windows were last used (closing
// the active one goes back to the one used before it) and the text of a tab (a long
// title is shortened in its middle, so that one long name does not squeeze the rest).

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

// Windows, newest use first.
template <class Window>
class UseOrder {
 public:
  // The window was activated: it moves to the front (it is added when new).
  void Used(Window w) {
    Removed(w);
    order_.insert(order_.begin(), w);
  }
  void Removed(Window w) {
    order_.erase(std::remove(order_.begin(), order_.end(), w), order_.end());
  }
  // The most recently used window other than closing; a default Window when none.
  Window NextAfterClosing(Window closing) const {
    for (Window w : order_)
      if (w != closing) return w;
    return Window{};
  }
  const std::vector<Window>& Order() const { return order_; }

 private:
  std::vector<Window> order_;
};

// Characters a tab shows of its title at most.
inline constexpr std::size_t kTabTitleChars = 32;

// The title as its tab shows it: up to maxChars characters (UTF-8 sequences count as
// one); a longer one keeps its beginning and its end with "\u2026" between. The end
// is two thirds of it, or the whole name after the last '/' where that fits:
// "src.zip!/…/ConcurrentHashMap.java".
std::string TabTitle(std::string_view title, std::size_t maxChars = kTabTitleChars);

}  // namespace tamso

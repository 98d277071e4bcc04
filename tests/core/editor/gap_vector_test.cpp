#include "editor/gap_vector.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tamso {
namespace {

// Random inserts, removals and appends at random places, with the gap moving both
// ways and the buffer growing, keep the same sequence as a plain vector does.
TEST(GapVector, FollowsAPlainVectorThroughRandomEdits) {
  std::mt19937 rng(7);
  GapVector<std::string> gap;
  std::vector<std::string> plain;
  gap = std::vector<std::string>{"a", "b", "c"};
  plain = {"a", "b", "c"};
  int serial = 0;
  for (int step = 0; step < 5000; ++step) {
    const std::size_t size = plain.size();
    const std::size_t pos = size == 0 ? 0 : rng() % (size + 1);
    switch (rng() % 4) {
      case 0:
      case 1: {
        std::vector<std::string> items;
        const int n = static_cast<int>(rng() % (rng() % 8 == 0 ? 300 : 4));
        for (int k = 0; k < n; ++k) items.push_back("line " + std::to_string(serial++));
        plain.insert(plain.begin() + static_cast<long>(pos), items.begin(), items.end());
        gap.insert(pos, std::move(items));
        break;
      }
      case 2: {
        const std::size_t last = std::min(size, pos + rng() % 40);
        if (pos < last) {
          plain.erase(plain.begin() + static_cast<long>(pos),
                      plain.begin() + static_cast<long>(last));
        }
        gap.erase(pos, last);
        break;
      }
      default:
        plain.push_back("tail " + std::to_string(serial));
        gap.emplace_back("tail " + std::to_string(serial++));
        break;
    }
    ASSERT_EQ(gap.size(), plain.size()) << "step " << step;
    if (step % 97 == 0 || gap.size() < 50) {
      ASSERT_EQ(std::vector<std::string>(gap.begin(), gap.end()), plain) << "step " << step;
    } else {
      const std::size_t probe = rng() % plain.size();
      ASSERT_EQ(gap[probe], plain[probe]) << "step " << step;
    }
  }
  EXPECT_EQ(std::vector<std::string>(gap.begin(), gap.end()), plain);
}

}  // namespace
}  // namespace tamso

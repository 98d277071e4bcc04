// Every input kept from fuzzing the skeleton reader runs again through the fuzz
// target's checks (the shared corpus test cannot link the code-generation library).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../../fuzz/entries/skeleton_file.h"
#include "platform/file_read.h"

namespace tamso {
namespace {

TEST(FuzzCorpus, EveryKeptSkeletonInputPassesTheReadersChecks) {
  const std::filesystem::path dir = std::filesystem::path(TAMSO_TEST_DATA) / "fuzz/skeleton_file";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes)) << entry.path();
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(fuzz::FuzzSkeletonFile(bytes), 0);
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace tamso

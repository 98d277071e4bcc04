// The kept inputs of the archive fuzz target, replayed through its checks. (The
// other targets' inputs are replayed with the build tests; this one needs the zip
// reader, which only the browser links.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../../fuzz/entries/source_archive.h"
#include "platform/file_read.h"

namespace tamso {
namespace {

TEST(FuzzCorpus, EveryKeptArchivePassesTheArchiveChecks) {
  const std::filesystem::path dir =
      std::filesystem::path(TAMSO_TEST_DATA) / "fuzz" / "source_archive";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes)) << entry.path();
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(fuzz::FuzzSourceArchive(bytes), 0);
    ++count;
  }
  EXPECT_GE(count, 3);
}

}  // namespace
}  // namespace tamso

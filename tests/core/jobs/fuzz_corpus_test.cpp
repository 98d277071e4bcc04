// Every input kept from fuzzing (tests/data/fuzz/<target>/) runs again through the
// same checks the fuzz target makes; a check that fails aborts the test program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../../fuzz/entries/colour_lines.h"
#include "../../../fuzz/entries/command_line.h"
#include "../../../fuzz/entries/ini_store.h"
#include "../../../fuzz/entries/outline.h"
#include "../../../fuzz/entries/project_file.h"
#include "../../../fuzz/entries/source_reference.h"
#include "platform/atomic_file.h"

namespace tamso {
namespace {

struct Target {
  const char* name;
  int (*entry)(std::string_view);
};

const Target kTargets[] = {
    {"colour_lines", fuzz::FuzzColourLines}, {"outline", fuzz::FuzzOutline},
    {"ini_store", fuzz::FuzzIniStore},       {"project_file", fuzz::FuzzProjectFile},
    {"command_line", fuzz::FuzzCommandLine}, {"source_reference", fuzz::FuzzSourceReference},
};

TEST(FuzzCorpus, EveryKeptInputPassesItsTargetsChecks) {
  for (const Target& target : kTargets) {
    SCOPED_TRACE(target.name);
    const std::filesystem::path dir = std::filesystem::path(TAMSO_TEST_DATA) / "fuzz" / target.name;
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      std::string bytes;
      ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes)) << entry.path();
      SCOPED_TRACE(entry.path().filename().string());
      EXPECT_EQ(target.entry(bytes), 0);
      ++count;
    }
    EXPECT_GT(count, 0) << "no inputs kept for " << target.name;
  }
}

}  // namespace
}  // namespace tamso

#include <gtest/gtest.h>

#include "support/outline_vs_javap.h"

namespace tamso {
namespace {

using namespace javap_check;

// The outline of a sample of the JDK's own sources against what the compiler made of
// them: every field, method and constructor written in a class, nested classes at any
// depth, and nothing else. Every JDK installed with its sources is checked.
TEST(OutlineAgainstCompiler, SampleOfJavaBase) {
  const std::vector<Jdk> jdks = FindJdks();
  if (jdks.empty()) GTEST_SKIP() << "no JDK with javap, jimage and src.zip under /usr/lib/jvm";
  for (const Jdk& jdk : jdks) {
    SCOPED_TRACE(jdk.home);
    const std::vector<std::string> all = ModuleSources(jdk, "java.base");
    ASSERT_GT(all.size(), 1000u);
    // Every 25th source, and the files with text blocks, records and deep nesting.
    std::vector<std::string> sample;
    for (std::size_t i = 0; i < all.size(); i += 60) sample.push_back(all[i]);
    for (const char* must : {"java.base/java/lang/System.java", "java.base/java/lang/Thread.java",
                             "java.base/java/util/concurrent/ConcurrentHashMap.java",
                             "java.base/java/lang/invoke/MethodHandles.java"})
      if (std::binary_search(all.begin(), all.end(), must)) sample.push_back(must);
    const Score score = Compare(jdk, sample, ModuleClasses(jdk, "java.base"));
    std::string report;
    for (const std::string& m : score.missed) report += "\n  missed " + m;
    for (const std::string& e : score.extra) report += "\n  extra " + e;
    EXPECT_GT(score.truth, 1500u);
    EXPECT_GE(score.Recall(), 0.995) << score.matched << " of " << score.truth << report;
    EXPECT_GE(score.Precision(), 0.995) << score.matched << " of " << score.outline << report;
  }
}

}  // namespace
}  // namespace tamso

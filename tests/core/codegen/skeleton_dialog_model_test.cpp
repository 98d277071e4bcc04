#include "codegen/skeleton_dialog_model.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::FakeHost;
using testing::TempDir;

class SkeletonModelTest : public ::testing::Test {
 protected:
  // Folders in the order a bare name is looked for: user, installed, build tree,
  // current directory, then two PATH entries.
  SkeletonModelTest() : profile_(tmp_.File("tamso.INI")) {
    for (const char* d : {"xdg/tamso", "share", "res", "cwd", "bin1", "bin2"})
      std::filesystem::create_directories(tmp_.File(d));
    dirs_ = MakeDataFileDirs(tmp_.File("xdg"), "/nonexistent-home", tmp_.File("share"),
                             tmp_.File("res"), tmp_.File("cwd"),
                             tmp_.File("bin1") + "::" + tmp_.File("bin2"));
  }
  SkeletonDialogModel Loaded(const std::string& language, const std::string& selection = {}) {
    SkeletonDialogModel model(profile_, host_, dirs_);
    model.language = language;
    model.selection = selection;
    model.Load();
    return model;
  }

  TempDir tmp_;
  IniFile profile_;
  FakeHost host_;
  DataFileDirs dirs_;
};

TEST_F(SkeletonModelTest, BareNameIsLookedForInUserInstalledBuildTreeCurrentThenPath) {
  const char* order[] = {"xdg/tamso", "share", "res", "cwd", "bin1", "bin2"};
  for (const char* d : order)
    tmp_.Write(std::string(d) + "/Java.skl", "//{{x\nfrom " + std::string(d) + "\n//}}");
  for (const char* d : order) {
    SCOPED_TRACE(d);
    SkeletonDialogModel model = Loaded("Java");
    EXPECT_EQ(model.FilePath(), tmp_.File(std::string(d) + "/Java.skl"));
    EXPECT_EQ(model.Skeletons().Body(2), "from " + std::string(d));
    std::filesystem::remove(model.FilePath());
  }
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SkeletonModelTest, SettingNamesAFileByFullPathOrAnotherBareName) {
  const std::string elsewhere = tmp_.Write("elsewhere/My Skeletons.txt", "//{{mine\nM\n//}}");
  tmp_.Write("share/Java.skl", "//{{shipped\nS\n//}}");
  tmp_.Write("share/Other.skl", "//{{other\nO\n//}}");
  ASSERT_TRUE(profile_.WriteString("Skeletons", "Java", elsewhere));
  EXPECT_EQ(Loaded("Java").Skeletons().Body(2), "M");
  ASSERT_TRUE(profile_.WriteString("Skeletons", "HTML", "Other.skl"));
  EXPECT_EQ(Loaded("HTML").Skeletons().Body(2), "O");
  // Each language reads its own key with <language>.skl as the default.
  tmp_.Write("share/DESIGNER.skl", "//{{d\nD\n//}}");
  EXPECT_EQ(Loaded("DESIGNER").Skeletons().Body(2), "D");
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SkeletonModelTest, FailuresAreReportedAndLeaveOnlyTheRoot) {
  // Nowhere to be found.
  EXPECT_EQ(Loaded("Java").Skeletons().SkeletonCount(), 0);
  // A folder of that name is not a file: the search itself went wrong.
  std::filesystem::create_directories(tmp_.File("res/HTML.skl"));
  EXPECT_EQ(Loaded("HTML").Skeletons().SkeletonCount(), 0);
  ASSERT_EQ(::mkfifo(tmp_.File("fifo").c_str(), 0600), 0);
  ASSERT_TRUE(profile_.WriteString("Skeletons", "Java", tmp_.File("fifo")));
  EXPECT_EQ(Loaded("Java").Skeletons().SkeletonCount(), 0);
  // A file too large to read whole.
  const std::string big = tmp_.Write("share/DESIGNER.skl", "//{{x\n");
  ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kSkeletonFileLimit + 1)), 0);
  EXPECT_EQ(Loaded("DESIGNER").Skeletons().SkeletonCount(), 0);
  EXPECT_EQ(
      host_.MessageTexts(),
      (std::vector<std::string>{
          "Could not find skeleton files.\n\n Check .ini", "Error searching for skeleton file",
          "Error searching for skeleton file", "Error openning skeleton file"}));
}

TEST_F(SkeletonModelTest, PreviewPutsTheSelectionInAndIsReadAnewEachTime) {
  const std::string path = tmp_.Write(
      "share/Java.skl", "//{{{G\n//{{paren\n( $SEL$ )\n//}}\n//{{twice\n$SEL$ = $SEL$;\n//}}\n");
  SkeletonDialogModel model = Loaded("Java", "a + b");
  EXPECT_EQ(model.PreviewFor(2), "( a + b )");
  EXPECT_EQ(model.PreviewFor(3), "a + b = a + b;");
  EXPECT_EQ(model.PreviewFor(kSkeletonRootData), std::nullopt);
  EXPECT_EQ(model.PreviewFor(kSkeletonGroupData), std::nullopt);
  EXPECT_EQ(model.PreviewFor(99), "");
  tmp_.Write("share/Java.skl", "//{{changed\nC\n//}}");
  model.Load();
  EXPECT_EQ(model.PreviewFor(2), "C");
}

TEST_F(SkeletonModelTest, APreviewTooLargeIsRefusedWithAMessage) {
  std::string body;
  for (int i = 0; i < 1 << 20; ++i) body += "$SEL$";
  tmp_.Write("share/Java.skl", "//{{huge\n" + body + "\n//}}\n//{{small\n<$SEL$>\n//}}\n");
  SkeletonDialogModel model = Loaded("Java", std::string(12 * 1024, 's'));
  EXPECT_EQ(model.PreviewFor(2), "");
  EXPECT_EQ(
      host_.MessageTexts(),
      std::vector<std::string>{
          "With the selected text in place of every $SEL$ this skeleton would be " +
          SizeText(12ull << 30) + " (12884901888 bytes); at most " + SizeText(kSkeletonTextLimit) +
          " can be shown and inserted.\nSelect less text, or choose another skeleton."});
  EXPECT_EQ(model.PreviewFor(3), "<" + std::string(12 * 1024, 's') + ">");
  EXPECT_EQ(host_.MessageTexts().size(), 1u);
}

TEST(SkeletonLanguage, HtmlViewsUseHtmlAndTheOthersJava) {
  EXPECT_EQ(SkeletonLanguageFor(ViewKind::Html), "HTML");
  EXPECT_EQ(SkeletonLanguageFor(ViewKind::Java), "Java");
  EXPECT_EQ(SkeletonLanguageFor(ViewKind::Perl), "Java");
}

}  // namespace
}  // namespace tamso

#include "java/jdk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "java/jdk_choice.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// A folder that looks like a JDK: bin/javac (and bin/java, bin/javap) as executable
// files, and a release file when release is given.
std::string MakeJdk(const TempDir& dir, const std::string& name, const char* release,
                    bool javac = true) {
  const std::string home = dir.File(name);
  fs::create_directories(home + "/bin");
  if (javac) {
    for (const char* tool : {"javac", "java", "javap"}) {
      dir.Write(name + "/bin/" + tool, "#!/bin/sh\n");
      ::chmod((home + "/bin/" + tool).c_str(), 0755);
    }
  }
  if (release) dir.Write(name + "/release", release);
  return home;
}

TEST(Jdk, TheReleaseFileGivesTheVersionAndGarbageLeavesItUnknown) {
  TempDir dir;
  const std::string home = MakeJdk(dir, "jdk", "IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"25.0.1\"\n");
  EXPECT_EQ(ReadJdkVersion(home), "25.0.1");
  EXPECT_EQ(JdkFeatureOf("25.0.1"), 25);
  EXPECT_EQ(JdkFeatureOf("1.8.0_292"), 8);
  EXPECT_EQ(JdkFeatureOf(""), 0);
  dir.Write("jdk/release", "JAVA_VERSION=\"17.0.21.1\"\r\nJAVA_VERSION_DATE=\"2026-11-17\"\r\n");
  EXPECT_EQ(ReadJdkVersion(home), "17.0.21.1");
  for (const char* garbage : {"JAVA_VERSION=\"junk", "JAVA_VERSION=\"$(rm -rf /)\"\n",
                              "\x01\x02\xff\xfe", "", "MY_JAVA_VERSION=\"9\"\n"}) {
    dir.Write("jdk/release", garbage);
    EXPECT_EQ(ReadJdkVersion(home), "") << garbage;
  }
  // Unknown, but still a JDK that compiles.
  std::optional<Jdk> jdk = InspectJdk(home);
  ASSERT_TRUE(jdk);
  EXPECT_EQ(jdk->Label(), "unknown version (" + home + ")");
  fs::remove(home + "/release");
  ASSERT_TRUE(InspectJdk(home));
  EXPECT_EQ(InspectJdk(home)->version, "");
}

TEST(Jdk, AFolderWithoutJavacIsRefusedWithAReason) {
  TempDir dir;
  const std::string jre = MakeJdk(dir, "jre", "JAVA_VERSION=\"21\"\n", false);
  std::string why;
  EXPECT_FALSE(InspectJdk(jre, &why));
  EXPECT_EQ(why, "The folder " + jre + " is not a JDK: it has no bin/javac.");
  EXPECT_FALSE(InspectJdk(dir.File("missing"), &why));
  EXPECT_EQ(why, "The folder " + dir.File("missing") + " does not exist.");
  // A javac that cannot run does not make a JDK either.
  dir.Write("jre/bin/javac", "");
  ::chmod(dir.File("jre/bin/javac").c_str(), 0644);
  EXPECT_FALSE(InspectJdk(jre, &why));
}

TEST(Jdk, DiscoveryListsJavaHomeThePathJdkAndTheJvmFolderEachOnce) {
  TempDir dir;
  const std::string jvm = "usr/lib/jvm/";
  const std::string a = MakeJdk(dir, jvm + "jdk-a", "JAVA_VERSION=\"17.0.2\"\n");
  const std::string b = MakeJdk(dir, jvm + "jdk-b", nullptr);
  MakeJdk(dir, jvm + "jre-c", "JAVA_VERSION=\"11\"\n", false);  // no javac: left out
  const std::string own = MakeJdk(dir, "opt/own", "JAVA_VERSION=\"25\"\n");
  fs::create_symlink(a, dir.File(jvm + "alias-of-a"));           // the same JDK again
  fs::create_symlink(dir.File(jvm + "loop"), dir.File(jvm + "loop"));
  fs::create_directories(dir.File("bin"));
  fs::create_symlink(b + "/bin/javac", dir.File("bin/javac"));  // as alternatives link it

  JdkEnvironment env{own, "relative:" + dir.File("nothing") + ":" + dir.File("bin"), dir.path()};
  const std::vector<Jdk> found = FindJdks(env);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0], (Jdk{own, "25"}));
  EXPECT_EQ(found[1], (Jdk{b, ""}));  // javac on PATH, through the link
  EXPECT_EQ(found[2], (Jdk{a, "17.0.2"}));

  // A $JAVA_HOME that is no JDK is passed over; no PATH and no JVM folder find nothing.
  env.javaHome = dir.File(jvm + "jre-c");
  EXPECT_EQ(FindJdks(env).size(), 2u);
  EXPECT_TRUE(FindJdks(JdkEnvironment{"", "", dir.File("nowhere")}).empty());
  EXPECT_EQ(JdkHomeOfProgram("javac", env.pathEnv), b);
  EXPECT_EQ(JdkHomeOfProgram(dir.File("bin/javac"), ""), b);
  EXPECT_EQ(JdkHomeOfProgram("javac", "/nonexistent"), "");
}

TEST(Jdk, ToolsAndTheSourcesOfAJdk) {
  TempDir dir;
  const std::string home = MakeJdk(dir, "usr/lib/jvm/java-17", "JAVA_VERSION=\"17.0.9\"\n");
  const JdkEnvironment env{"", "", dir.path()};
  EXPECT_EQ(JdkJavac(home), home + "/bin/javac");
  EXPECT_EQ(JdkJava(home), home + "/bin/java");
  EXPECT_EQ(JdkJavap(home), home + "/bin/javap");
  EXPECT_EQ(JdkAppletViewer(home), "");
  EXPECT_EQ(AppletViewerCommandFor(home), "appletviewer");
  dir.Write("usr/lib/jvm/java-17/bin/appletviewer", "");
  ::chmod((home + "/bin/appletviewer").c_str(), 0755);
  EXPECT_EQ(AppletViewerCommandFor(home), home + "/bin/appletviewer");

  EXPECT_EQ(JdkSourceZip(home, env), "");
  // A dangling link in lib (as a source package not installed leaves it) does not
  // count; the package's own folder does.
  fs::create_directories(home + "/lib");
  fs::create_symlink("../../openjdk-17/src.zip", home + "/lib/src.zip");
  EXPECT_EQ(JdkSourceZip(home, env), "");
  const std::string packaged = dir.Write("usr/lib/jvm/openjdk-17/lib/src.zip", "PK");
  EXPECT_EQ(JdkSourceZip(home, env), packaged);
  fs::remove(home + "/lib/src.zip");
  const std::string own = dir.Write("usr/lib/jvm/java-17/lib/src.zip", "PK");
  EXPECT_EQ(JdkSourceZip(home, env), own);

  // The class browser's path: a JDK's src.zip is replaced, else the zip comes last.
  const std::string other = MakeJdk(dir, "other", nullptr);
  dir.Write("other/lib/src.zip", "PK");
  EXPECT_EQ(SourcePathWithJdk(".;" + other + "/lib/src.zip;/my/src", own),
            ".;" + own + ";/my/src");
  EXPECT_EQ(SourcePathWithJdk(".;/my/src", own), ".;/my/src;" + own);
  EXPECT_EQ(SourcePathWithJdk(".;/my/src", ""), ".;/my/src");
}

class JdkChoiceTest : public ::testing::Test {
 protected:
  TempDir dir;
  IniFile profile{dir.File("Tamso.INI")};
  testing::FakeHost host;
};

TEST_F(JdkChoiceTest, TheProjectsJdkWinsOverTheSettingsAndAnOldProjectFollowsThem) {
  const std::string global = MakeJdk(dir, "jdk-17", "JAVA_VERSION=\"17\"\n");
  const std::string mine = MakeJdk(dir, "jdk-25", "JAVA_VERSION=\"25\"\n");
  EXPECT_EQ(ChosenJdk(profile, nullptr).home, "");  // nothing chosen: javac on PATH
  profile.WriteString("Compiler", "JDK", global);
  EXPECT_EQ(ChosenJdk(profile, nullptr).home, global);

  // A project file of before, without the key, follows the settings.
  dir.Write("p/p.jap", "[Project]\nMainfile=./A.java\nUseDirectory=N\n");
  Project project(host, profile);
  ASSERT_TRUE(project.Open(dir.File("p/p.jap")));
  EXPECT_EQ(ChosenJdk(profile, &project).home, global);
  EXPECT_FALSE(ChosenJdk(profile, &project).fromProject);

  CompilerDirectories dirs = project.LoadCompilerDirectories();
  dirs.jdk = mine;
  ASSERT_TRUE(project.SaveCompilerDirectories(dirs));
  EXPECT_EQ(ChosenJdk(profile, &project).home, mine);
  EXPECT_TRUE(ChosenJdk(profile, &project).fromProject);
  // The javac on PATH, whatever the settings say.
  dirs.jdk = kProjectJdkOnPath;
  ASSERT_TRUE(project.SaveCompilerDirectories(dirs));
  EXPECT_EQ(ChosenJdk(profile, &project).home, "");
  // Back to the settings: the key goes and the other keys stay.
  dirs.jdk.clear();
  ASSERT_TRUE(project.SaveCompilerDirectories(dirs));
  const std::string text = testing::ReadFile(dir.File("p/p.jap"));
  EXPECT_EQ(text.find("JDK"), std::string::npos) << text;
  EXPECT_NE(text.find("Mainfile=./A.java"), std::string::npos) << text;
  EXPECT_EQ(ChosenJdk(profile, &project).home, global);
  project.Close();
  EXPECT_EQ(ChosenJdk(profile, &project).home, global);
}

TEST_F(JdkChoiceTest, AChosenFolderThatLostItsJavacIsReported) {
  const std::string gone = MakeJdk(dir, "jdk", "JAVA_VERSION=\"21\"\n", false);
  profile.WriteString("Compiler", "JDK", gone);
  const JdkInUse jdk = ChosenJdk(profile, nullptr);
  EXPECT_EQ(jdk.home, "");
  EXPECT_EQ(jdk.error,
            "The JDK chosen in Settings: The folder " + gone + " is not a JDK: it has no bin/javac.");
}

TEST_F(JdkChoiceTest, TheCompilerProgramReleaseAndExtraOptions) {
  const std::string home = MakeJdk(dir, "jdk", "JAVA_VERSION=\"25.0.1\"\n");
  EXPECT_EQ(JavacProgram(profile, ""), std::vector<std::string>{"javac"});
  EXPECT_EQ(JavacProgram(profile, home), std::vector<std::string>{home + "/bin/javac"});
  // The "javac" key's own options stay; only its program is the JDK's.
  profile.WriteString("Compiler", "javac", "\"/opt/my jdk/bin/javac\" -J-Xmx1g");
  EXPECT_EQ(JavacProgram(profile, home),
            (std::vector<std::string>{home + "/bin/javac", "-J-Xmx1g"}));

  EXPECT_TRUE(JavacReleaseAndExtraOptions(profile).empty());
  profile.WriteString("Compiler", "Release", " 21 ");
  profile.WriteString("Compiler", "ExtraOptions",
                      "--enable-preview  -Xlint:all \"-Aname=a b\" -parameters");
  EXPECT_EQ(JavacReleaseAndExtraOptions(profile),
            (std::vector<std::string>{"--release", "21", "--enable-preview", "-Xlint:all",
                                      "-Aname=a b", "-parameters"}));

  EXPECT_EQ(JdkHeadingLine(home + "/bin/javac", ""), "javac 25.0.1 (" + home + ")");
  EXPECT_EQ(JdkHeadingLine("/bin/sh", ""), "");
  EXPECT_EQ(JavaCommandFor("java", home), home + "/bin/java");
  EXPECT_EQ(JavaCommandFor("java", ""), "java");
  EXPECT_EQ(JavaCommandFor("/opt/other/java", home), "/opt/other/java");
}

TEST(JdkRelease, TheSettingsPageTakesBlankOrEightUpToTheJdk) {
  EXPECT_EQ(CheckReleaseText("", 25), "");
  EXPECT_EQ(CheckReleaseText(" 8 ", 25), "");
  EXPECT_EQ(CheckReleaseText("25", 25), "");
  EXPECT_EQ(CheckReleaseText("26", 0), "");
  for (const char* bad : {"7", "26", "1.8", "x", "-9", "99999999999"})
    EXPECT_NE(CheckReleaseText(bad, 25), "") << bad;
  EXPECT_EQ(CheckReleaseText("7", 25),
            "\"7\" is no release to compile for: leave it blank or enter a number from 8 to 25.");
}

}  // namespace
}  // namespace tamso

#pragma once
// A project under a fresh temporary directory, with its own profile and a FakeHost.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"
#include "support/fake_host.h"

namespace tamso::testing {

class FakeRecentList : public IRecentProjectList {
 public:
  void Add(const std::string& path) override { entries.insert(entries.begin(), path); }
  std::vector<std::string> entries;
};

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCwd_ = paths::CurrentDirectory();
    std::string templ = (std::filesystem::temp_directory_path() / "tamso-project-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir = paths::Canonical(templ);
    profile = std::make_unique<IniFile>(dir + "/tamso.INI");
    project = std::make_unique<Project>(host, *profile);
    project->SetRecentList(&recent);
  }
  void TearDown() override {
    paths::SetCurrentDirectory(savedCwd_);
    std::error_code ec;
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir, ec);
  }

  std::string Path(const std::string& name) const { return dir + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    ASSERT_TRUE(WriteFileAtomically(Path(name), bytes).ok);
  }
  std::string Read(const std::string& name) const {
    std::string bytes;
    ReadWholeFile(Path(name), bytes);
    return bytes;
  }
  // Opens dir/p.jap (made empty if it does not exist).
  void OpenEmpty(const std::string& name = "p.jap") { project->Open(Path(name)); }

  FakeHost host;
  FakeRecentList recent;
  std::string dir;
  std::unique_ptr<IniFile> profile;
  std::unique_ptr<Project> project;

 private:
  std::string savedCwd_;
};

}  // namespace tamso::testing

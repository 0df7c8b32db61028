// The real POSIX files behind the simulation, where they go beyond what Win32 shares
// (tests/os/os_contract_test.cpp): permissions, read-only folders, patterns, the program's path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "os/os.h"
#include "os/sim/sim.h"

namespace {

class NativeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorpex-os-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    ::chmod(folder_.c_str(), 0700);
    std::vector<std::string> names;
    if (os::ListFiles(folder_, "*", &names)) {
      for (const std::string& name : names) {
        const std::string path = folder_ + "/" + name;
        if (::rmdir(path.c_str()) != 0) ::unlink(path.c_str());
      }
    }
    ::rmdir(folder_.c_str());
  }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    FILE* file = std::fopen(Path(name).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  std::vector<std::string> List(const std::string& pattern) const {
    std::vector<std::string> names;
    EXPECT_TRUE(os::ListFiles(folder_, pattern, &names));
    return names;
  }

  std::string folder_;
};

TEST_F(NativeFiles, ReplaceFileKeepsPermissions) {
  Write("a.pb", "old content that is longer");
  ::chmod(Path("a.pb").c_str(), 0640);
  ASSERT_TRUE(os::ReplaceFile(Path("a.pb"), "new"));
  std::string read;
  ASSERT_TRUE(os::ReadWholeFile(Path("a.pb"), &read));
  EXPECT_EQ(read, "new");
  struct stat info {};
  ASSERT_EQ(::stat(Path("a.pb").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// The folder refuses new files but the file itself is writable. Root ignores permissions, so
// there the replacement runs in a child process as an unprivileged user.
TEST_F(NativeFiles, ReplaceFileRewritesInPlaceWhenTheFolderIsReadOnly) {
  Write("toolhost.ini", "a much longer old content");
  const auto replace = [&] {
    return os::ReplaceFile(Path("toolhost.ini"), "short") &&
           !os::ReplaceFile(Path("new.ini"), "x");  // cannot be created at all
  };
  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod(folder_.c_str(), 0500), 0);
    EXPECT_TRUE(replace());
    ::chmod(folder_.c_str(), 0700);
  } else {
    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chown(Path("toolhost.ini").c_str(), kNobody, kNobody), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
      ::_exit(dropped && replace() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string read;
  ASSERT_TRUE(os::ReadWholeFile(Path("toolhost.ini"), &read));
  EXPECT_EQ(read, "short");
  EXPECT_EQ(List("*"), std::vector<std::string>{"toolhost.ini"});
}

TEST_F(NativeFiles, ListFilesMatchesWithoutCase) {
  for (const char* name : {"Zentrel.dll", "b.DLL", "a.dll", "notes.txt", "x.dllx", "dll"}) {
    Write(name, "");
  }
  ASSERT_EQ(::mkdir(Path("folder.dll").c_str(), 0700), 0);
  EXPECT_EQ(List("*.dll"),
            (std::vector<std::string>{"a.dll", "b.DLL", "folder.dll", "Zentrel.dll"}));
  EXPECT_EQ(List("?.dll"), (std::vector<std::string>{"a.dll", "b.DLL"}));
  EXPECT_EQ(List("*.DLL*"),
            (std::vector<std::string>{"a.dll", "b.DLL", "folder.dll", "x.dllx", "Zentrel.dll"}));
  EXPECT_EQ(List("notes.txt"), std::vector<std::string>{"notes.txt"});
  EXPECT_TRUE(List("*.exe").empty());  // nothing found is still a listing
  std::vector<std::string> names{"kept"};
  EXPECT_FALSE(os::ListFiles(Path("missing"), "*.dll", &names));
  EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST_F(NativeFiles, ExecutablePathIsThisProgram) {
  const std::string path = os::ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("os_sim_tests"), std::string::npos) << path;
}

}  // namespace

// zentrel-format: arguments, settings from the catalogue, a preferences file and --set, standard
// input and files, --check, -i (atomic, read-only files untouched), line ends and byte-order mark.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/zentrel-format/format_tool.h"

#ifndef VORPEX_TEST_DATA
#define VORPEX_TEST_DATA "."
#endif

namespace {

namespace fs = std::filesystem;
using namespace zentrel_format;

constexpr uid_t kNobody = 65534;

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& arguments, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  ToolRun run;
  run.code = FormatMain(arguments, in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void Spit(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

class ZentrelFormatFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("zentrel-format-test-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code code;
    for (const auto& entry : fs::recursive_directory_iterator(folder_, code))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, code);
    fs::remove_all(folder_, code);
  }
  fs::path File(const std::string& name, const std::string& bytes) {
    const fs::path path = folder_ / name;
    Spit(path, bytes);
    return path;
  }
  std::vector<std::string> Leftovers() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path folder_;
};

TEST(ZentrelFormatArguments, Table) {
  const struct {
    std::vector<std::string> arguments;
    bool ok;
  } cases[] = {
      {{}, true},
      {{"a.pb", "b.pb"}, true},
      {{"--check", "a.pb"}, true},
      {{"--check"}, true},
      {{"-i", "a.pb"}, true},
      {{"-"}, true},
      {{"--", "-i"}, true},
      {{"--set", "CodeBeautifier.Comma=1"}, true},
      {{"--set", "CodeBeautifier.Comma=-3"}, true},
      {{"--ini", "prefs.ini", "x.pb"}, true},
      {{"-i"}, false},
      {{"-i", "-"}, false},
      {{"-i", "--check", "a.pb"}, false},
      {{"--ini"}, false},
      {{"--set"}, false},
      {{"--set", "Comma=1"}, false},
      {{"--set", ".Comma=1"}, false},
      {{"--set", "CodeBeautifier.=1"}, false},
      {{"--set", "CodeBeautifier.Comma"}, false},
      {{"--set", "CodeBeautifier.Comma=one"}, false},
      {{"--set", "CodeBeautifier.Comma=1x"}, false},
      {{"--set", "CodeBeautifier.Comma="}, false},
      {{"--bogus"}, false},
      {{"-x"}, false},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    std::string joined;
    for (const auto& a : c.arguments) joined += a + " ";
    EXPECT_EQ(ParseArguments(c.arguments, &options, &error), c.ok) << joined << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << joined;
    }
  }
  Options options;
  std::string error;
  ASSERT_TRUE(ParseArguments({"--set", "codebeautifier.COMMA=1", "--set", "CodeBeautifier.Comma=2"},
                             &options, &error));
  ASSERT_EQ(options.sets.size(), 1u);
  EXPECT_EQ(options.sets.begin()->second, 2);
}

TEST(ZentrelFormatSettings, CatalogueDefaultsAsAFirstRunHostPublishesThem) {
  const struct {
    const char* key;
    std::int64_t value;
  } expected[] = {
      {"AutoindentPaste", 1},
      {"AutoindentTyping", 1},
      {"DefaultSpacing", 1},
      {"Colon", 2},
      {"Comma", 2},
      {"Module", 1},
      {"Math", 1},
      {"Bitwise", 2},
      {"BitwiseShift", 2},
      {"Comparison", 1},
      {"BitwiseNot", 1},
      {"Type", 1},
      {"Field", 1},
      {"Label", 1},
      {"ASM", 1},
      {"Bracket", 1},
      {"TrailingSpaces", 1},
  };
  const Settings settings = CatalogueDefaults();
  for (const auto& entry : expected) {
    const auto found = settings.find({"CodeBeautifier", entry.key});
    ASSERT_NE(found, settings.end()) << entry.key;
    EXPECT_EQ(found->second, entry.value) << entry.key;
  }
  const auto other = settings.find({"CommentHelpers", "MinCommentBarLength"});
  ASSERT_NE(other, settings.end());
  EXPECT_EQ(other->second, 10);
}

TEST(ZentrelFormatSettings, PreferencesFileInTheHostFormat) {
  Settings settings = CatalogueDefaults();
  ApplyPreferences(
      "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nCodeBeautifier = 1\r\n\r\n[codebeautifier]\r\n"
      "  comma = 1\r\n; Math = 2\r\nComparison=2\r\nType = x\r\n",
      &settings);
  EXPECT_EQ((settings[{"CodeBeautifier", "Comma"}]), 1);
  EXPECT_EQ((settings[{"CodeBeautifier", "Math"}]), 1);  // commented out: the default
  EXPECT_EQ((settings[{"CodeBeautifier", "Comparison"}]), 2);
  EXPECT_EQ((settings[{"CodeBeautifier", "Type"}]), 0);   // not a number
  EXPECT_EQ((settings[{"CodeBeautifier", "Colon"}]), 2);  // absent: the default

  Settings disabled = CatalogueDefaults();
  ApplyPreferences("[InstalledPlugins]\nCodeBeautifier = 0\n[CodeBeautifier]\nComma = 1\n",
                   &disabled);
  for (const auto& [name, value] : disabled) {
    if (name.group == "CodeBeautifier") {
      EXPECT_EQ(value, 0) << name.key;
    }
  }
  EXPECT_EQ((disabled[{"CommentHelpers", "MinCommentBarLength"}]), 10);  // another group
}

TEST(ZentrelFormatRun, StandardInputToStandardOutput) {
  const ToolRun run = RunTool({}, "a  =  b+ d ;  note   \n  x = Foo( a ,b )   \n");
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.out, "a=b+d ;  note\n  x=Foo(a, b)\n");
  EXPECT_EQ(run.err, "");
}

TEST(ZentrelFormatRun, EscapedStringsComeBackUnchanged) {
  // `~"..."` ends at its first quote that no backslash escapes; a plain string at its next quote.
  EXPECT_EQ(RunTool({}, "Text$ = ~\"say \\\"a = b\\\" now\" + \"c:\\\" , x\r\n").out,
            "Text$=~\"say \\\"a = b\\\" now\"+\"c:\\\", x\r\n");
}

TEST(ZentrelFormatRun, SetAndIniOverrideTheDefaultsInThatOrder) {
  EXPECT_EQ(RunTool({"--set", "CodeBeautifier.Comparison=2"}, "a=b").out, "a = b");
  EXPECT_EQ(
      RunTool({"--set", "CodeBeautifier.Comparison=0", "--set", "CodeBeautifier.DefaultSpacing=0"},
              "a  =  b")
          .out,
      "a  =  b");
}

TEST(ZentrelFormatRun, LineEndsAndByteOrderMarkAreKept) {
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(RunTool({}, bom + "MyLabel :\r\nx = 1\r\n\r\ny = 2").out,
            bom + "MyLabel:\r\nx=1\r\n\r\ny=2");
  EXPECT_EQ(RunTool({}, "x = 1\ry = 2\r").out, "x=1\ry=2\r");
  EXPECT_EQ(RunTool({}, "").out, "");
  EXPECT_EQ(RunTool({}, bom).out, bom);
  // A NUL byte does not cut the text short.
  EXPECT_EQ(RunTool({}, std::string("a = 1\0b = 2\n", 12)).out, std::string("a=1\0b=2\n", 8));
}

TEST(ZentrelFormatRun, FormatsAFileOfTypicalCodeAsTheIdeWould) {
  const fs::path data = fs::path(VORPEX_TEST_DATA);
  const std::string source = Slurp(data / "typical.pb");
  const std::string expected = Slurp(data / "typical.formatted.pb");
  ASSERT_GT(source.size(), 4000u);
  const ToolRun run = RunTool({(data / "typical.pb").string()});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, expected);
  // Formatting what it formatted changes nothing.
  EXPECT_EQ(RunTool({"--check", (data / "typical.formatted.pb").string()}).code, kExitOk);
  EXPECT_EQ(RunTool({"--check", (data / "typical.pb").string()}).code, kExitWouldChange);
}

TEST_F(ZentrelFormatFiles, CheckPrintsNothingAndTellsByItsExitCode) {
  const fs::path clean = File("clean.pb", "a=1\r\nb=2\r\n");
  const fs::path messy = File("messy.pb", "a = 1\r\n");
  ToolRun run = RunTool({"--check", clean.string()});
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.out + run.err, "");
  run = RunTool({"--check", clean.string(), messy.string()});
  EXPECT_EQ(run.code, kExitWouldChange);
  EXPECT_EQ(run.out + run.err, "");
  EXPECT_EQ(RunTool({"--check"}, "a = 1").code, kExitWouldChange);
  EXPECT_EQ(RunTool({"--check"}, "a=1").code, kExitOk);
  EXPECT_EQ(Slurp(messy), "a = 1\r\n");
}

TEST_F(ZentrelFormatFiles, InPlaceRewritesAtomicallyAndKeepsOwnerAndPermissions) {
  const std::string bom = "\xEF\xBB\xBF";
  const fs::path file = File("code.pb", bom + "x = Foo( a ,b )   \r\n; c  \r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // Root may give the file to another user, whose file it must stay.
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
  }
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  const ToolRun run = RunTool({"-i", file.string()});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Slurp(file), bom + "x=Foo(a, b)\r\n; c\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(Leftovers(), std::vector<std::string>{"code.pb"});  // no temporary file left
  // Again: nothing to change, nothing written.
  const auto stamp = fs::last_write_time(file);
  EXPECT_EQ(RunTool({"-i", file.string()}).code, kExitOk);
  EXPECT_EQ(fs::last_write_time(file), stamp);
}

TEST_F(ZentrelFormatFiles, InPlaceThroughASymbolicLinkRewritesTheFile) {
  const fs::path file = File("real.pb", "a = 1\n");
  const fs::path link = folder_ / "link.pb";
  fs::create_symlink(file, link);
  EXPECT_EQ(RunTool({"-i", link.string()}).code, kExitOk);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(file), "a=1\n");
}

TEST_F(ZentrelFormatFiles, InPlaceLeavesAReadOnlyFileUnchanged) {
  const fs::path file = File("locked.pb", "a = 1\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const ToolRun run = RunTool({"-i", file.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_NE(run.err.find("locked.pb"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  EXPECT_EQ(Slurp(file), "a = 1\n");
  EXPECT_EQ(Leftovers(), std::vector<std::string>{"locked.pb"});
}

TEST_F(ZentrelFormatFiles, MissingFilesAndFoldersAreNamedAndTheOthersStillDone) {
  const fs::path good = File("good.pb", "a = 1\n");
  const fs::path missing = folder_ / "missing.pb";
  ToolRun run = RunTool({missing.string(), good.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_NE(run.err.find("missing.pb"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "a=1\n");

  run = RunTool({folder_.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_NE(run.err.find("directory"), std::string::npos) << run.err;

  run = RunTool({"-i", good.string(), missing.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_EQ(Slurp(good), "a=1\n");

  run = RunTool({"--ini", missing.string()}, "a = 1");
  EXPECT_EQ(run.code, kExitError);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("missing.pb"), std::string::npos);

  run = RunTool({"--frobnicate"});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST_F(ZentrelFormatFiles, IniFileIsRead) {
  const fs::path ini = File("toolhost.ini",
                            "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nCodeBeautifier = 1\r\n"
                            "\r\n[CodeBeautifier]\r\nComma = 1\r\nMath = 2\r\n");
  const ToolRun run = RunTool({"--ini", ini.string()}, "f(a, b+c)");
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, "f(a,b + c)");
  EXPECT_EQ(RunTool({"--ini", ini.string(), "--set", "CodeBeautifier.Comma=2"}, "f(a,b)").out,
            "f(a, b)");
}

// No temporary file can be made in a read-only folder: the file stays as it was, and it is not
// rewritten in place either. Root writes into any folder, so as root the tool runs in a child
// process that has become another user.
TEST_F(ZentrelFormatFiles, UnwritableFolderLeavesTheFileAlone) {
  const fs::path file = File("code.pb", "a = 1\n");
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    fs::permissions(folder_, fs::perms::all);  // the other user may enter the folder
  }
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read |
                               fs::perms::others_exec);
  int code = -1;
  if (root) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(100);
      ::_exit(RunTool({"-i", file.string()}).code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    code = WEXITSTATUS(status);
  } else {
    code = RunTool({"-i", file.string()}).code;
  }
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_EQ(code, kExitError);
  EXPECT_EQ(Slurp(file), "a = 1\n");
  EXPECT_EQ(Leftovers(), std::vector<std::string>{"code.pb"});
}

// Names that are taken (a symbolic link above all) are never written through nor replaced.
TEST_F(ZentrelFormatFiles, InPlaceNeverWritesThroughATakenTemporaryName) {
  const fs::path file = File("code.pb", "a = 1\n");
  const fs::path victim = folder_ / "victim";
  fs::create_symlink(victim, TemporaryPath(file.string(), 0));
  Spit(TemporaryPath(file.string(), 1), "taken");
  ToolRun run = RunTool({"-i", file.string()});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(Slurp(file), "a=1\n");
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_FALSE(fs::exists(victim));
  EXPECT_TRUE(fs::is_symlink(TemporaryPath(file.string(), 0)));
  EXPECT_EQ(Slurp(TemporaryPath(file.string(), 1)), "taken");

  // Every name taken: no temporary file can be made, and the file stays as it was.
  Spit(file, "b = 2\n");
  for (int attempt = 2; attempt < kTemporaryAttempts; ++attempt)
    fs::create_symlink(victim, TemporaryPath(file.string(), attempt));
  run = RunTool({"-i", file.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(Slurp(file), "b = 2\n");
  EXPECT_FALSE(fs::exists(victim));
}

// Replacing one name of a hard-linked file would split it from its other names: refused.
TEST_F(ZentrelFormatFiles, InPlaceRefusesAHardLinkedFile) {
  const fs::path file = File("code.pb", "a = 1\n");
  const fs::path other = folder_ / "other.pb";
  fs::create_hard_link(file, other);
  const ToolRun run = RunTool({"-i", file.string()});
  EXPECT_EQ(run.code, kExitError);
  EXPECT_NE(run.err.find("hard link"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(Slurp(file), "a = 1\n");
  EXPECT_TRUE(fs::equivalent(file, other));
}

// The editor's positions are 32-bit: a larger input is refused whole, before it is read.
TEST_F(ZentrelFormatFiles, InputsOfTwoGibibytesAreRefused) {
  const fs::path file = File("huge.pb", "a = 1\n");
  fs::resize_file(file, std::uintmax_t{1} << 31);  // sparse: nothing is written
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{file.string()},
                                                    {"--check", file.string()},
                                                    {"-i", file.string()}}) {
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.code, kExitError) << arguments.front();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("huge.pb"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_EQ(fs::file_size(file), std::uintmax_t{1} << 31);
  std::ifstream untouched(file, std::ios::binary);
  std::string start(6, '\0');
  untouched.read(start.data(), 6);
  EXPECT_EQ(start, "a = 1\n");
}

}  // namespace

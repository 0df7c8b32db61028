#include "ide/win32/command_line.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

struct Case {
  std::vector<std::wstring> arguments;
  bool ok;
  std::wstring toolFolder;
  bool startTool;
  bool help;
  std::vector<std::wstring> programs;
  std::vector<std::wstring> files;
  std::wstring error;
};

TEST(CommandLine, ParsesOptionsAndFiles) {
  const Case cases[] = {
      {{}, true, L"", false, false, {}, {}, L""},
      {{L"a.pb"}, true, L"", false, false, {}, {L"a.pb"}, L""},
      {{L"--open", L"a.pb", L"b.pb"}, true, L"", false, false, {}, {L"a.pb", L"b.pb"}, L""},
      {{L"--tool-folder", L"C:\\t", L"--start-tool"}, true, L"C:\\t", true, false, {}, {}, L""},
      {{L"--run", L"x.exe /a", L"--run", L"y.exe"},
       true,
       L"",
       false,
       false,
       {L"x.exe /a", L"y.exe"},
       {},
       L""},
      {{L"--open", L"--start-tool"}, true, L"", false, false, {}, {L"--start-tool"}, L""},
      {{L"--run"}, false, L"", false, false, {}, {}, L"--run needs a value"},
      {{L"--tool-folder"}, false, L"", false, false, {}, {}, L"--tool-folder needs a value"},
      {{L"a.pb", L"--bogus"}, false, L"", false, false, {}, {}, L"unknown option --bogus"},
      {{L"-"}, true, L"", false, false, {}, {L"-"}, L""},
      {{L"--help"}, true, L"", false, true, {}, {}, L""},
      {{L"a.pb", L"/?"}, true, L"", false, true, {}, {L"a.pb"}, L""},
  };
  for (const Case& c : cases) {
    CommandLine result;
    result.files.push_back(L"untouched on error");
    std::wstring error;
    const bool ok = ParseCommandLine(c.arguments, &result, &error);
    ASSERT_EQ(ok, c.ok) << c.arguments.size();
    EXPECT_EQ(error, c.error);
    if (!ok) {
      EXPECT_EQ(result.files, std::vector<std::wstring>{L"untouched on error"});
      continue;
    }
    EXPECT_EQ(result.toolFolder, c.toolFolder);
    EXPECT_EQ(result.startTool, c.startTool);
    EXPECT_EQ(result.help, c.help);
    EXPECT_EQ(result.programs, c.programs);
    EXPECT_EQ(result.files, c.files);
  }
}

}  // namespace
}  // namespace standin

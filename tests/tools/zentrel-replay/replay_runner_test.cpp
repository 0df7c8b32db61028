// The runner's verdicts and exit codes, with the test plugin.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "replay.h"

namespace {

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

RunResult RunScenario(const std::string& text, replay::ReplayOptions options = {}) {
  // A folder per test: ctest runs the cases of this program in parallel.
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder =
      std::filesystem::path(testing::TempDir()) /
      (std::string("replay-runner-") + test->test_suite_name() + "-" + test->name());
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "runner_case.scn").string();
  std::ofstream(path, std::ios::binary) << text;
  std::ostringstream out;
  std::ostringstream err;
  const int code = replay::RunScenarioFiles({path}, options, replay::LinkedPlugin(), out, err);
  std::filesystem::remove_all(folder);
  return {code, out.str(), err.str()};
}

TEST(ReplayRunner, PassingScenarioExitsZero) {
  const RunResult result =
      RunScenario("scenario ok\ntext\na{|}\nend\ntype b\nexpect\nab{|}\nend\n");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "PASS ok\n1 passed, 0 failed\n");
}

TEST(ReplayRunner, FailureShowsExpectedAndActual) {
  const RunResult result =
      RunScenario("scenario bad\ntext\na{|}\nend\ntype b\nexpect\nax{|}\nend\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("FAIL bad: "), std::string::npos);
  EXPECT_NE(result.out.find("runner_case.scn:6: expect: the text differs"), std::string::npos);
  EXPECT_NE(result.out.find("    |ax{|}\n"), std::string::npos);
  EXPECT_NE(result.out.find("    |ab{|}\n"), std::string::npos);
  EXPECT_NE(result.out.find("0 passed, 1 failed\n"), std::string::npos);
}

TEST(ReplayRunner, CaretDifferenceIsAFailure) {
  const RunResult result = RunScenario("text\nab{|}\nend\nexpect\na{|}b\nend\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("expect: the caret differs"), std::string::npos);
}

TEST(ReplayRunner, EveryFailureIsListed) {
  const RunResult result = RunScenario("text\nab\nend\nexpect-line 1 x\nexpect-line 3 y\n");
  EXPECT_NE(result.out.find("expect-line 1: expected \"x\", actual \"ab\""), std::string::npos);
  EXPECT_NE(result.out.find("  and: "), std::string::npos);
  EXPECT_NE(result.out.find("the text has no line 3"), std::string::npos);
}

TEST(ReplayRunner, PositionOutsideTheTextIsBadInput) {
  const RunResult line = RunScenario("scenario s\ntext\nab\nend\ncaret 3 1\n");
  EXPECT_EQ(line.exitCode, 2);
  EXPECT_NE(line.err.find("runner_case.scn:5: line 3 is outside the text (1 lines)"),
            std::string::npos);
  const RunResult column = RunScenario("text\nab\nend\nselect 1 1 1 4\n");
  EXPECT_EQ(column.exitCode, 2);
  EXPECT_NE(column.err.find(":4: column 4 is outside line 1 (2 characters)"), std::string::npos);
  const RunResult lineEnd = RunScenario("text\nab\nend\ncaret 1 3\nexpect\nab{|}\nend\n");
  EXPECT_EQ(lineEnd.exitCode, 0) << lineEnd.out << lineEnd.err;
}

TEST(ReplayRunner, MalformedFileExitsTwoWithFileAndLine) {
  const RunResult result = RunScenario("scenario s\nexpect\nabc\n");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("runner_case.scn:2: 'expect' block has no 'end'"), std::string::npos);
}

TEST(ReplayRunner, UnreadableFileExitsTwo) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(replay::RunScenarioFiles({"/nonexistent/x.scn"}, {}, replay::LinkedPlugin(), out, err),
            2);
  EXPECT_NE(err.str().find("cannot read"), std::string::npos);
}

TEST(ReplayRunner, PrintShowsEachEditorWithItsCaret) {
  replay::ReplayOptions options;
  options.print = true;
  const RunResult result = RunScenario("text\nx{|}y\nend\neditor two\ntype z\n", options);
  EXPECT_NE(result.out.find("  editor main:\n    |x{|}y\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  editor two:\n    |z{|}\n"), std::string::npos) << result.out;
}

TEST(ReplayRunner, TraceShowsNotificationsAndThePluginsMessages) {
  replay::ReplayOptions options;
  options.trace = true;
  const RunResult result = RunScenario("focus\ntype (\n", options);
  EXPECT_NE(result.out.find("runner_case.scn:2: type (\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("notify main SCN_FOCUSIN"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("notify main SCN_CHARADDED ch=40"), std::string::npos);
  EXPECT_NE(result.out.find("notify main SCN_MODIFIED position=0 type=0x2011 length=1"),
            std::string::npos);
  EXPECT_NE(result.out.find("send main 2403 13 5"), std::string::npos);  // from the test plugin
  EXPECT_NE(result.out.find("notify main SCN_UPDATEUI updated="), std::string::npos);
}

TEST(ReplayRunner, ExpectSentSeesOnlyTheLastCommand) {
  EXPECT_EQ(RunScenario("focus\nexpect-sent 2403 13 5\n").exitCode, 0);
  const RunResult later = RunScenario("focus\ntype a\nexpect-sent 2403 13 5\n");
  EXPECT_EQ(later.exitCode, 1);
  EXPECT_NE(later.out.find("(not sent at all)"), std::string::npos);
}

TEST(ReplayRunner, EachScenarioStartsFresh) {
  const RunResult result = RunScenario(
      "scenario one\ntype abc\nset Test.X 4\nscenario two\nexpect\n{|}\nend\n"
      "expect-prop .Settings.Test.X.Value absent\nexpect-prop .Settings.Test.CaretWidth.Value 2\n");
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(result.out.find("2 passed, 0 failed"), std::string::npos);
}

TEST(ReplayRunner, CommandLineOptions) {
  const char* unknown[] = {"zentrel-replay", "--frob", "x.scn"};
  EXPECT_EQ(replay::ReplayMain(3, const_cast<char**>(unknown), replay::LinkedPlugin()), 2);
  const char* none[] = {"zentrel-replay", "--print"};
  EXPECT_EQ(replay::ReplayMain(2, const_cast<char**>(none), replay::LinkedPlugin()), 2);
}

}  // namespace

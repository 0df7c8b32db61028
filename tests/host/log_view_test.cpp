#include "host/log_view.h"

#include <gtest/gtest.h>

#include "os/sim/sim.h"
#include "tests/host/fake_host_gui.h"

namespace {

std::u16string g_debugText;
std::u16string g_lastMode;
int g_debugCalls = 0;
bool g_returnNull = false;

const char16_t* Debug(std::intptr_t, const char16_t* mode) {
  ++g_debugCalls;
  g_lastMode = mode;
  return g_returnNull ? nullptr : g_debugText.c_str();
}

class LogViewTest : public testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    ide = os::sim::CreateWindow({"IdeMain", nullptr, "IDE"});
    os::sim::RegisterLibrary("/plugins/p.dll",
                             {{"RetrievePluginDebug", reinterpret_cast<void*>(&Debug)}});
    PluginEntry& plugin = table.Add(ide, os::LoadLibrary("/plugins/p.dll"));
    view.source = &plugin;
    gui.visible = true;
    g_debugText = u"text";
    g_debugCalls = 0;
    g_returnNull = false;
  }
  void Select(int option) {
    for (int id : {kToolDebugProp, kToolDebugSci, kToolDebugStyles, kToolDebugIndicators,
                   kToolDebugControls, kToolDebugNone})
      gui.controls[id].state = id == option;
  }

  FakeHostGui gui;
  PluginTable table;
  LogView view;
  os::Window ide = nullptr;
};

struct ModeCase {
  int option;
  const char16_t* mode;
  TabStops stops;
};

TEST_F(LogViewTest, EachModeAsksForItsTextWithItsTabStops) {
  const ModeCase cases[] = {
      {kToolDebugProp, u"Props", {}},
      {kToolDebugSci, u"Scintilla", {}},
      {kToolDebugStyles, u"Styles", {45, 150, 255, 295, 335}},
      {kToolDebugIndicators, u"Indicators", {60, 165}},
  };
  int n = 0;
  for (const ModeCase& c : cases) {
    Select(c.option);
    g_debugText = u"text " + std::u16string(1, char16_t('a' + n++));
    RefreshToolLogs(view, gui);
    EXPECT_EQ(g_lastMode, c.mode);
    EXPECT_EQ(gui.tabStops, c.stops);
    EXPECT_EQ(gui.logText, view.lastText);
  }
}

TEST_F(LogViewTest, FirstSelectedModeInOrderWins) {
  gui.controls[kToolDebugStyles].state = 1;
  gui.controls[kToolDebugSci].state = 1;
  RefreshToolLogs(view, gui);
  EXPECT_EQ(g_lastMode, u"Scintilla");
}

TEST_F(LogViewTest, HiddenWindowAsksNothing) {
  Select(kToolDebugProp);
  gui.visible = false;
  RefreshToolLogs(view, gui);
  EXPECT_EQ(g_debugCalls, 0);
  EXPECT_EQ(gui.logTextSets, 0);
}

TEST_F(LogViewTest, NoneNullEmptyOrSameTextKeepsTheEditor) {
  Select(kToolDebugProp);
  RefreshToolLogs(view, gui);
  EXPECT_EQ(gui.logText, "text");
  EXPECT_EQ(gui.logTextSets, 1);
  RefreshToolLogs(view, gui);  // same text
  g_returnNull = true;
  RefreshToolLogs(view, gui);
  g_returnNull = false;
  g_debugText = u"";
  RefreshToolLogs(view, gui);
  Select(kToolDebugNone);
  g_debugText = u"other";
  RefreshToolLogs(view, gui);
  EXPECT_EQ(gui.logTextSets, 1);
  EXPECT_EQ(gui.logText, "text");
}

TEST_F(LogViewTest, NoSourceShowsNothingEvenForControls) {
  view.source = nullptr;
  Select(kToolDebugControls);
  os::sim::CreateWindow({"Child", ide, "x"});
  RefreshToolLogs(view, gui);
  EXPECT_EQ(gui.logTextSets, 0);
}

TEST_F(LogViewTest, SmallChangeKeepsTheScrollPositionLargeChangeUsesTheLastSaved) {
  Select(kToolDebugProp);
  g_debugText = std::u16string(100, u'a');
  RefreshToolLogs(view, gui);  // 0 -> 100: large change, saved position stays (0, 0)
  EXPECT_EQ(gui.scroll.y, 0);

  gui.scroll = {0, 40};  // the reader scrolls down
  g_debugText = std::u16string(110, u'a');
  RefreshToolLogs(view, gui);  // +10: position saved and restored
  EXPECT_EQ(gui.scroll.y, 40);

  gui.scroll = {0, 80};
  g_debugText = std::u16string(300, u'a');
  RefreshToolLogs(view, gui);  // +190: back to the position saved last time
  EXPECT_EQ(gui.scroll.y, 40);
}

TEST_F(LogViewTest, LengthChangeCountsCharactersNotBytes) {
  Select(kToolDebugProp);
  g_debugText = std::u16string(100, u'a');
  RefreshToolLogs(view, gui);
  gui.scroll = {0, 40};
  g_debugText = std::u16string(100, u'\u00E9');  // 100 characters, 200 bytes in UTF-8
  RefreshToolLogs(view, gui);
  EXPECT_EQ(gui.scroll.y, 40);  // same length: the position was kept
}

TEST_F(LogViewTest, ListControlsListsEveryDescendantWithPropertiesAndTitle) {
  os::Window panel = os::sim::CreateWindow({"Panel", ide, ""});
  os::Window editor = os::sim::CreateWindow({"Scintilla", panel, "two\r\nlines"});
  os::Window bare = os::sim::CreateWindow({"Bare", ide, ""});
  os::SetProp(panel, "PB_ID", 5);
  os::SetProp(panel, "Other", -3);
  os::SetProp(editor, "PB_ID", 6);
  auto hex = [](os::Window window) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return std::string(buffer);
  };
  std::string expected;
  for (os::Window window : os::EnumChildWindows(ide)) {
    if (window == panel) expected += "Panel = " + hex(panel) + "\tPB_ID = 5\n\tOther = -3\n\n";
    if (window == editor)
      expected += "Scintilla = " + hex(editor) + "\tPB_ID = 6\n\tTitle = two..lines\n\n";
    if (window == bare) expected += "Bare = " + hex(bare) + "\n\n";
  }
  EXPECT_EQ(os::EnumChildWindows(ide).size(), 3u);
  EXPECT_EQ(ListControls(ide), expected);

  Select(kToolDebugControls);
  RefreshToolLogs(view, gui);
  EXPECT_EQ(gui.logText, expected);
  EXPECT_EQ(gui.tabStops, (TabStops{120, 170}));
}

}  // namespace

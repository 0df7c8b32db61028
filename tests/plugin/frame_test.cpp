// The plugin frame: finding the IDE, the live settings, the active editor and its stamp, the
// IDE-closing mark, the property snapshot.

#include <gtest/gtest.h>

#include "core/property_names.h"
#include "os/sim/sim.h"
#include "plugin/editor_access.h"
#include "plugin/plugin_frame.h"
#include "tests/plugin/fake_editor.h"

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ide = &StartFakeIde(); }
  void TearDown() override { StopFakeIde(); }

  std::int64_t Prop(const std::string& suffix) {
    return os::GetProp(ide->main, core::PropertyPrefix(core::HandleValue(ide->main)) + suffix);
  }
  HookContext Context() {
    HookContext context;
    context.ideWindow = ide->main;
    context.editor = ide->editors[0]->window;
    return context;
  }

  FakeIde* ide = nullptr;
};

TEST_F(FrameTest, IdeWindowIsFoundThroughAnyWindowWithGadgetId) {
  EXPECT_EQ(KnownIdeWindow(), nullptr);
  os::SendMessage(ide->editors[0]->window, 15, 0, 0);  // any message to an IDE control
  EXPECT_EQ(KnownIdeWindow(), ide->main);
}

// An IDE dialog is a top-level window with PB_ID: its own root, but not the IDE main window.
TEST_F(FrameTest, TopLevelIdeDialogIsNotTakenForTheMainWindow) {
  os::sim::WindowSpec params;
  params.className = "FindDialog";
  const os::Window dialog = os::sim::CreateWindow(params);
  os::SetProp(dialog, "PB_ID", 40);
  os::SendMessage(dialog, 15, 0, 0);
  EXPECT_EQ(KnownIdeWindow(), nullptr);
  os::SendMessage(ide->editors[0]->window, 15, 0, 0);
  EXPECT_EQ(KnownIdeWindow(), ide->main);
}

TEST_F(FrameTest, WindowsWithoutGadgetIdDoNotRevealTheIde) {
  os::sim::WindowSpec params;
  params.className = "Foreign";
  params.parent = ide->main;
  const os::Window foreign = os::sim::CreateWindow(params);
  os::SendMessage(foreign, 15, 0, 0);
  EXPECT_EQ(KnownIdeWindow(), nullptr);
  EXPECT_EQ(FindIdeWindow(foreign), nullptr);
  EXPECT_EQ(FindIdeWindow(ide->editors[0]->window), ide->main);
}

TEST_F(FrameTest, SettingsAreReadLiveAndAbsentOnesReadZero) {
  HookContext context = Context();
  EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 0);
  PublishSetting(*ide, "StringHelpers", "UseCtrlEnter", 1);
  EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 1);
  PublishSetting(*ide, "StringHelpers", "UseCtrlEnter", 0);
  EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 0);
  // Property names are atoms: any letter case finds them.
  PublishSetting(*ide, "commenthelpers", "mincommentbarlength", 12);
  EXPECT_EQ(GetPluginSetting(context, "CommentHelpers", "MinCommentBarLength"), 12);
}

// One call of the hook reads a setting once, also through the calls nested in it; the host's
// change shows at the next call.
TEST_F(FrameTest, ASettingIsReadOncePerHookCall) {
  HookContext context = Context();
  PublishSetting(*ide, "StringHelpers", "UseCtrlEnter", 1);
  {
    SettingsCallScope call;
    EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 1);
    PublishSetting(*ide, "StringHelpers", "UseCtrlEnter", 0);
    {
      SettingsCallScope nested;
      EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 1);
    }
    EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 1);
  }
  SettingsCallScope next;
  EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 0);
}

TEST_F(FrameTest, NoSettingIsReadBeforeTheIdeIsKnown) {
  PublishSetting(*ide, "StringHelpers", "UseCtrlEnter", 1);
  HookContext context;
  EXPECT_EQ(GetPluginSetting(context, "StringHelpers", "UseCtrlEnter"), 0);
}

TEST_F(FrameTest, SettingInRangeIsClamped) {
  HookContext context = Context();
  struct Case {
    std::intptr_t published;
    std::int64_t expected;
  };
  for (const Case& c : {Case{10, 10}, Case{4, 5}, Case{1000000, 30}, Case{-7, 5}, Case{30, 30}}) {
    PublishSetting(*ide, "CommentHelpers", "MinCommentBarLength", c.published);
    EXPECT_EQ(GetPluginSettingInRange(context, "CommentHelpers", "MinCommentBarLength", 5, 30),
              c.expected)
        << c.published;
  }
}

TEST_F(FrameTest, EditorSwitchWritesStampAndEditorOncePerSwitch) {
  FakeEditor& first = *ide->editors[0];
  FakeEditor& second = AddEditor(*ide);
  os::sim::SetClock(500);
  NotifyUpdateUi(first, 0);
  EXPECT_EQ(Prop(".Plugin.Sci"), reinterpret_cast<std::intptr_t>(first.window));
  EXPECT_EQ(Prop(".Plugin.UpdateDate"), 500);

  os::sim::SetClock(600);
  NotifyUpdateUi(first, 0);
  Focus(first);
  EXPECT_EQ(Prop(".Plugin.UpdateDate"), 500) << "same editor: nothing written";

  os::sim::SetClock(700);
  NotifyUpdateUi(second, 0);
  EXPECT_EQ(Prop(".Plugin.Sci"), reinterpret_cast<std::intptr_t>(second.window));
  EXPECT_EQ(Prop(".Plugin.UpdateDate"), 700);
  EXPECT_EQ(ActiveEditor(), second.window);

  os::sim::SetClock(800);
  NotifyUpdateUi(first, 0);
  EXPECT_EQ(Prop(".Plugin.Sci"), reinterpret_cast<std::intptr_t>(first.window));
  EXPECT_EQ(Prop(".Plugin.UpdateDate"), 800);
}

TEST_F(FrameTest, StampIsNeverZeroNorTheValueAlreadyThere) {
  FakeEditor* editors[] = {ide->editors[0], &AddEditor(*ide)};
  const std::string name =
      core::PropertyPrefix(core::HandleValue(ide->main)) + ".Plugin.UpdateDate";
  // The clock reads what the property already holds (the same millisecond, or any value another
  // process wrote there): the new stamp still differs, also at the ends of the range.
  int switches = 0;
  for (const std::int64_t held : {std::int64_t{0}, std::int64_t{1}, std::int64_t{-1},
                                  std::int64_t{INT32_MAX}, INT64_MAX, INT64_MIN}) {
    os::SetProp(ide->main, name, static_cast<std::intptr_t>(held));
    os::sim::SetClock(held);
    NotifyUpdateUi(*editors[switches++ % 2], 0);
    EXPECT_NE(Prop(".Plugin.UpdateDate"), held) << held;
    EXPECT_NE(Prop(".Plugin.UpdateDate"), 0) << held;
  }
}

// A notification whose sender is not an IDE editor is not read as an editor's record.
TEST_F(FrameTest, NotificationsOfOtherControlsAreNotDispatched) {
  struct Sender {
    const char* className;
    bool gadgetId;
  };
  for (const Sender& s : {Sender{"SysListView32", true}, Sender{"Scintilla", false}}) {
    os::sim::WindowSpec params;
    params.className = s.className;
    params.parent = ide->main;
    const os::Window control = os::sim::CreateWindow(params);
    if (s.gadgetId) os::SetProp(control, "PB_ID", 77);
    os::NotifyHeader header{control, 1, sci::SCN_CHARADDED};  // a short record
    os::SendMessage(ide->main, os::kWM_NOTIFY, 1, reinterpret_cast<os::LParam>(&header));
    EXPECT_EQ(ActiveEditor(), nullptr) << s.className;
    EXPECT_EQ(Prop(".Plugin.Sci"), 0) << s.className;
  }
  NotifyUpdateUi(*ide->editors[0], 0);
  EXPECT_EQ(ActiveEditor(), ide->editors[0]->window);
}

TEST_F(FrameTest, EditorClassMatchesInAnyCase) {
  for (const char* name : {"Scintilla", "scintilla", "SCINTILLA"}) {
    os::sim::WindowSpec params;
    params.className = name;
    EXPECT_TRUE(IsEditorWindow(os::sim::CreateWindow(params))) << name;
  }
  os::sim::WindowSpec other;
  other.className = "ScintillaX";
  EXPECT_FALSE(IsEditorWindow(os::sim::CreateWindow(other)));
  EXPECT_FALSE(IsEditorWindow(nullptr));
  EXPECT_EQ(GetLowerClassName(ide->main), "windowclass_0");
}

TEST_F(FrameTest, IdeClosingIsMarkedOnceForTheMainWindowOnly) {
  os::SendMessage(ide->editors[0]->window, 15, 0, 0);
  os::SendMessage(ide->editors[0]->window, os::kWM_DESTROY, 0, 0);
  EXPECT_EQ(Prop(".Plugin.Tool"), reinterpret_cast<std::intptr_t>(ide->tool));

  os::SendMessage(ide->main, os::kWM_DESTROY, 0, 0);
  EXPECT_EQ(Prop(".Plugin.Tool"), -1);
  EXPECT_FALSE(os::sim::IsMinimized(ide->tool)) << "minimised, then restored";

  const std::string name = core::ToolPropertyName(core::HandleValue(ide->main));
  os::SetProp(ide->main, name, 5);
  os::SendMessage(ide->main, os::kWM_DESTROY, 0, 0);
  EXPECT_EQ(Prop(".Plugin.Tool"), 5) << "written once";
}

TEST_F(FrameTest, SnapshotFollowsTheStamp) {
  HookContext context = Context();
  std::map<std::string, std::int64_t> table;
  os::SetProp(ide->main, "Other", 3);
  EXPECT_EQ(RefreshPropertySnapshot(context, table), 0u) << "no stamp: nothing";

  PublishSetting(*ide, "G", "K", 4);
  const std::size_t filled = RefreshPropertySnapshot(context, table);
  EXPECT_GE(filled, 4u);  // PB_ID, Tool, Other, the setting, the stamp
  EXPECT_EQ(table.at("Other"), 3);

  os::SetProp(ide->main, "Other", 9);  // no new stamp: the old snapshot
  EXPECT_EQ(RefreshPropertySnapshot(context, table), filled);
  EXPECT_EQ(table.at("Other"), 3);

  PublishSetting(*ide, "G", "K", 5);
  RefreshPropertySnapshot(context, table);
  EXPECT_EQ(table.at("Other"), 9);
}

}  // namespace

namespace {

// An editor's handle is trusted without new lookups only until its WM_DESTROY, and the plugin's
// state forgets it then.
TEST_F(FrameTest, DestroyedEditorIsNoLongerTrusted) {
  FakeEditor& editor = *ide->editors[0];
  os::NotifyHeader header{editor.window, 1, sci::SCN_UPDATEUI};
  const auto lParam = reinterpret_cast<os::LParam>(&header);
  HookContext first;
  SetupCallContext(first, ide->main, os::kWM_NOTIFY, 1, lParam);
  EXPECT_NE(first.notification, nullptr);
  EXPECT_EQ(first.editor, editor.window);

  os::sim::DestroyWindow(editor.window);  // WM_DESTROY passes through the hook
  // Nothing names it any more: a window created later may get its handle.
  for (os::Window named : PluginEditorReferences()) EXPECT_NE(named, editor.window);
  HookContext after;
  SetupCallContext(after, ide->main, os::kWM_NOTIFY, 1, lParam);
  EXPECT_EQ(after.notification, nullptr);
}

}  // namespace

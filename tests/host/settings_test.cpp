#include "host/settings.h"

#include <gtest/gtest.h>

#include "os/sim/sim.h"
#include "tests/host/fake_host_gui.h"

namespace {

class Settings : public testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    ide = os::sim::CreateWindow({"IdeMain", nullptr, "IDE"});
    prefix = std::to_string(0);  // replaced below
    PluginEntry& plugin = table.Add(ide, nullptr);
    OptionContainer& added = plugin.containers.emplace_back();
    added.ideHandle = ide;
    added.name = "Group";
    added.title = "Group title";
    container = &added;
    gui.AddControl(ControlKind::kOther, "Group");  // the container element
  }

  // A control of the fragment: in the fake window and in the container's tables.
  ControlId Add(ControlKind kind, const std::string& name, std::int64_t value = 0,
                const std::string& items = "") {
    ControlId id = gui.AddControl(kind, name);
    container->controls[name] = 0;
    container->items[name] = items;
    if (name.find(':') == std::string::npos) container->values[name] = value;
    return id;
  }

  std::intptr_t Property(const std::string& key) {
    return os::GetProp(ide, SettingPropertyName(key));
  }
  std::string SettingPropertyName(const std::string& key) {
    return PropertyPrefixText() + ".Settings.Group." + key + ".Value";
  }
  std::string PropertyPrefixText() {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(ide)));
    return buffer;
  }
  std::intptr_t UpdateDate() {
    return os::GetProp(ide, PropertyPrefixText() + ".Plugin.UpdateDate");
  }

  FakeHostGui gui;
  SettingsState state{gui, {}, {}};
  PluginTable table;
  OptionContainer* container = nullptr;
  os::Window ide = nullptr;
  std::string prefix;
};

TEST_F(Settings, BuildShowsStoredValuesAndPublishesEverySetting) {
  ControlId check = Add(ControlKind::kCheckBox, "Check", 1);
  ControlId spin = Add(ControlKind::kSpin, "Spin", 42);
  ControlId option0 = Add(ControlKind::kOption, "X:0");
  ControlId option2 = Add(ControlKind::kOption, "X:2");
  container->values["X"] = 2;
  ControlId field = Add(ControlKind::kString, "Col:Color");
  ControlId swatch = Add(ControlKind::kCanvas, "Col:Picker");
  container->values["Col"] = 65535;
  ControlId combo = Add(ControlKind::kComboBox, "Box", 7, "Straight Box,8,Curved Box,7");
  container->tooltips["Check"] = "tip";
  container->fonts["Spin"] = "mini";
  os::sim::SetClock(1234);

  BuildPluginUi(state, table.entries[0]);

  EXPECT_EQ(gui.rows.size(), 1u);
  EXPECT_EQ(gui.rows[0].text, "Group title");
  EXPECT_TRUE(gui.rows[0].checked);
  EXPECT_EQ(gui.controls[check].state, 1);
  EXPECT_EQ(gui.controls[check].tooltip, "tip");
  EXPECT_EQ(gui.controls[spin].font, "mini");
  EXPECT_EQ(gui.controls[spin].state, 42);
  EXPECT_EQ(gui.controls[option0].state, 0);
  EXPECT_EQ(gui.controls[option2].state, 1);
  EXPECT_EQ(gui.controls[field].text, "00FFFF");
  EXPECT_EQ(gui.controls[swatch].filledColour, 65535);
  EXPECT_EQ(gui.controls[combo].items, (std::vector<std::string>{"Straight Box", "Curved Box"}));
  EXPECT_EQ(gui.controls[combo].state, 1);
  EXPECT_EQ(Property("Check"), 1);
  EXPECT_EQ(Property("Spin"), 42);
  EXPECT_EQ(Property("X"), 2);
  EXPECT_EQ(Property("Col"), 65535);
  EXPECT_EQ(Property("Box"), 7);
  EXPECT_GE(UpdateDate(), 1234);  // one stamp a store, each later than the last
  EXPECT_LT(UpdateDate(), 1234 + 10);
  EXPECT_EQ(container->controls.Get("Spin"), spin);
  EXPECT_EQ(container->containerControl, gui.FindControl("Group"));
}

TEST_F(Settings, DisabledContainerPublishesZerosAndDisablesItsControls) {
  ControlId check = Add(ControlKind::kCheckBox, "Check", 1);
  container->enabled = 0;
  BuildPluginUi(state, table.entries[0]);
  EXPECT_FALSE(gui.rows[0].checked);
  EXPECT_FALSE(gui.controls[check].enabled);
  EXPECT_EQ(Property("Check"), 0);
  EXPECT_EQ(container->values.Get("Check"), 1);
}

TEST_F(Settings, ComboWithoutMatchingItemSelectsNothingAndKeepsTheValue) {
  ControlId combo = Add(ControlKind::kComboBox, "Box", 5, "A,1,B,2");
  BuildPluginUi(state, table.entries[0]);
  EXPECT_EQ(gui.controls[combo].state, -1);
  EXPECT_EQ(container->values.Get("Box"), 5);
}

struct SaveCase {
  const char* label;
  ControlKind kind;
  const char* name;
  std::int64_t state;
  const char* text;  // of the colour field
  const char* items;
  const char* key;
  std::int64_t expectedValue;
  bool stampsDate;
};

class SaveOptionTable : public Settings, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOptionTable, StoresAndPublishesByKind) {
  const SaveCase& c = GetParam();
  ControlId control = Add(c.kind, c.name, 0, c.items);
  ControlId field = 0;
  if (std::string(c.name).find(":Picker") != std::string::npos)
    field = Add(ControlKind::kString, "Col:Color");
  if (std::string(c.name).find(":Color") != std::string::npos) field = control;
  BuildPluginUi(state, table.entries[0]);
  os::RemoveProp(ide, SettingPropertyName(c.key));
  os::RemoveProp(ide, PropertyPrefixText() + ".Plugin.UpdateDate");
  os::sim::SetClock(777);
  gui.controls[control].state = c.state;
  if (field) gui.controls[field].text = c.text;

  SaveOption(state, *container, control, true);

  EXPECT_EQ(UpdateDate(), c.stampsDate ? 777 : 0) << c.label;
  EXPECT_EQ(Property(c.key), c.expectedValue) << c.label;
  if (c.stampsDate && c.expectedValue) {
    EXPECT_EQ(container->values.Get(c.key), c.expectedValue) << c.label;
  }

  SaveOption(state, *container, control, false);
  EXPECT_EQ(Property(c.key), 0) << c.label << " (not applied)";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveOptionTable,
    testing::Values(
        SaveCase{"check box on", ControlKind::kCheckBox, "Check", 1, "", "", "Check", 1, true},
        SaveCase{"spin", ControlKind::kSpin, "Spin", 12, "", "", "Spin", 12, true},
        SaveCase{"option chosen", ControlKind::kOption, "X:3", 1, "", "", "X", 3, true},
        SaveCase{"option cleared: date only", ControlKind::kOption, "X:3", 0, "", "", "X", 0, true},
        SaveCase{"colour typed", ControlKind::kString, "Col:Color", 0, "FF", "", "Col", 255, true},
        SaveCase{"colour lower case", ControlKind::kString, "Col:Color", 0, "00ff00", "", "Col",
                 0xFF00, true},
        SaveCase{"colour not hexadecimal", ControlKind::kString, "Col:Color", 0, "zz", "", "Col", 0,
                 true},
        SaveCase{"colour of seven digits", ControlKind::kString, "Col:Color", 0, "1234567", "",
                 "Col", 0x1234567, true},
        SaveCase{"swatch event", ControlKind::kCanvas, "Col:Picker", 0, "0000FF", "", "Col", 0xFF,
                 true},
        SaveCase{"plain text field: date only", ControlKind::kString, "Name", 0, "", "", "Name", 0,
                 true},
        SaveCase{"combo first item", ControlKind::kComboBox, "Box", 0, "", "A,8,B,7", "Box", 8,
                 true},
        SaveCase{"combo second item", ControlKind::kComboBox, "Box", 1, "", "A,8,B,7", "Box", 7,
                 true},
        SaveCase{"combo fraction rounds", ControlKind::kComboBox, "Box", 0, "", "A,2.5,B,7", "Box",
                 2, true},
        SaveCase{"combo odd item count", ControlKind::kComboBox, "Box", 1, "", "A,8,B", "Box", 0,
                 true},
        SaveCase{"combo nothing selected", ControlKind::kComboBox, "Box", -1, "", "A,8", "Box", 0,
                 true},
        SaveCase{"other kinds store nothing", ControlKind::kOther, "Label", 5, "", "", "Label", 0,
                 false}));

TEST_F(Settings, UntickingZeroesEveryPropertyAndTickingRestoresThem) {
  ControlId check = Add(ControlKind::kCheckBox, "Check", 1);
  ControlId spin = Add(ControlKind::kSpin, "Spin", 9);
  BuildPluginUi(state, table.entries[0]);
  gui.SelectRow(0);
  os::sim::SetClock(50);

  gui.rows[0].checked = false;
  ChangeToolListIcon(state);
  EXPECT_EQ(container->enabled, 0);
  EXPECT_FALSE(gui.controls[check].enabled);
  EXPECT_FALSE(gui.controls[spin].enabled);
  EXPECT_EQ(Property("Check"), 0);
  EXPECT_EQ(Property("Spin"), 0);
  EXPECT_EQ(UpdateDate(), 51);  // two stores at 50

  os::sim::SetClock(60);
  gui.rows[0].checked = true;
  ChangeToolListIcon(state);
  EXPECT_TRUE(gui.controls[spin].enabled);
  EXPECT_EQ(Property("Check"), 1);
  EXPECT_EQ(Property("Spin"), 9);
  EXPECT_EQ(UpdateDate(), 61);
}

TEST_F(Settings, SelectionChangeOnlyShowsTheSelectedContainer) {
  Add(ControlKind::kCheckBox, "Check", 1);
  OptionContainer& second = table.entries[0].containers.emplace_back();
  second.ideHandle = ide;
  second.name = "Second";
  ControlId secondControl = gui.AddControl(ControlKind::kOther, "Second");
  BuildPluginUi(state, table.entries[0]);
  os::sim::SetClock(99);
  os::RemoveProp(ide, PropertyPrefixText() + ".Plugin.UpdateDate");

  gui.SelectRow(1);
  ChangeToolListIcon(state);
  EXPECT_FALSE(gui.controls[container->containerControl].shown);
  EXPECT_TRUE(gui.controls[secondControl].shown);
  EXPECT_EQ(UpdateDate(), 0);  // nothing was stored
}

TEST_F(Settings, PickerLeftClickOpensTheChooserWithTheStoredColour) {
  ControlId field = Add(ControlKind::kString, "Col:Color");
  ControlId swatch = Add(ControlKind::kCanvas, "Col:Picker");
  container->values["Col"] = 0x123456;
  BuildPluginUi(state, table.entries[0]);

  gui.eventControl = swatch;
  gui.eventType = 0;
  gui.chosenColour = 0xABCDEF;
  ChangeToolGadgets(state);
  EXPECT_EQ(gui.lastChooserInitial, 0x123456);
  EXPECT_EQ(gui.controls[field].text, "ABCDEF");
  EXPECT_EQ(Property("Col"), 0xABCDEF);

  gui.chosenColour = -1;  // cancelled: the field stays, the colour is published again
  os::RemoveProp(ide, SettingPropertyName("Col"));
  ChangeToolGadgets(state);
  EXPECT_EQ(gui.controls[field].text, "ABCDEF");
  EXPECT_EQ(Property("Col"), 0xABCDEF);

  gui.lastChooserInitial = -2;
  gui.eventType = 1;  // not a left click: no chooser, still stored
  ChangeToolGadgets(state);
  EXPECT_EQ(gui.lastChooserInitial, -2);
}

TEST_F(Settings, EventsOfHostControlsAreIgnored) {
  Add(ControlKind::kCheckBox, "Check", 1);
  BuildPluginUi(state, table.entries[0]);
  os::RemoveProp(ide, PropertyPrefixText() + ".Plugin.UpdateDate");
  for (ControlId control :
       {ControlId(kToolLogs), ControlId(kToolListIcon), ControlId(kToolDebugProp)}) {
    gui.eventControl = control;
    ChangeToolGadgets(state);
  }
  EXPECT_EQ(UpdateDate(), 0);
}

TEST_F(Settings, EveryStoreChangesTheUpdateDateEvenWithinOneMillisecond) {
  ControlId check = Add(ControlKind::kCheckBox, "Check", 1);
  BuildPluginUi(state, table.entries[0]);
  os::sim::SetClock(500);
  SaveOption(state, *container, check, true);
  const std::intptr_t first = UpdateDate();
  SaveOption(state, *container, check, true);
  EXPECT_EQ(first, 500);
  EXPECT_EQ(UpdateDate(), 501);
  os::sim::SetClock(900);
  SaveOption(state, *container, check, true);
  EXPECT_EQ(UpdateDate(), 900);
}

TEST(SplitItems, FieldsAtCommas) {
  EXPECT_EQ(SplitItems(""), std::vector<std::string>{});
  EXPECT_EQ(SplitItems("a"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitItems("#LF$,1,,2,"), (std::vector<std::string>{"#LF$", "1", "", "2", ""}));
}

}  // namespace

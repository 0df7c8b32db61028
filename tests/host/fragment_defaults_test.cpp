// The settings a fragment declares, as a first-run host reads them.

#include "host/fragment_defaults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Find(const std::vector<DefaultSetting>& settings, const std::string& group,
                 const std::string& key) {
  for (const DefaultSetting& setting : settings) {
    if (setting.group == group && setting.key == key) return std::to_string(setting.value);
  }
  return "absent";
}

TEST(FragmentDefaults, EveryControlKindGivesItsDefault) {
  const std::string fragment =
      "<container name='Group' title='Group'><vbox>"
      "<checkbox name='Box' text='Box' value='1'/>"
      "<checkbox name='Off' text='Off'/>"
      "<hbox><text text='Rule'/>"
      "<option name='Rule:0' text='No rules'/><option name='Rule:1' text='a'/>"
      "<option name='Rule:2' text='b' value='1'/></hbox>"
      "<spin name='Size' min='2' max='10' value='5'/>"
      "<combobox name='Shape' items='Straight,8,Round,7' value='7'/>"
      "<hbox><string name='Colour:Color' value='65535'/><canvas name='Colour:Picker'/></hbox>"
      "<text text='hint' tooltip='a tooltip gets a generated name'/>"
      "</vbox></container>";
  const std::vector<DefaultSetting> settings = ReadFragmentDefaults(fragment);
  const struct {
    const char* key;
    const char* value;
  } expected[] = {{"Box", "1"},
                  {"Off", "0"},
                  {"Rule", "2"},
                  {"Size", "5"},
                  {"Shape", "7"},
                  {"Colour", "65535"},
                  {"gadgetWithoutName1", "absent"}};
  for (const auto& setting : expected) {
    EXPECT_EQ(Find(settings, "Group", setting.key), setting.value) << setting.key;
  }
}

TEST(FragmentDefaults, AFragmentThatDoesNotParseGivesNothing) {
  EXPECT_TRUE(ReadFragmentDefaults("<container name='Broken'>").empty());
}

TEST(FragmentDefaults, UnnamedContainersAndEmptyGroupsGiveNoKeys) {
  const std::vector<DefaultSetting> settings = ReadFragmentDefaults(
      "<container name='Empty' title='Empty'/><container><checkbox name='Lost' value='1'/>"
      "</container>");
  EXPECT_EQ(Find(settings, "Empty", "Lost"), "1");  // attributed to the last named container
  EXPECT_EQ(settings.size(), 1u);
}

}  // namespace

#include "host/dialog_tree.h"

#include <gtest/gtest.h>

#include "host/splice.h"

namespace {

struct Walked {
  PluginTable table;
  dialog::RuntimeNameTable names;
  int counter = 0;
  dialog::Document document;
};

// Splices each fragment as plugin 1, 2, ... into a bare multibox and walks the result.
void Walk(Walked& walked, const std::vector<std::string>& fragments,
          const std::string& before = "") {
  std::string description = "<window>" + before + "<multibox></multibox></window>";
  for (const std::string& fragment : fragments) {
    PluginEntry& plugin = walked.table.Add(reinterpret_cast<os::Window>(0x1F4), nullptr);
    description = SpliceFragment(description, TagFragment(fragment, plugin.library, 500));
  }
  walked.document = dialog::ParseDescriptionUtf8(description);
  ASSERT_TRUE(walked.document.ok()) << walked.document.errorText;
  DialogTreeWalk walk{walked.table, walked.names, walked.counter};
  ReadDialogTree(walk, *walked.document.root);
}

std::vector<std::string> ControlNames(const OptionContainer& container) {
  std::vector<std::string> names;
  for (const auto& entry : container.controls) names.push_back(entry.first);
  return names;
}

TEST(ReadDialogTree, NamedContainerBecomesARecordWithItsControls) {
  Walked walked;
  Walk(walked, {"<container name='Strings' title='String helpers'><vbox>"
                "<checkbox name='Close' value='1' tooltip='Closes'/>"
                "<spin name='Width' value='$10' font='mini'/>"
                "<combobox name='Eol' items='#LF$,1,#CR$,2' value='2'/>"
                "</vbox></container>"});
  ASSERT_EQ(walked.table.entries[0].containers.size(), 1u);
  const OptionContainer& container = walked.table.entries[0].containers[0];
  EXPECT_EQ(container.name, "Strings");
  EXPECT_EQ(container.title, "String helpers");
  EXPECT_EQ(container.ideHandle, reinterpret_cast<os::Window>(500));
  EXPECT_EQ(ControlNames(container), (std::vector<std::string>{"Close", "Width", "Eol"}));
  EXPECT_EQ(container.values.Get("Close"), 1);
  EXPECT_EQ(container.values.Get("Width"), 16);
  EXPECT_EQ(container.values.Get("Eol"), 2);
  EXPECT_EQ(container.items.Get("Eol"), "#LF$,1,#CR$,2");
  EXPECT_EQ(container.tooltips.Get("Close"), "Closes");
  EXPECT_EQ(container.fonts.Get("Width"), "mini");
}

TEST(ReadDialogTree, OptionGroupTakesTheNumberOfTheOptionWithAValue) {
  Walked walked;
  Walk(walked, {"<container name='C'><option name='X:0'/><option name='X:1' value='0'/>"
                "<option name='X:2' value='1'/></container>"});
  const OptionContainer& container = walked.table.entries[0].containers[0];
  EXPECT_EQ(container.values.Get("X", -1), 2);
  EXPECT_EQ(ControlNames(container), (std::vector<std::string>{"X:0", "X:1", "X:2"}));
}

TEST(ReadDialogTree, ColourPairSharesItsKey) {
  Walked walked;
  Walk(walked, {"<container name='C'><string name='Col:Color' value='65535'/><canvas "
                "name='Col:Picker' value='7'/></container>"});
  const OptionContainer& container = walked.table.entries[0].containers[0];
  EXPECT_EQ(container.values.Get("Col"), 65535);
  EXPECT_FALSE(container.values.Contains("Col:Picker"));
  EXPECT_FALSE(container.values.Contains("Col:Color"));
}

TEST(ReadDialogTree, UnnamedContainersAreNotRegisteredAndNestingDoesNotMatter) {
  Walked walked;
  Walk(walked, {"<container name='Outer'><container><checkbox name='A'/></container></container>"
                "<checkbox name='After'/>"});
  ASSERT_EQ(walked.table.entries[0].containers.size(), 1u);
  // A named control after the container, outside it, still belongs to it.
  EXPECT_EQ(ControlNames(walked.table.entries[0].containers[0]),
            (std::vector<std::string>{"A", "After"}));
}

TEST(ReadDialogTree, ControlsBeforeAnyContainerAreSkipped) {
  Walked walked;
  Walk(walked, {"<container name='C'><checkbox name='B'/></container>"},
       "<checkbox name='Early'/>");
  EXPECT_EQ(ControlNames(walked.table.entries[0].containers[0]), (std::vector<std::string>{"B"}));
}

TEST(ReadDialogTree, SeveralContainersEachTakeTheControlsThatFollow) {
  Walked walked;
  Walk(walked, {"<container name='One'><checkbox name='A'/></container><container "
                "name='Two'><checkbox name='B'/></container>",
                "<container name='Three'><checkbox name='C'/></container>"});
  ASSERT_EQ(walked.table.entries[0].containers.size(), 2u);
  EXPECT_EQ(ControlNames(walked.table.entries[0].containers[1]), (std::vector<std::string>{"B"}));
  ASSERT_EQ(walked.table.entries[1].containers.size(), 1u);
  EXPECT_EQ(walked.table.entries[1].containers[0].name, "Three");
  EXPECT_EQ(ControlNames(walked.table.entries[1].containers[0]), (std::vector<std::string>{"C"}));
}

TEST(ReadDialogTree, GeneratedNamesCountAcrossFragmentsAndAreWrittenBack) {
  Walked walked;
  Walk(walked,
       {"<container name='One'><text tooltip='t'/><text/><checkbox font='mini'/></container>",
        "<container name='Two'><spin tooltip='s'/></container>"});
  EXPECT_EQ(ControlNames(walked.table.entries[0].containers[0]),
            (std::vector<std::string>{"gadgetWithoutName1", "gadgetWithoutName2"}));
  EXPECT_EQ(ControlNames(walked.table.entries[1].containers[0]),
            (std::vector<std::string>{"gadgetWithoutName3"}));
  const dialog::Element& multibox = *walked.document.root->children[0];
  const dialog::Element& firstContainer = *multibox.children[0];
  EXPECT_EQ(dialog::GetAttribute(*firstContainer.children[0], "name"), "gadgetWithoutName1");
  EXPECT_EQ(dialog::GetAttribute(*firstContainer.children[1], "name"), "");
}

TEST(ReadDialogTree, ContainerElementNameMatchesOnlyInExactCase) {
  Walked walked;
  walked.table.Add(nullptr, nullptr);
  walked.document = dialog::ParseDescriptionUtf8(
      "<window><Container library='1' ide='1' name='C'><checkbox name='A'/></Container></window>");
  DialogTreeWalk walk{walked.table, walked.names, walked.counter};
  ReadDialogTree(walk, *walked.document.root);
  EXPECT_TRUE(walked.table.entries[0].containers.empty());
}

TEST(ReadDialogTree, LibraryNamingNoPluginRegistersNothing) {
  Walked walked;
  walked.table.Add(nullptr, nullptr);
  walked.document = dialog::ParseDescriptionUtf8(
      "<window><container name='C' library='9' ide='1'><checkbox name='A'/></container></window>");
  DialogTreeWalk walk{walked.table, walked.names, walked.counter};
  ReadDialogTree(walk, *walked.document.root);
  EXPECT_TRUE(walked.table.entries[0].containers.empty());
}

struct ValueCase {
  const char* text;
  std::int64_t expected;
};

TEST(ReadValueAttribute, RuntimeNamesIntegerTextAndSinglePrecision) {
  dialog::RuntimeNameTable names;
  dialog::RegisterInteger(names, "#Five", 5);
  const ValueCase cases[] = {
      {"#five", 5},
      {"12", 12},
      {"$FF", 255},
      {"%101", 5},
      {"abc", 0},
      {"", 0},
      {" -3", -3},
      {"16777216", 16777216},
      {"16777217", 16777216},  // single precision, as the host always held it
      {"99999999999999999999999", INT64_MAX}};
  for (const ValueCase& c : cases)
    EXPECT_EQ(ReadValueAttribute(names, c.text), c.expected) << c.text;
}

}  // namespace

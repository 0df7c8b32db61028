// The settings catalogue read as the host reads it: tagged, spliced into the host's window,
// parsed, walked by ReadDialogTree, and built by the dialog engine.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/utf.h"
#include "host/dialog/dialog.h"
#include "host/dialog/fake_toolkit.h"
#include "host/dialog_tree.h"
#include "host/splice.h"
#include "host/tool_host.h"
#include "plugin/exports.h"
#include "plugin/settings_catalogue.h"

namespace {

constexpr std::int64_t kIde = 0x1F4;

struct Group {
  const char* name;
  const char* title;
  std::vector<std::pair<std::string, std::int64_t>> defaults;  // setting key -> default, in order
};

const std::vector<Group> kGroups = {
    {"CodeBeautifier",
     "Code Beautifier",
     {{"AutoindentPaste", 1},
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
      {"TrailingSpaces", 1}}},
    {"CodeHelpers",
     "Code Helpers",
     {{"AutocompFloatPointZero", 1},
      {"AutocompEndKeywordNewLine", 1},
      {"AutocompDropRestWord", 1},
      {"UseMultiCursor", 1},
      {"UseCtrlD", 1}}},
    {"StringHelpers",
     "String Helpers",
     {{"AutocompStringInsertion", 1},
      {"AutocompStringCut", 1},
      {"StringCut", 1},
      {"AutocompSplitStrings", 1},
      {"AutocompMultilineStrings", 1},
      {"UseCtrlEnter", 1},
      {"NewlineConstant", 1}}},
    {"CommentHelpers",
     "Comment Helpers",
     {{"AutocompSplitComment", 1},
      {"AutocompCommentBlock", 1},
      {"AutocompCommentBars", 1},
      {"MinCommentBarLength", 10}}},
    {"AsmHelpers", "ASM Helpers", {}},
    {"TemplateHelpers", "Template Helpers", {}},
    {"VisualHelpers",
     "Visual Helpers",
     {{"CurrentLineAlwaysVisible", 1},
      {"TickerCaret", 1},
      {"AutoScrollMargins", 1},
      {"AutoScrollMarginSize", 5},
      {"CustomHighlighting", 1},
      {"HighlightOpacity", 255},
      {"HighlightBorderOpacity", 200},
      {"HighlightStyle", 7},
      {"CustomHighlightColor", 1},
      {"ColorDefault", 8421631},
      {"ColorProc", 8421631},
      {"ColorString", 65535},
      {"ColorConstant", 255},
      {"ColorComment", 4227327}}},
    {"CompilingHelpers", "Compiling Helpers", {{"CustomEnvVars", 1}}},
};

// Every control that carries a text: name -> (label, tooltip, width).
struct Labelled {
  const char* name;
  const char* text;
  const char* tooltip;
  const char* width;
};
const Labelled kLabelled[] = {
    {"AutoindentPaste", "Indent and Format on paste", "", ""},
    {"AutoindentTyping", "Indent and Format while typing", "", ""},
    {"DefaultSpacing:0", "No rules", "", ""},
    {"DefaultSpacing:1", "a b", "1 whitespace character", "45"},
    {"Colon:1", "a:b", "Remove spacing", "45"},
    {"Colon:2", "a : b", "Append/Prepend spacing", ""},
    {"Comma:1", "a,b", "Remove spacing", "45"},
    {"Comma:2", "a, b", "Append spacing", ""},
    {"Module:1", "a::b", "Remove spacing", "45"},
    {"Module:2", "a:: b", "Append spacing", ""},
    {"Math:1", "a+b", "Remove spacing", "45"},
    {"Math:2", "a + b", "Append/Prepend spacing", ""},
    {"Bitwise:1", "a!b", "Remove spacing", "45"},
    {"Bitwise:2", "a ! b", "Append/Prepend spacing", ""},
    {"BitwiseShift:1", "a<<b", "Remove spacing", "45"},
    {"BitwiseShift:2", "a << b", "Append/Prepend spacing", "45"},
    {"Comparison:1", "a<=b", "Remove spacing", "45"},
    {"Comparison:2", "a <= b", "Append/Prepend spacing", ""},
    {"BitwiseNot:1", "~a", "Remove spacing", "45"},
    {"Type:1", "a.b", "Remove spacing", "45"},
    {"Field:1", "a\\b", "Remove spacing", "45"},
    {"Label:1", "a:", "Remove spacing", "45"},
    {"ASM:1", "!a", "Remove spacing", "45"},
    {"ASM:2", "! a", "Append spacing", ""},
    {"Bracket:0", "No rules", "", ""},
    {"Bracket:1", "(a)", "Remove spacing of parentheses, brackets and braces", ""},
    {"TrailingSpaces:1", "Removed", "Remove whitespaces at end of each line", "40"},
    {"AutocompFloatPointZero", "Autocomplete floating-point zero", "", ""},
    {"AutocompEndKeywordNewLine", "Autocomplete end keyword and insert newline", "", ""},
    {"AutocompDropRestWord", "Autocomplete and drop rest of word", "", ""},
    {"UseMultiCursor", "Use multi cursor", "", ""},
    {"UseCtrlD", "Use Ctrl+D shortcut to insert newline constant", "", ""},
    {"AutocompStringInsertion", "Autocomplete single-line string insertion", "", ""},
    {"AutocompStringCut", "Autocomplete single-line string cut", "", ""},
    {"StringCut", "", "", "120"},
    {"AutocompSplitStrings", "Autocomplete split string", "", ""},
    {"AutocompMultilineStrings", "Autocomplete multiline string", "", ""},
    {"UseCtrlEnter", "Use Ctrl+Enter shortcut to insert newline constant", "", ""},
    {"NewlineConstant", "", "", "120"},
    {"AutocompSplitComment", "Autocomplete split comment", "", ""},
    {"AutocompCommentBlock", "Autocomplete multiline comment", "", ""},
    {"AutocompCommentBars", "Autocomplete comment bars", "", ""},
    {"MinCommentBarLength", "", "", "60"},
    {"CurrentLineAlwaysVisible", "Current line is always visible", "", ""},
    {"TickerCaret", "Use ticker caret", "", ""},
    {"AutoScrollMargins", "Use autoscrolling margins", "", ""},
    {"AutoScrollMarginSize", "", "", "55"},
    {"CustomHighlighting", "Customize word highlighting style", "", ""},
    {"HighlightOpacity", "", "", "57"},
    {"HighlightBorderOpacity", "", "", "57"},
    {"HighlightStyle", "", "", "120"},
    {"CustomHighlightColor", "Customize word highlighting color", "", ""},
    {"ColorDefault:Color", "", "", "57"},
    {"ColorDefault:Picker", "", "", "30"},
    {"ColorComment:Color", "", "", "57"},
    {"CustomEnvVars", "Set up environment vars", "", ""},
};

struct Range {
  const char* name;
  const char* min;
  const char* max;
  const char* flags;
};
const Range kSpins[] = {
    {"MinCommentBarLength", "5", "30", "#PB_Spin_Numeric"},
    {"AutoScrollMarginSize", "2", "10", "#PB_Spin_Numeric"},
    {"HighlightOpacity", "1", "255", "#PB_Spin_Numeric"},
    {"HighlightBorderOpacity", "1", "255", "#PB_Spin_Numeric"},
};

struct Items {
  const char* name;
  const char* items;
};
const Items kItems[] = {
    {"StringCut", "\"+ +\",1,\"+ \",2"},
    {"NewlineConstant", "#LF$,1,#CR$,2,#CRLF$,3"},
    {"HighlightStyle",
     "Straight Box,8,Round Box,7,Dotted Box,12,Dotted Line,10,Dashed Line,9,Diagonal Line,3"},
};

// The row labels, in document order.
const std::vector<std::string> kRowLabels = {
    "Formatting rules",
    "Default spacing",
    "Colon",
    "Comma",
    "Module ::",
    "Operators +, /",
    "Operators |, !, &",
    "Operators <<, >>",
    "Comparison <,=,>",
    "Operator ~",
    "Type",
    "Field",
    "Label",
    "ASM",
    "Braces ( ),[ ],{ }",
    "Trailing spaces",
    "String cut to insert",
    "Constant to insert",
    "Comment bar minimum length",
    "Autoscrolling margin size",
    "Highlighting opacity",
    "Highlighting shape",
    "Default highlighting",
    "Procedure highlighting",
    "String highlighting",
    "Constant highlighting",
    "Comment highlighting",
    "$CURRENT_YEAR",
    "$CURRENT_YY",
    "$CURRENT_MONTH",
    "$CURRENT_MM",
    "$CURRENT_DAY",
    "$CURRENT_DD",
    "$CURRENT_HOUR",
    "$CURRENT_MINUTE",
    "$CURRENT_SECOND",
    "$CURRENT_DATE",
};

// Named elements and labels of the plugin's containers (the host's own window has labels too).
void Collect(const dialog::Element& element, std::map<std::string, const dialog::Element*>& named,
             std::vector<std::string>& labels, bool inFragment = false) {
  for (const auto& child : element.children) {
    const bool inside = inFragment || dialog::HasAttribute(*child, "library");
    const std::string name = dialog::GetAttribute(*child, "name");
    if (inside && !name.empty()) named[name] = child.get();
    if (inside && dialog::IsElement(*child, "text")) {
      labels.push_back(dialog::GetAttribute(*child, "text"));
    }
    Collect(*child, named, labels, inside);
  }
}

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string fragment = core::Utf16ToUtf8(SettingsCatalogue());
    description = SpliceFragment(kToolWindowDescription, TagFragment(fragment, 1, kIde));
    document = dialog::ParseDescriptionUtf8(description);
    ASSERT_TRUE(document.ok()) << document.errorText << " line " << document.errorLine;
    table.Add(reinterpret_cast<os::Window>(kIde), nullptr);
    RegisterHostRuntimeNames(names);
    DialogTreeWalk walk{table, names, counter};
    ReadDialogTree(walk, *document.root);
    Collect(*document.root, named, labels);
  }

  std::string description;
  dialog::Document document;
  PluginTable table;
  dialog::RuntimeNameTable names;
  int counter = 0;
  std::map<std::string, const dialog::Element*> named;
  std::vector<std::string> labels;
};

TEST_F(CatalogueTest, EightGroupsWithTheirKeysAndDefaults) {
  ASSERT_EQ(table.entries.size(), 1u);
  const auto& containers = table.entries[0].containers;
  ASSERT_EQ(containers.size(), kGroups.size());
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    const OptionContainer& container = containers[g];
    EXPECT_EQ(container.name, kGroups[g].name);
    EXPECT_EQ(container.title, kGroups[g].title);
    EXPECT_EQ(container.ideHandle, reinterpret_cast<os::Window>(kIde));
    std::vector<std::pair<std::string, std::int64_t>> values;
    for (const auto& [key, value] : container.values) {
      if (key.rfind("gadgetWithoutName", 0) != 0) values.emplace_back(key, value);
    }
    EXPECT_EQ(values, kGroups[g].defaults) << kGroups[g].name;
  }
}

TEST_F(CatalogueTest, GroupsAreHiddenBorderlessPages) {
  int containers = 0;
  for (const auto& [name, element] : named) {
    if (!dialog::IsElement(*element, "container")) continue;
    ++containers;
    EXPECT_EQ(dialog::GetAttribute(*element, "invisible"), "yes") << name;
    EXPECT_EQ(dialog::GetAttribute(*element, "margin"), "0") << name;
  }
  EXPECT_EQ(containers, 8);
  EXPECT_TRUE(named.at("AsmHelpers")->children.empty());
  EXPECT_TRUE(named.at("TemplateHelpers")->children.empty());
}

TEST_F(CatalogueTest, LabelsTooltipsAndWidths) {
  for (const Labelled& l : kLabelled) {
    ASSERT_TRUE(named.count(l.name)) << l.name;
    const dialog::Element& element = *named.at(l.name);
    EXPECT_EQ(dialog::GetAttribute(element, "text"), l.text) << l.name;
    EXPECT_EQ(dialog::GetAttribute(element, "tooltip"), l.tooltip) << l.name;
    EXPECT_EQ(dialog::GetAttribute(element, "width"), l.width) << l.name;
  }
  EXPECT_EQ(labels, kRowLabels);
}

TEST_F(CatalogueTest, EveryRuleRowOffersNoRulesFirst) {
  for (const char* rule :
       {"DefaultSpacing", "Colon", "Comma", "Module", "Math", "Bitwise", "BitwiseShift",
        "Comparison", "BitwiseNot", "Type", "Field", "Label", "ASM", "Bracket", "TrailingSpaces"}) {
    const std::string zero = std::string(rule) + ":0";
    ASSERT_TRUE(named.count(zero)) << rule;
    EXPECT_EQ(dialog::GetAttribute(*named.at(zero), "text"), "No rules");
    EXPECT_TRUE(dialog::IsElement(*named.at(zero), "option"));
  }
}

TEST_F(CatalogueTest, SpinRangesAndListItems) {
  for (const Range& r : kSpins) {
    const dialog::Element& spin = *named.at(r.name);
    EXPECT_TRUE(dialog::IsElement(spin, "spin")) << r.name;
    EXPECT_EQ(dialog::GetAttribute(spin, "min"), r.min) << r.name;
    EXPECT_EQ(dialog::GetAttribute(spin, "max"), r.max) << r.name;
    EXPECT_EQ(dialog::GetAttribute(spin, "flags"), r.flags) << r.name;
  }
  const auto& containers = table.entries[0].containers;
  for (const Items& i : kItems) {
    std::string found;
    for (const OptionContainer& container : containers) {
      if (const std::string* items = container.items.Find(i.name)) found = *items;
    }
    EXPECT_EQ(found, i.items) << i.name;
  }
}

TEST_F(CatalogueTest, VariableNamesUseTheSmallFont) {
  const OptionContainer& compiling = table.entries[0].containers.back();
  int small = 0;
  for (const auto& [name, font] : compiling.fonts) small += font == "mini" ? 1 : 0;
  EXPECT_EQ(small, 10);
}

TEST_F(CatalogueTest, TheDialogEngineBuildsIt) {
  dialog::FakeToolkit toolkit;
  dialog::Dialog window;
  ASSERT_TRUE(dialog::OpenWindow(window, toolkit, *document.root, names)) << window.error;
  for (const char* name : {"CodeBeautifier", "ColorComment:Picker", "HighlightStyle", "Colon:2"}) {
    EXPECT_NE(dialog::FindControl(window, name), nullptr) << name;
  }
  dialog::CloseWindow(window);
}

TEST(CatalogueText, FragmentShape) {
  const std::u16string_view fragment = SettingsCatalogue();
  EXPECT_EQ(fragment.substr(0, 32), u"<container name='CodeBeautifier'");
  EXPECT_EQ(fragment.substr(fragment.size() - 12), u"</container>");
  EXPECT_EQ(fragment.find(u"<?xml"), std::u16string_view::npos);
  EXPECT_EQ(fragment.find(u"CompilingHelpers"), fragment.rfind(u"<container name='") + 17);
}

TEST(CatalogueText, ExportReturnsTheSameCompleteText) {
  const char16_t* first = zentrel::RetrievePluginXMLDialog();
  const char16_t* second = zentrel::RetrievePluginXMLDialog();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::u16string_view(first), SettingsCatalogue());
  EXPECT_EQ(std::u16string_view(first), std::u16string_view(second));
}

}  // namespace

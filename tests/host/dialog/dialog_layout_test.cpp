// The layout rules, as (description, window size) -> rectangles of named elements. Natural sizes
// come from the fake toolkit: 6 pixels a character, text +2, check box and option +20 (20 high),
// string at least 40 × 21, panel header 22, frame caption 13, system border 1.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/host/dialog/dialog_test_support.h"

namespace dialog::testing {
namespace {

struct LayoutCase {
  const char* what;
  const char* description;
  int width, height;  // wished inner size (0: the required size)
  std::vector<std::pair<const char*, Rect>> expected;
};

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, Rectangles) {
  const LayoutCase& c = GetParam();
  auto opened = Open(c.description, c.width, c.height);
  ASSERT_TRUE(opened->ok) << c.what << ": " << opened->dialog.error << opened->document.errorText;
  for (const auto& [name, rect] : c.expected)
    EXPECT_EQ(RectOf(*opened, name), rect) << c.what << " / " << name;
}

#define TWO_EMPTIES \
  "<empty name='a' width='50' height='10'/><empty name='b' width='30' height='20'/>"

INSTANTIATE_TEST_SUITE_P(
    Boxes, LayoutTable,
    ::testing::Values(
        LayoutCase{"hbox yes",
                   "<window margin='0'><hbox>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 107, 40}}, {"b", {112, 0, 87, 40}}}},
        LayoutCase{"hbox no",
                   "<window margin='0'><hbox expand='no'>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 50, 40}}, {"b", {55, 0, 30, 40}}}},
        LayoutCase{"hbox equal",
                   "<window margin='0'><hbox expand='equal'>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 97, 40}}, {"b", {102, 0, 97, 40}}}},
        LayoutCase{"hbox equal required size",
                   "<window margin='0'><hbox expand='equal'>" TWO_EMPTIES "</hbox></window>",
                   0,
                   0,
                   {{"a", {0, 0, 50, 20}}, {"b", {55, 0, 50, 20}}}},
        LayoutCase{"hbox item:2",
                   "<window margin='0'><hbox expand='item:2'>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 50, 40}}, {"b", {55, 0, 145, 40}}}},
        LayoutCase{"hbox item:3 of two: nobody",
                   "<window margin='0'><hbox expand='ITEM:3'>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 50, 40}}, {"b", {55, 0, 30, 40}}}},
        LayoutCase{"hbox too small (capped by expandwidth)",
                   "<window margin='0' expandwidth='60'><hbox>" TWO_EMPTIES "</hbox></window>",
                   200,
                   40,
                   {{"a", {0, 0, 35, 40}}, {"b", {40, 0, 21, 40}}}},
        LayoutCase{"vbox yes, spacing 10",
                   "<window margin='0'><vbox spacing='10'><empty name='a' width='10' height='20'/>"
                   "<empty name='b' width='40' height='30'/></vbox></window>",
                   100,
                   100,
                   {{"a", {0, 0, 100, 40}}, {"b", {0, 50, 100, 50}}}},
        LayoutCase{
            "vbox equal remainder at the end",
            "<window margin='0'><vbox expand='equal' spacing='0'><empty name='a' height='10'/>"
            "<empty name='b'/><empty name='c'/></vbox></window>",
            10,
            100,
            {{"a", {0, 0, 10, 33}}, {"b", {0, 33, 10, 33}}, {"c", {0, 66, 10, 33}}}},
        LayoutCase{"box width raises required size",
                   "<window margin='0'><hbox width='300' expand='no'>" TWO_EMPTIES
                   "</hbox></window>",
                   0,
                   0,
                   {{"a", {0, 0, 50, 20}}, {"b", {55, 0, 30, 20}}}}));

#define GRID_CELLS                                                                   \
  "<empty name='a' width='20' height='10'/><empty name='b' width='30' height='15'/>" \
  "<empty name='c' width='25' height='5'/>"

INSTANTIATE_TEST_SUITE_P(
    Grids, LayoutTable,
    ::testing::Values(
        LayoutCase{"grid defaults: columns share, rows keep",
                   "<window margin='0'><gridbox>" GRID_CELLS "</gridbox></window>",
                   100,
                   50,
                   {{"a", {0, 0, 45, 15}}, {"b", {50, 0, 50, 15}}, {"c", {0, 20, 45, 5}}}},
        LayoutCase{"grid rows equal",
                   "<window margin='0'><gridbox rowexpand='equal'>" GRID_CELLS
                   "</gridbox></window>",
                   100,
                   50,
                   {{"a", {0, 0, 45, 22}}, {"c", {0, 27, 45, 22}}}},
        LayoutCase{"grid item:1 columns, item:2 rows",
                   "<window margin='0'><gridbox colexpand='item:1' rowexpand='item:2'>" GRID_CELLS
                   "</gridbox></window>",
                   100,
                   50,
                   {{"a", {0, 0, 65, 15}}, {"b", {70, 0, 30, 15}}, {"c", {0, 20, 65, 30}}}},
        LayoutCase{
            "grid no, row spacing 0",
            "<window margin='0'><gridbox colexpand='no' rowspacing='0' colspacing='2'>" GRID_CELLS
            "</gridbox></window>",
            100,
            50,
            {{"a", {0, 0, 25, 15}}, {"b", {27, 0, 30, 15}}, {"c", {0, 15, 25, 5}}}},
        LayoutCase{"grid rows yes",
                   "<window margin='0'><gridbox rowexpand='yes' columns='3'>" GRID_CELLS
                   "</gridbox></window>",
                   0,
                   35,
                   {{"a", {0, 0, 20, 35}}, {"c", {60, 0, 25, 35}}}}));

#define ONE_EMPTY "<empty name='e' width='10' height='20'/>"

INSTANTIATE_TEST_SUITE_P(
    SingleChild, LayoutTable,
    ::testing::Values(
        LayoutCase{"window default margin 8",
                   "<window>" ONE_EMPTY "</window>",
                   0,
                   0,
                   {{"e", {8, 8, 10, 20}}}},
        LayoutCase{"window list margin names only its sides",
                   "<window margin='top:4 LEFT:3'>" ONE_EMPTY "</window>",
                   50,
                   50,
                   {{"e", {3, 4, 47, 46}}}},
        LayoutCase{"expand no, align center",
                   "<window margin='0' expand='no' align='center'>" ONE_EMPTY "</window>",
                   100,
                   100,
                   {{"e", {45, 40, 10, 20}}}},
        LayoutCase{"expand vertical, align right",
                   "<window margin='0' expand='vertical' align='right'>" ONE_EMPTY "</window>",
                   100,
                   100,
                   {{"e", {90, 0, 10, 100}}}},
        LayoutCase{"expand horizontal, align bottom",
                   "<window margin='0' expand='horizontal' align='bottom'>" ONE_EMPTY "</window>",
                   100,
                   100,
                   {{"e", {0, 80, 100, 20}}}},
        LayoutCase{"expandwidth caps a filling child, centred",
                   "<window margin='0' expandwidth='30' align='center'>" ONE_EMPTY "</window>",
                   100,
                   100,
                   {{"e", {35, 0, 30, 100}}}},
        LayoutCase{"align top center with expand no",
                   "<window margin='0' expand='no' align='top center'>" ONE_EMPTY "</window>",
                   100,
                   100,
                   {{"e", {45, 0, 10, 20}}}},
        LayoutCase{"container default margin 10",
                   "<window margin='0'><container name='k'>" ONE_EMPTY "</container></window>",
                   0,
                   0,
                   {{"k", {0, 0, 30, 40}}, {"e", {10, 10, 10, 20}}}},
        LayoutCase{"container list margin TOP only",
                   "<window margin='0'><container name='k' margin='TOP:4'>" ONE_EMPTY
                   "</container></window>",
                   50,
                   50,
                   {{"k", {0, 0, 50, 50}}, {"e", {0, 4, 50, 46}}}},
        LayoutCase{"container single border",
                   "<window margin='0'><container name='k' flags=' #PB_Container_Single'>" ONE_EMPTY
                   "</container></window>",
                   50,
                   50,
                   {{"e", {11, 11, 28, 28}}}},
        LayoutCase{"container single border, required size",
                   "<window margin='0'><container name='k' flags='#PB_Container_Single'>" ONE_EMPTY
                   "</container></window>",
                   0,
                   0,
                   {{"k", {0, 0, 32, 42}}}},
        LayoutCase{"container flat border is 2",
                   "<window margin='0'><container name='k' margin='0' "
                   "flags='#PB_Container_Flat'>" ONE_EMPTY "</container></window>",
                   0,
                   0,
                   {{"k", {0, 0, 12, 22}}, {"e", {1, 1, 10, 20}}}},
        LayoutCase{"frame: caption height and 4/8",
                   "<window margin='0'><frame name='f' text='Opts'>" ONE_EMPTY "</frame></window>",
                   100,
                   100,
                   {{"f", {0, 0, 100, 100}}, {"e", {9, 18, 82, 73}}}},
        LayoutCase{"frame required size",
                   "<window margin='0'><frame name='f' text='Opts' margin='0'>" ONE_EMPTY
                   "</frame></window>",
                   0,
                   0,
                   {{"f", {0, 0, 18, 37}}, {"e", {4, 13, 10, 20}}}},
        LayoutCase{"frame without caption: caption height at least 10",
                   "<window margin='0'><frame name='f' margin='0'>" ONE_EMPTY "</frame></window>",
                   0,
                   0,
                   {{"f", {0, 0, 18, 34}}, {"e", {4, 10, 10, 20}}}},
        LayoutCase{"frame children are laid over it (parent coordinates)",
                   "<window margin='0'><vbox><empty height='7'/><frame name='f' text='x' "
                   "margin='0'>" ONE_EMPTY "</frame></vbox></window>",
                   0,
                   0,
                   {{"f", {0, 12, 18, 37}}, {"e", {4, 25, 10, 20}}}},
        LayoutCase{"later child replaces the earlier one",
                   "<window margin='0'><empty name='old' width='99' height='99'/>" ONE_EMPTY
                   "</window>",
                   0,
                   0,
                   {{"e", {0, 0, 10, 20}}, {"old", {-999, -999, -999, -999}}}}));

INSTANTIATE_TEST_SUITE_P(
    Controls, LayoutTable,
    ::testing::Values(
        LayoutCase{
            "label nudge beside a taller field",
            "<window margin='0'><hbox><text name='t' text='ab'/><string name='s'/></hbox></window>",
            0,
            0,
            {{"t", {0, 2, 14, 19}}, {"s", {19, 0, 40, 21}}}},
        LayoutCase{"no nudge when only 1 pixel taller",
                   "<window margin='0'><hbox><text name='t' text='ab'/><empty "
                   "height='16'/></hbox></window>",
                   0,
                   0,
                   {{"t", {0, 0, 14, 16}}}},
        LayoutCase{"no nudge for a bordered label",
                   "<window margin='0'><hbox><text name='t' text='ab' "
                   "flags='#PB_Text_Border'/><string/></hbox></window>",
                   0,
                   0,
                   {{"t", {0, 0, 16, 21}}}},
        LayoutCase{
            "right-aligned label keeps its width 110",
            "<window margin='0'><hbox expand='no'><text name='t' width='110' text='Line end: ' "
            "flags='#PB_Text_Right'/></hbox></window>",
            0,
            0,
            {{"t", {0, 0, 110, 15}}}},
        LayoutCase{"wider caption wins over width 110",
                   "<window margin='0'><hbox expand='no'><text name='t' width='110' "
                   "text='A caption much wider than that' flags='#PB_Text_Right'/></hbox></window>",
                   0,
                   0,
                   {{"t", {0, 0, 182, 15}}}},
        LayoutCase{"listicon and editor take exactly width x height",
                   "<window margin='0'><hbox expand='no'><listicon name='l' width='150' "
                   "height='40' text='A long title'/>"
                   "<editor name='d' text='content'/></hbox></window>",
                   0,
                   0,
                   {{"l", {0, 0, 150, 40}}, {"d", {155, 0, 0, 40}}}},
        LayoutCase{"checkbox natural size",
                   "<window margin='0'><vbox expand='no'><checkbox name='c' text='Enabled'/>"
                   "<option name='o' text='On' width='100'/></vbox></window>",
                   0,
                   0,
                   {{"c", {0, 0, 100, 20}}, {"o", {0, 25, 100, 20}}}},
        LayoutCase{"multibox stacks every child",
                   "<window margin='0'><multibox name='m'><empty name='a' width='30' height='10'/>"
                   "<container name='c' margin='0' invisible='yes'><empty width='10' "
                   "height='50'/></container>"
                   "</multibox></window>",
                   0,
                   0,
                   {{"m", {0, 0, 30, 50}}, {"a", {0, 0, 30, 50}}, {"c", {0, 0, 30, 50}}}},
        LayoutCase{"panel: tabs get the page area",
                   "<window margin='0'><panel name='p'><tab name='t1' text='One' margin='0'>"
                   "<empty name='e1' width='100' height='50'/></tab><tab text='Two'>"
                   "<empty name='e2' width='20' height='20'/></tab></panel></window>",
                   0,
                   0,
                   {{"p", {0, 0, 104, 74}},
                    {"t1", {0, 0, 100, 50}},
                    {"e1", {0, 0, 100, 50}},
                    {"e2", {10, 10, 80, 30}}}}));

TEST(DialogLayout, MultiboxPagesSwitchWithoutNewLayout) {
  auto opened = Open(
      "<window margin='0'><multibox><container name='one' margin='0'><checkbox name='x' text='x'/>"
      "</container><container name='two' margin='0' invisible='yes'><checkbox name='y' text='y'/>"
      "</container></multibox></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_TRUE(opened->toolkit.IsShown(ControlOf(*opened, "x")));
  EXPECT_FALSE(opened->toolkit.IsShown(ControlOf(*opened, "y")));
  Rect before = RectOf(*opened, "two");
  // Showing the container alone brings back everything inside it.
  opened->toolkit.Show(ControlOf(*opened, "one"), false);
  opened->toolkit.Show(ControlOf(*opened, "two"), true);
  EXPECT_FALSE(opened->toolkit.IsShown(ControlOf(*opened, "x")));
  EXPECT_TRUE(opened->toolkit.IsShown(ControlOf(*opened, "y")));
  EXPECT_EQ(RectOf(*opened, "two"), before);
  // So does the recursive node operation, both ways.
  ShowNode(*FindNode(opened->dialog, "two"), opened->toolkit, false);
  ShowNode(*FindNode(opened->dialog, "one"), opened->toolkit, true);
  EXPECT_TRUE(opened->toolkit.IsShown(ControlOf(*opened, "x")));
  EXPECT_FALSE(opened->toolkit.IsShown(ControlOf(*opened, "y")));
}

TEST(DialogLayout, InvisibleFrameHidesTheControlsLaidOverIt) {
  auto opened = Open(
      "<window><vbox><frame name='f' text='f' invisible='yes'><hbox>"
      "<checkbox name='c'/><string name='s'/></hbox></frame><text name='t'/></vbox></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  for (const char* name : {"f", "c", "s"})
    EXPECT_FALSE(opened->toolkit.IsShown(ControlOf(*opened, name))) << name;
  EXPECT_TRUE(opened->toolkit.IsShown(ControlOf(*opened, "t")));
}

TEST(DialogLayout, ResizeRelaysOutWithTheLastMeasurement) {
  auto opened = Open(
      "<window margin='0'><hbox expand='item:2'><text name='t' text='abc'/>"
      "<string name='s'/></hbox></window>");
  ASSERT_TRUE(opened->ok);
  FakeControl* window = FakeToolkit::Get(opened->dialog.window->control);
  EXPECT_EQ(RectOf(*opened, "s"), (Rect{25, 0, 40, 21}));
  ControlOf(*opened, "t")->caption = "a much longer caption";  // not measured again
  opened->toolkit.UserResize(window, 200, 60);
  EXPECT_EQ(RectOf(*opened, "t"), (Rect{0, 2, 20, 58}));
  EXPECT_EQ(RectOf(*opened, "s"), (Rect{25, 0, 175, 60}));
}

TEST(DialogLayout, WindowBoundsAutoAndNumbers) {
  auto opened = Open(
      "<window margin='0' minwidth='auto' minheight='45' maxwidth='300'>"
      "<empty width='70' height='20'/></window>");
  ASSERT_TRUE(opened->ok);
  FakeControl* window = FakeToolkit::Get(opened->dialog.window->control);
  EXPECT_TRUE(window->boundsSet);
  EXPECT_EQ(window->minWidth, 70);
  EXPECT_EQ(window->minHeight, 45);
  EXPECT_EQ(window->maxWidth, 300);
  EXPECT_EQ(window->maxHeight, -1);
  opened->toolkit.UserResize(window, 10, 10);
  EXPECT_EQ(window->width, 70);
  EXPECT_EQ(window->height, 45);

  auto free = Open("<window><empty/></window>");
  EXPECT_FALSE(FakeToolkit::Get(free->dialog.window->control)->boundsSet);
}

TEST(DialogLayout, WindowFlagsCentreShowAndActivate) {
  auto shown = Open("<window flags='#PB_Window_ScreenCentered'><empty/></window>");
  FakeControl* window = FakeToolkit::Get(shown->dialog.window->control);
  EXPECT_TRUE(window->centered);
  EXPECT_TRUE(window->shown);
  EXPECT_TRUE(window->activated);
  auto hidden = Open("<window flags='#PB_Window_Invisible'><empty/></window>");
  window = FakeToolkit::Get(hidden->dialog.window->control);
  EXPECT_FALSE(window->centered);
  EXPECT_FALSE(window->shown);
  auto quiet = Open("<window flags='#PB_Window_NoActivate'><empty/></window>");
  EXPECT_FALSE(FakeToolkit::Get(quiet->dialog.window->control)->activated);
}

TEST(DialogLayout, OptionsCreatedOneAfterAnotherFormOneGroup) {
  auto opened = Open(
      "<window><vbox><hbox><text text='A'/><option name='a1'/><option name='a2'/></hbox>"
      "<hbox><text text='B'/><option name='b1'/><option name='b2'/></hbox>"
      "<gridbox><option name='c1'/><empty/><option name='c2'/></gridbox></vbox></window>");
  ASSERT_TRUE(opened->ok);
  int a = ControlOf(*opened, "a1")->optionGroup;
  EXPECT_NE(a, 0);
  EXPECT_EQ(ControlOf(*opened, "a2")->optionGroup, a);
  int b = ControlOf(*opened, "b1")->optionGroup;
  EXPECT_NE(b, a);
  EXPECT_EQ(ControlOf(*opened, "b2")->optionGroup, b);
  // An element without a control does not break a group.
  EXPECT_EQ(ControlOf(*opened, "c2")->optionGroup, ControlOf(*opened, "c1")->optionGroup);
  // Options created one right after another stay one group even across boxes.
  EXPECT_EQ(ControlOf(*opened, "c1")->optionGroup, b);
}

TEST(DialogLayout, NamesKeywordsAndAttributesIgnoreCase) {
  auto opened = Open(
      "<WINDOW Margin='0'><HBox EXPAND='NO' Spacing='1'><CheckBox NAME='Box' TEXT='x' "
      "Disabled='YES'/><Text name='t' text='y' FLAGS='#pb_text_RIGHT'/></HBox></WINDOW>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_EQ(RectOf(*opened, "box"), (Rect{0, 0, 26, 20}));
  EXPECT_FALSE(ControlOf(*opened, "BOX")->enabled);
  EXPECT_EQ(ControlOf(*opened, "T")->flags, flag::kTextRight);
  EXPECT_EQ(RectOf(*opened, "t").x, 27);
}

TEST(DialogLayout, NumbersFromTheRuntimeTableOrDecimal) {
  auto opened = Open(
      "<window id='#ToolWindow'><vbox><listicon id='#toollisticon' width='#ToolLogs' "
      "height=' 12px'/><spin name='s' min='-5' max='#ToolDebugStyles'/>"
      "<string name='auto' id='#PB_Any'/><string name='plain' id='42'/></vbox></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_EQ(opened->dialog.window->controlNumber, 3);
  Node* list = FindNode(opened->dialog, 6);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->minWidth, 7);
  EXPECT_EQ(list->minHeight, 12);
  EXPECT_EQ(ControlOf(*opened, "s")->minimum, -5);
  EXPECT_EQ(ControlOf(*opened, "s")->maximum, 14);
  EXPECT_GE(ControlNumber(opened->dialog, "auto"), kFirstAutomaticNumber);
  EXPECT_EQ(ControlNumber(opened->dialog, "plain"), 42);
  EXPECT_EQ(FindControl(opened->dialog, 42), FindControl(opened->dialog, "PLAIN"));
}

TEST(DialogLayout, UnknownElementsAreSkippedWithTheirSubtree) {
  auto opened = Open(
      "<window margin='0'><hbox expand='no'><mystery><checkbox name='hidden'/></mystery>"
      "<empty name='e' width='5' height='5' colour='red'/></hbox></window>");
  ASSERT_TRUE(opened->ok);
  EXPECT_EQ(FindNode(opened->dialog, "hidden"), nullptr);
  EXPECT_EQ(RectOf(*opened, "e"), (Rect{0, 0, 5, 5}));
}

TEST(DialogLayout, DialogsRootPicksTheNamedWindow) {
  const char* text =
      "<dialogs><window name='First'><empty name='one'/></window>"
      "<window name='Second'><empty name='two'/></window></dialogs>";
  Document document = ParseDescriptionUtf8(text);
  FakeToolkit toolkit;
  RuntimeNameTable names;
  Dialog dialog;
  OpenWindowOptions options;
  options.name = "SECOND";
  ASSERT_TRUE(OpenWindow(dialog, toolkit, *document.root, names, options));
  EXPECT_NE(FindNode(dialog, "two"), nullptr);
  EXPECT_EQ(FindNode(dialog, "one"), nullptr);
  options.name = "";
  ASSERT_TRUE(OpenWindow(dialog, toolkit, *document.root, names, options));
  EXPECT_NE(FindNode(dialog, "one"), nullptr);
}

TEST(DialogLayout, BoundProceduresRunForTheirEvents) {
  auto opened = Open(
      "<window><vbox><listicon id='#ToolListIcon' onchange='OnChangeToolListIcon()'/>"
      "<checkbox id='20' onevent='OnChangeToolGadgets()'/><panel/></vbox></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  std::vector<std::pair<int, int>> seen;
  opened->dialog.onEvent = [&](int number, int type) { seen.emplace_back(number, type); };
  ProcedureCalls() = 0;
  DispatchControlEvent(opened->dialog, 6, event::kLeftClick);
  EXPECT_EQ(ProcedureCalls(), 0);
  DispatchControlEvent(opened->dialog, 6, event::kChange);
  EXPECT_EQ(ProcedureCalls(), 1);
  DispatchControlEvent(opened->dialog, 20, event::kLeftClick);
  DispatchControlEvent(opened->dialog, 20, event::kChange);
  EXPECT_EQ(ProcedureCalls(), 3);
  EXPECT_EQ(seen.size(), 4u);
}

TEST(DialogLayout, SetCaptionsAgainWritesEveryCaption) {
  auto opened = Open(
      "<window text='Title'><panel name='p'><tab text='One'><vbox><text name='t' text='Label'/>"
      "<combobox name='c' text='ignored'/></vbox></tab></panel></window>");
  ASSERT_TRUE(opened->ok);
  ControlOf(*opened, "t")->caption = "changed";
  ControlOf(*opened, "p")->tabs[0] = "changed";
  SetCaptionsAgain(opened->dialog);
  EXPECT_EQ(ControlOf(*opened, "t")->caption, "Label");
  EXPECT_EQ(ControlOf(*opened, "p")->tabs[0], "One");
  EXPECT_EQ(FakeToolkit::Get(opened->dialog.window->control)->caption, "Title");
}

TEST(DialogLayout, EveryKnownElementBuilds) {
  auto opened = Open(kEveryElementText);
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_NE(ControlOf(*opened, "area"), nullptr);
  EXPECT_NE(ControlOf(*opened, "lv"), nullptr);
  // A splitter lays out its two children (side by side with PB_Splitter_Vertical).
  Rect one = RectOf(*opened, "one"), two = RectOf(*opened, "two");
  EXPECT_EQ(one.y, two.y);
  EXPECT_EQ(one.width, two.width);
  EXPECT_GT(two.x, one.x);
  CloseWindow(opened->dialog);
  for (const auto& control : opened->toolkit.controls) EXPECT_TRUE(control->destroyed);
}

// A description's numbers (a plugin's fragment) may be anything: at the ends of the range the
// layout sums stay inside int and a window is never larger than the largest length.
TEST(DialogLayout, NumbersAtTheEndsOfTheirRange) {
  const std::string values[] = {"-9223372036854775808", "-2147483648",        "-1", "0",
                                "2147483647",           "9223372036854775807"};
  const std::string descriptions[] = {
      "<window margin='@' width='@' height='@'><hbox spacing='@'><empty width='@' height='@'/>"
      "<empty width='@' height='@'/><text text='x' width='@'/></hbox></window>",
      "<window><vbox expand='equal' spacing='@'><empty height='@'/><empty height='@'/></vbox>"
      "</window>",
      "<window><gridbox colspacing='@' rowspacing='@' colexpand='item:1'><empty width='@'/>"
      "<empty height='@'/><empty width='@' height='@'/></gridbox></window>",
      "<window margin='top:@ left:@'><container margin='@' flags='#PB_Container_Single'>"
      "<frame margin='@' text='f'><checkbox text='x' width='@' height='@'/></frame></container>"
      "</window>",
      "<window minwidth='@' maxwidth='@' minheight='@' maxheight='@'><panel width='@'>"
      "<tab text='t' margin='@'><empty width='@' height='@'/></tab></panel></window>",
      "<window><hbox expand='item:1'><container expand='no' align='center' expandwidth='@'>"
      "<empty width='@'/></container><empty width='@'/></hbox></window>",
  };
  for (const std::string& description : descriptions) {
    for (const std::string& value : values) {
      std::string text = description;
      for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
        text.replace(at, 1, value);
      auto opened = Open(text);
      ASSERT_TRUE(opened->ok) << text << ": " << opened->dialog.error;
      EXPECT_GE(opened->dialog.innerWidth, 0) << text;
      EXPECT_LE(opened->dialog.innerWidth, kLargestLength) << text;
      EXPECT_GE(opened->dialog.innerHeight, 0) << text;
      EXPECT_LE(opened->dialog.innerHeight, kLargestLength) << text;
      // The largest size a window message reports.
      opened->toolkit.UserResize(FakeToolkit::Get(opened->dialog.window->control), 65535, 65535);
    }
  }
}

TEST(DialogLayout, CloseDestroysEveryControl) {
  auto opened = Open(
      "<window><vbox><frame text='f'><checkbox/></frame><container><string/></container>"
      "</vbox></window>");
  ASSERT_TRUE(opened->ok);
  CloseWindow(opened->dialog);
  for (const auto& control : opened->toolkit.controls) EXPECT_TRUE(control->destroyed);
}

}  // namespace
}  // namespace dialog::testing

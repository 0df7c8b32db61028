// The host's own window text with a plugin fragment spliced in, laid out with the fake toolkit.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/host/dialog/dialog_test_support.h"

namespace dialog::testing {
namespace {

struct HostWindow : ::testing::Test {
  void SetUp() override {
    std::string fragment = SampleFragment();
    ASSERT_FALSE(fragment.empty());
    opened = Open(HostWindowWithFragment(fragment));
    ASSERT_TRUE(opened->document.ok())
        << opened->document.errorText << " line " << opened->document.errorLine;
    ASSERT_TRUE(opened->ok) << opened->dialog.error;
    window = FakeToolkit::Get(opened->dialog.window->control);
    Node* list = FindNode(opened->dialog, 6);
    ASSERT_NE(list, nullptr);
    frame = list->parent->children[1].get();
    ASSERT_EQ(frame->kind, Kind::kFrame);
    Node* column = frame->children[0].get();
    multibox = column->children[0].get();
    filler = column->children[1].get();
    editor = FindNode(opened->dialog, 7);
    ASSERT_NE(editor, nullptr);
  }

  static Rect Placed(const Node* node) {
    return Rect{node->placedX, node->placedY, node->placedWidth, node->placedHeight};
  }
  Rect ControlRect(int number) {
    FakeControl* control = FakeToolkit::Get(FindControl(opened->dialog, number));
    return Rect{control->x, control->y, control->width, control->height};
  }

  std::unique_ptr<Opened> opened;
  FakeControl* window = nullptr;
  Node* frame = nullptr;
  Node* multibox = nullptr;
  Node* filler = nullptr;
  Node* editor = nullptr;
};

TEST_F(HostWindow, OpensHiddenCentredAtItsMinimumSize) {
  EXPECT_EQ(window->number, 3);
  EXPECT_FALSE(window->shown);
  EXPECT_TRUE(window->centered);
  EXPECT_EQ(window->flags & flag::kWindowSizeGadget, flag::kWindowSizeGadget);
  EXPECT_EQ(window->minWidth, 500);
  EXPECT_EQ(window->minHeight, 450);
  EXPECT_EQ(window->maxWidth, -1);
  EXPECT_EQ(window->maxHeight, -1);
  // The tree needs less (484 × 198); the window still opens at its lower bound.
  EXPECT_EQ(opened->dialog.window->requiredWidth, 484);
  EXPECT_EQ(opened->dialog.window->requiredHeight, 198);
  EXPECT_EQ(window->width, 500);
  EXPECT_EQ(window->height, 450);
}

TEST_F(HostWindow, SettingsPageAtMinimumSize) {
  EXPECT_EQ(ControlRect(6), (Rect{5, 5, 150, 402}));       // the list keeps 150
  EXPECT_EQ(Placed(frame), (Rect{160, 5, 317, 402}));      // the frame takes the spare width
  EXPECT_EQ(Placed(multibox), (Rect{169, 23, 299, 118}));  // tallest container
  EXPECT_EQ(Placed(filler), (Rect{169, 146, 299, 252}));   // the empty element takes the rest
  for (const char* name : {"CodeBeautifier", "VisualHelpers", "AutocompStrings"})
    EXPECT_EQ(RectOf(*opened, name), (Rect{169, 23, 299, 118})) << name;
}

TEST_F(HostWindow, LogsPageAtMinimumSize) {
  EXPECT_EQ(ControlRect(7), (Rect{5, 45, 472, 362}));  // the editor takes all spare height
  // Six options in two rows of three, rows sharing the height equally.
  EXPECT_EQ(ControlRect(12), (Rect{49, 5, 86, 20}));    // Properties
  EXPECT_EQ(ControlRect(10), (Rect{140, 5, 80, 20}));   // Scintilla
  EXPECT_EQ(ControlRect(14), (Rect{225, 5, 56, 20}));   // Styles
  EXPECT_EQ(ControlRect(13), (Rect{49, 25, 86, 20}));   // Indicators
  EXPECT_EQ(ControlRect(11), (Rect{140, 25, 80, 20}));  // Controls
  EXPECT_EQ(ControlRect(9), (Rect{225, 25, 56, 20}));   // None
  int group = FakeToolkit::Get(FindControl(opened->dialog, 12))->optionGroup;
  for (int number = 9; number <= 14; ++number)
    EXPECT_EQ(FakeToolkit::Get(FindControl(opened->dialog, number))->optionGroup, group);
}

TEST_F(HostWindow, ResizeRelaysOutBothPages) {
  opened->toolkit.UserResize(window, 800, 600);
  EXPECT_EQ(ControlRect(6), (Rect{5, 5, 150, 552}));
  EXPECT_EQ(Placed(frame), (Rect{160, 5, 617, 552}));
  EXPECT_EQ(Placed(multibox), (Rect{169, 23, 599, 118}));
  EXPECT_EQ(Placed(filler), (Rect{169, 146, 599, 402}));
  EXPECT_EQ(ControlRect(7), (Rect{5, 45, 772, 512}));
  EXPECT_EQ(ControlRect(12), (Rect{49, 5, 86, 20}));
  // The user cannot go below the lower bound.
  opened->toolkit.UserResize(window, 300, 200);
  EXPECT_EQ(window->width, 500);
  EXPECT_EQ(ControlRect(6), (Rect{5, 5, 150, 402}));
}

TEST_F(HostWindow, FragmentControlsAreBuiltAndGrouped) {
  // Only the first container shows; the others are built, sized and placed but hidden.
  EXPECT_TRUE(ControlOf(*opened, "CodeBeautifier")->visible);
  EXPECT_FALSE(ControlOf(*opened, "VisualHelpers")->visible);
  EXPECT_FALSE(opened->toolkit.IsShown(ControlOf(*opened, "LineColor:Picker")));
  EXPECT_TRUE(ControlOf(*opened, "Comma:1")->visible);  // the window itself is still hidden
  EXPECT_EQ(ControlOf(*opened, "codebeautifier")->flags, flag::kContainerSingle);
  // Each row of options is its own group (a label precedes it).
  int comma = ControlOf(*opened, "Comma:0")->optionGroup;
  EXPECT_EQ(ControlOf(*opened, "Comma:2")->optionGroup, comma);
  EXPECT_NE(ControlOf(*opened, "Operators:0")->optionGroup, comma);
  EXPECT_NE(ControlOf(*opened, "Operators:0")->optionGroup,
            FakeToolkit::Get(FindControl(opened->dialog, 12))->optionGroup);
  EXPECT_EQ(ControlOf(*opened, "Enabled")->caption, "Format lines as they are typed & pasted");
  EXPECT_EQ(ControlOf(*opened, "BlankLines")->maximum, 9);
  EXPECT_EQ(ControlOf(*opened, "LineColor:Color")->flags, flag::kStringUpperCase);
  EXPECT_EQ(ControlOf(*opened, "WordColor:Picker")->flags, flag::kCanvasBorder);
  // Inside the first container (border 2, margin 10): the checkbox, then the option rows.
  EXPECT_EQ(RectOf(*opened, "Enabled"), (Rect{11, 11, 277, 20}));
  Rect label = RectOf(*opened, "Comma:0");
  EXPECT_EQ(label, (Rect{11 + 110 + 5, 36, 44, 20}));
  // The colour field and its swatch stand side by side in the grid.
  Rect field = RectOf(*opened, "LineColor:Color");
  Rect swatch = RectOf(*opened, "LineColor:Picker");
  EXPECT_EQ(field, (Rect{11 + 110 + 5, 11, 120, 21}));
  EXPECT_EQ(swatch, (Rect{field.x + 120 + 5, 11, 21, 21}));
  // The list's change procedure is bound from the description.
  ProcedureCalls() = 0;
  DispatchControlEvent(opened->dialog, 6, event::kChange);
  EXPECT_EQ(ProcedureCalls(), 1);
}

// The host opens its window with the controls deferred to the first showing: until then only the
// window exists, yet every node and number is known; once built, the controls are exactly those
// of a window opened at once.
TEST_F(HostWindow, DeferredControlsAreBuiltAsAnOpenAtOnceBuildsThem) {
  Opened deferred;
  RegisterHostNames(deferred.names);
  deferred.document = ParseDescriptionUtf8(HostWindowWithFragment(SampleFragment()));
  OpenWindowOptions options;
  options.deferControls = true;
  ASSERT_TRUE(OpenWindow(deferred.dialog, deferred.toolkit, *deferred.document.root, deferred.names,
                         options));
  ASSERT_EQ(deferred.toolkit.controls.size(), 1u);
  for (const char* name : {"Comma:2", "LineColor:Picker", "VisualHelpers"}) {
    EXPECT_EQ(ControlNumber(deferred.dialog, name), ControlNumber(opened->dialog, name)) << name;
    EXPECT_EQ(FindControl(deferred.dialog, name), nullptr) << name;
  }
  ASSERT_NE(FindNode(deferred.dialog, 7), nullptr);

  ASSERT_TRUE(BuildControls(deferred.dialog)) << deferred.dialog.error;
  const auto& built = deferred.toolkit.controls;
  const auto& atOnce = opened->toolkit.controls;
  ASSERT_EQ(built.size(), atOnce.size());
  auto fields = [](const FakeControl& c) {
    return std::make_tuple(c.kind, c.number, c.caption, c.flags, c.minimum, c.maximum,
                           c.optionGroup, c.tabs, c.x, c.y, c.width, c.height, c.visible, c.enabled,
                           c.isPage, c.minWidth, c.minHeight, c.maxWidth, c.maxHeight, c.centered,
                           c.shown);
  };
  for (std::size_t i = 0; i < built.size(); ++i)
    EXPECT_TRUE(fields(*built[i]) == fields(*atOnce[i]))
        << "control " << i << " #" << atOnce[i]->number;
  EXPECT_EQ(deferred.toolkit.IsShown(ControlOf(deferred, "Comma:1")),
            opened->toolkit.IsShown(ControlOf(*opened, "Comma:1")));
}

}  // namespace
}  // namespace dialog::testing

#include <gtest/gtest.h>

#include "tests/host/dialog/dialog_test_support.h"

namespace dialog::testing {
namespace {

struct ErrorCase {
  const char* what;
  std::string description;
  std::string error;
};

class DialogErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DialogErrors, FirstErrorEndsTheBuildAndClosesEverything) {
  const ErrorCase& c = GetParam();
  auto opened = Open(c.description);
  ASSERT_TRUE(opened->document.ok()) << c.what << ": " << opened->document.errorText;
  EXPECT_FALSE(opened->ok) << c.what;
  EXPECT_EQ(opened->dialog.error, c.error) << c.what;
  EXPECT_EQ(opened->dialog.window, nullptr);
  for (const auto& control : opened->toolkit.controls)
    EXPECT_TRUE(control->destroyed) << c.what << ": control of kind " << KindName(control->kind);
}

std::string Repeat(const std::string& part, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += part;
  return text;
}

std::string Nested(int levels) {
  return "<window>" + Repeat("<vbox>", levels - 1) + Repeat("</vbox>", levels - 1) + "</window>";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DialogErrors,
    ::testing::Values(
        ErrorCase{"no window root", "<vbox/>", "Dialog window not found"},
        ErrorCase{"empty dialogs", "<dialogs><vbox/></dialogs>", "Dialog window not found"},
        ErrorCase{"flag of another kind", "<window><text flags='#PB_Container_Single'/></window>",
                  "'#PB_Container_Single' flag is not supported for the following gadget: text"},
        ErrorCase{"second flag wrong, blanks around",
                  "<window><container flags=' #PB_Container_Single |  #PB_Text_Right  '/></window>",
                  "'#PB_Text_Right' flag is not supported for the following gadget: container"},
        ErrorCase{
            "window flag on a listicon",
            "<window><listicon flags='#PB_Window_Invisible'/></window>",
            "'#PB_Window_Invisible' flag is not supported for the following gadget: listicon"},
        ErrorCase{"flag on a layout element", "<window><hbox flags='#PB_Text_Right'/></window>",
                  "'#PB_Text_Right' flag is not supported for the following gadget: hbox"},
        ErrorCase{"onchange on a checkbox",
                  "<window><checkbox onChange='OnChangeToolGadgets()'/></window>",
                  "'onChange' is not supported for the following gadget: checkbox"},
        ErrorCase{"onleftclick on a combobox",
                  "<window><combobox onleftclick='OnChangeToolGadgets()'/></window>",
                  "'onleftclick' is not supported for the following gadget: combobox"},
        ErrorCase{"onfocus on a spin", "<window><spin onfocus='OnChangeToolGadgets()'/></window>",
                  "'onfocus' is not supported for the following gadget: spin"},
        ErrorCase{"not a procedure", "<window><listicon onchange='NoSuchProcedure()'/></window>",
                  "'NoSuchProcedure()' is not a runtime procedure."},
        ErrorCase{"a constant is not a procedure",
                  "<window><string onchange='#ToolWindow'/></window>",
                  "'#ToolWindow' is not a runtime procedure."},
        ErrorCase{
            "first error only",
            "<window><vbox><text flags='#PB_Bad_One'/><text flags='#PB_Bad_Two'/></vbox></window>",
            "'#PB_Bad_One' flag is not supported for the following gadget: text"},
        ErrorCase{
            "error deep inside containers",
            "<window><panel><tab><container><frame><vbox><checkbox/><option "
            "onchange='OnChangeToolGadgets()'/></vbox></frame></container></tab></panel></window>",
            "'onchange' is not supported for the following gadget: option"},
        ErrorCase{"101 children in a vbox",
                  "<window><vbox>" + Repeat("<empty/>", 101) + "</vbox></window>",
                  "'vbox' has more than 100 children"},
        ErrorCase{"101 children in a multibox",
                  "<window><multibox>" + Repeat("<checkbox/>", 101) + "</multibox></window>",
                  "'multibox' has more than 100 children"},
        ErrorCase{"101 tabs", "<window><panel>" + Repeat("<tab/>", 101) + "</panel></window>",
                  "'panel' has more than 100 children"},
        ErrorCase{"16 columns", "<window><gridbox columns='16'/></window>",
                  "'gridbox' has more than 15 columns or 70 rows"},
        ErrorCase{"71 rows",
                  "<window><gridbox columns='1'>" + Repeat("<empty/>", 71) + "</gridbox></window>",
                  "'gridbox' has more than 15 columns or 70 rows"},
        ErrorCase{"257 levels", Nested(257), "Description nested deeper than 256 levels"},
        ErrorCase{"flag name of 121 characters",
                  "<window><text flags='#" + std::string(120, 'x') + "'/></window>",
                  "'#" + std::string(120, 'x') +
                      "' flag is not supported for the following gadget: text"}));

TEST(DialogErrors, CapacityLimitsThemselvesAreAccepted) {
  EXPECT_TRUE(Open("<window><vbox>" + Repeat("<empty/>", 100) + "</vbox></window>")->ok);
  EXPECT_TRUE(
      Open("<window><gridbox columns='15'>" + Repeat("<empty/>", 15 * 70) + "</gridbox></window>")
          ->ok);
  EXPECT_TRUE(Open(Nested(256))->ok);
}

TEST(DialogErrors, ThousandsOfLevelsAreRefusedNotCrashed) {
  std::u16string text = u"<window>";
  for (int i = 0; i < 50000; ++i) text += u"<container>";
  for (int i = 0; i < 50000; ++i) text += u"</container>";
  text += u"</window>";
  Document document = ParseDescription(text);
  ASSERT_TRUE(document.ok());
  FakeToolkit toolkit;
  RuntimeNameTable names;
  Dialog dialog;
  EXPECT_FALSE(OpenWindow(dialog, toolkit, *document.root, names));
  EXPECT_EQ(dialog.error, "Description nested deeper than 256 levels");
}

TEST(DialogErrors, ErrorTextIsCutAt511Characters) {
  std::string value = std::string(600, 'v');
  auto opened = Open("<window><listicon onchange='" + value + "'/></window>");
  EXPECT_FALSE(opened->ok);
  EXPECT_EQ(opened->dialog.error.size(), 511u);
  EXPECT_EQ(opened->dialog.error.substr(0, 4), "'vvv");
  // Multi-byte characters count as one and are never split.
  std::string wide;
  for (int i = 0; i < 600; ++i) wide += "\xc3\xa9";
  opened = Open("<window><listicon onchange='" + wide + "'/></window>");
  EXPECT_EQ(Utf8ToUtf16(opened->dialog.error).size(), 511u);
  EXPECT_EQ(opened->dialog.error.size(), 1 + 510u * 2);
}

TEST(DialogErrors, FlagListEndsAtANameWithoutHashOrTooLong) {
  // "x" ends the list: the wrong flag after it is never read.
  auto opened =
      Open("<window><text name='t' flags='#PB_Text_Right | x | #PB_Window_Tool'/></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_EQ(ControlOf(*opened, "t")->flags, flag::kTextRight);
  opened = Open("<window><text name='t' flags='#PB_Text_Center|#" + std::string(128, 'y') +
                "|#PB_Bad'/></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_EQ(ControlOf(*opened, "t")->flags, flag::kTextCenter);
}

TEST(DialogErrors, FlagFallsBackToTheRuntimeTableWithItsHash) {
  auto opened = Open("<window><text name='t' flags='#PB_Text_Right|#ToolLogs'/></window>");
  ASSERT_TRUE(opened->ok) << opened->dialog.error;
  EXPECT_EQ(ControlOf(*opened, "t")->flags, flag::kTextRight | 7u);
}

TEST(DialogErrors, EventAttributesIgnoredOnLayoutElements) {
  auto opened = Open(
      "<window onchange='x'><container onchange='x'><frame onevent='y'><vbox "
      "onleftclick='z'><empty/></vbox></frame></container></window>");
  EXPECT_TRUE(opened->ok) << opened->dialog.error;
}

TEST(DialogErrors, FailedControlCreationIsReported) {
  FakeToolkit toolkit;
  toolkit.failOnCreateOfKind.push_back(static_cast<int>(Kind::kCanvas));
  Document document = ParseDescriptionUtf8("<window><vbox><checkbox/><canvas/></vbox></window>");
  RuntimeNameTable names;
  Dialog dialog;
  EXPECT_FALSE(OpenWindow(dialog, toolkit, *document.root, names));
  EXPECT_EQ(dialog.error, "Failed to create the control of 'canvas'");
  for (const auto& control : toolkit.controls) EXPECT_TRUE(control->destroyed);
}

TEST(DialogErrors, ASecondOpenClearsTheFirstError) {
  FakeToolkit toolkit;
  RuntimeNameTable names;
  Dialog dialog;
  Document bad = ParseDescriptionUtf8("<vbox/>");
  Document good = ParseDescriptionUtf8("<window/>");
  EXPECT_FALSE(OpenWindow(dialog, toolkit, *bad.root, names));
  EXPECT_TRUE(OpenWindow(dialog, toolkit, *good.root, names));
  EXPECT_EQ(dialog.error, "");
}

}  // namespace
}  // namespace dialog::testing

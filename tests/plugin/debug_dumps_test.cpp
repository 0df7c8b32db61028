// Debug dumps: exact texts for known editor states.

#include "plugin/debug_dumps.h"

#include <gtest/gtest.h>

#include "core/property_names.h"
#include "core/utf.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"
#include "plugin/exports.h"
#include "tests/plugin/fake_editor.h"

namespace {

std::int64_t StyledAttributes(std::uint32_t message, std::int64_t index) {
  switch (message) {
    case sci::SCI_STYLEGETFORE:
      return index == 5 ? 0x000000 : 0x0080FF;  // fore: style 5 black, else orange
    case sci::SCI_STYLEGETBACK:
      return 0xFFFFFF;  // back: white
    case sci::SCI_STYLEGETBOLD:
      return index == 5 ? 1 : 0;  // bold
    case sci::SCI_STYLEGETITALIC:
      return index == 6 ? 1 : 0;  // italic
    case sci::SCI_STYLEGETUNDERLINE:
      return index == 6 ? 1 : 0;  // underline
    case sci::SCI_STYLEGETCASE:
      return index == 7 ? 1 : index == 8 ? 2 : 0;  // case
    case sci::SCI_STYLEGETVISIBLE:
      return index == 9 ? 0 : 1;  // visible
    case sci::SCI_STYLEGETCHANGEABLE:
      return index == 5 ? 0 : 1;  // changeable
    case sci::SCI_STYLEGETHOTSPOT:
      return index == 10 ? 1 : 0;  // hotspot
    case sci::SCI_INDICGETSTYLE:
      return index;  // indicator style = its number
    case sci::SCI_INDICGETFORE:
      return 0x4080FF;  // indicator fore
    case sci::SCI_INDICGETUNDER:
      return index == 2 ? 1 : 0;  // under
    // "scintilla": caret on line 1 of "ab\r\n  \xE9x" (the caret at 6, on the byte 0xE9).
    case sci::SCI_GETSTYLEAT:
      return 5;
    case sci::SCI_LINELENGTH:
      return index == 1 ? 4 : 4;
    case sci::SCI_GETLINEINDENTATION:
      return index == 1 ? 2 : 0;
    default:
      return 0;
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

class DebugDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ide = &StartFakeIde();
    editor = ide->editors[0];
    editor->attribute = StyledAttributes;
    os::sim::SetClock(100);
    NotifyUpdateUi(*editor, 0);  // .Plugin.Sci and .Plugin.UpdateDate
  }
  void TearDown() override { StopFakeIde(); }

  std::string Export(const char16_t* mode) {
    return core::Utf16ToUtf8(
        zentrel::RetrievePluginDebug(reinterpret_cast<std::intptr_t>(ide->main), mode));
  }

  FakeIde* ide = nullptr;
  FakeEditor* editor = nullptr;
};

TEST(DebugDumpText, ColorText) {
  struct Case {
    std::int64_t color;
    const char* prefix;
    const char* expected;
  };
  const Case cases[] = {
      {0x0080FF, "fore-", "fore-color (255,128,  0)"}, {0, "back-", "back-color (  0,  0,  0)"},
      {0xFFFFFF, "", "color (255,255,255)"},           {0x7F0A01, "x", "xcolor (  1, 10,127)"},
      {0x12FFFFFF, "", "color (255,255,255)"},  // only the three colour bytes
  };
  for (const Case& c : cases) EXPECT_EQ(ColorText(c.color, c.prefix), c.expected);
}

TEST(DebugDumpText, WordLookup) {
  struct Case {
    std::int64_t value;
    const char* words;
    const char* numbers;
    const char* expected;
  };
  const Case cases[] = {
      {1, "bold", "1,0", "is-bold "},
      {0, "bold", "1,0", ""},
      {0, ",invisible", "1,0", "is-invisible "},
      {1, ",invisible", "1,0", ""},
      {2, "uppercase,lowervase", "1,2", "is-lowervase "},
      {0, "uppercase,lowervase", "1,2", ""},
      {3, "a,b", "1,2", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookupWord(c.value, c.words, c.numbers, "is-"), c.expected) << c.words << c.value;
  }
}

TEST_F(DebugDumpTest, StylesHave256LinesWithTheirWords) {
  const std::string dump = Export(u"Styles");
  const auto lines = Lines(dump);
  ASSERT_EQ(lines.size(), 256u);
  for (const std::string& line : lines) EXPECT_EQ(line.back(), '\n');
  EXPECT_EQ(lines[0], "style[0]\tfore-color (255,128,  0)\tback-color (255,255,255)\t\n");
  EXPECT_EQ(lines[5],
            "style[5]\tfore-color (  0,  0,  0)\tback-color (255,255,255)\tis-bold is-readonly\n");
  EXPECT_EQ(
      lines[6],
      "style[6]\tfore-color (255,128,  0)\tback-color (255,255,255)\tis-italic is-underlined\n");
  EXPECT_EQ(lines[7],
            "style[7]\tfore-color (255,128,  0)\tback-color (255,255,255)\tis-uppercase\n");
  EXPECT_EQ(lines[8],
            "style[8]\tfore-color (255,128,  0)\tback-color (255,255,255)\tis-lowervase\n");
  EXPECT_EQ(lines[9],
            "style[9]\tfore-color (255,128,  0)\tback-color (255,255,255)\tis-invisible\n");
  EXPECT_EQ(lines[10],
            "style[10]\tfore-color (255,128,  0)\tback-color (255,255,255)\tis-hotspot\n");
  EXPECT_EQ(lines[255], "style[255]\tfore-color (255,128,  0)\tback-color (255,255,255)\t\n");
}

TEST_F(DebugDumpTest, IndicatorsHave32Lines) {
  const auto lines = Lines(Export(u"indicators"));
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[0], "indicator[0]\tfore-color (255,128, 64)\tstyle-plain\n");
  EXPECT_EQ(lines[2], "indicator[2]\tfore-color (255,128, 64)\tstyle-TT is-drawn-under-text\n");
  EXPECT_EQ(lines[7], "indicator[7]\tfore-color (255,128, 64)\tstyle-roundbox\n");
  EXPECT_EQ(lines[14], "indicator[14]\tfore-color (255,128, 64)\tstyle-compositionthick\n");
  EXPECT_EQ(lines[15], "indicator[15]\tfore-color (255,128, 64)\t\n") << "no word above 14";
}

TEST_F(DebugDumpTest, ModesIgnoreCaseAndUnknownModesAreEmpty) {
  EXPECT_EQ(Export(u"STYLES"), Export(u"styles"));
  EXPECT_EQ(Export(u"InDiCaToRs"), Export(u"indicators"));
  EXPECT_EQ(Export(u"Controls"), "");
  EXPECT_EQ(Export(u"None"), "");
  EXPECT_EQ(Export(u""), "");
  EXPECT_EQ(core::Utf16ToUtf8(
                zentrel::RetrievePluginDebug(reinterpret_cast<std::intptr_t>(ide->main), nullptr)),
            "");
}

TEST_F(DebugDumpTest, ScintillaFieldsInOrder) {
  SetText(*editor, "ab\r\n  \xE9x", 6);
  EXPECT_EQ(Export(u"Scintilla"),
            "pos = 6\nstyle = 5\nchar = -23\nline = 1\nlineLength = 4\nlineStartPos = 4\n"
            "lineEndPos = 8\nlineIndentPos = 6\nlineIndent = 2");
}

TEST_F(DebugDumpTest, MissingEditorGivesZerosAndNoScintillaDump) {
  const std::string name = core::SciPropertyName(core::HandleValue(ide->main));
  for (const std::intptr_t sci : {std::intptr_t{0}, reinterpret_cast<std::intptr_t>(ide->main)}) {
    os::SetProp(ide->main, name, sci);  // none, or a window that is no editor
    EXPECT_EQ(Export(u"scintilla"), "");
    const auto styles = Lines(Export(u"styles"));
    ASSERT_EQ(styles.size(), 256u);
    EXPECT_EQ(
        styles[3],
        "style[3]\tfore-color (  0,  0,  0)\tback-color (  0,  0,  0)\tis-invisible is-readonly\n");
    const auto indicators = Lines(Export(u"indicators"));
    ASSERT_EQ(indicators.size(), 32u);
    EXPECT_EQ(indicators[31], "indicator[31]\tfore-color (  0,  0,  0)\tstyle-plain\n");
  }
}

TEST_F(DebugDumpTest, PropsListOursFirstThenTheOthersEachSorted) {
  const std::string prefix = core::PropertyPrefix(core::HandleValue(ide->main));
  os::SetProp(ide->main, "Alpha", 1);
  os::SetProp(ide->main, "zeta", -2);
  os::SetProp(ide->main, prefix + ".Settings.B.k.Value", 3);
  os::SetProp(ide->main, prefix + ".Settings.a.k.Value", 4);
  os::SetProp(ide->main, core::UpdateDatePropertyName(core::HandleValue(ide->main)), 555);
  const std::string tool = std::to_string(reinterpret_cast<std::intptr_t>(ide->tool));
  const std::string sci = std::to_string(reinterpret_cast<std::intptr_t>(editor->window));
  std::vector<std::string> expected = {
      prefix + ".Plugin.Sci = " + sci + "\n",
      prefix + ".Plugin.Tool = " + tool + "\n",
      prefix + ".Plugin.UpdateDate = 555\n",
      prefix + ".Settings.B.k.Value = 3\n",
      prefix + ".Settings.a.k.Value = 4\n",
      "Alpha = 1\n",
      "PB_ID = 1\n",
      "zeta = -2\n",
  };
  std::sort(expected.begin(), expected.begin() + 5);
  std::string joined;
  for (const std::string& line : expected) joined += line;
  EXPECT_EQ(Export(u"Props"), joined);
}

TEST_F(DebugDumpTest, PropsAreEmptyWithoutStamp) {
  os::RemoveProp(ide->main, core::UpdateDatePropertyName(core::HandleValue(ide->main)));
  EXPECT_EQ(Export(u"props"), "");
}

TEST_F(DebugDumpTest, ExportReusesOneBuffer) {
  const char16_t* first =
      zentrel::RetrievePluginDebug(reinterpret_cast<std::intptr_t>(ide->main), u"styles");
  ASSERT_NE(first, nullptr);
  const char16_t* second =
      zentrel::RetrievePluginDebug(reinterpret_cast<std::intptr_t>(ide->main), u"x");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[0], u'\0');
}

}  // namespace

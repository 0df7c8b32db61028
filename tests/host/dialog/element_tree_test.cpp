#include "host/dialog/element_tree.h"

#include <gtest/gtest.h>

namespace dialog {
namespace {

TEST(ElementTree, ParsesUtf16WithEntitiesAndKeepsOnlyElements) {
  std::u16string text =
      u"<Window TEXT='a &lt;b&gt; &#38; \u00e9'>\n  some text\n  <hbox/><VBOX x='1'/></Window>";
  Document document = ParseDescription(text);
  ASSERT_TRUE(document.ok()) << document.errorText;
  const Element& root = *document.root;
  EXPECT_EQ(root.name, "Window");
  EXPECT_TRUE(IsElement(root, "window"));
  EXPECT_EQ(GetAttribute(root, "text"), "a <b> & \xc3\xa9");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_TRUE(IsElement(*root.children[1], "vbox"));
  EXPECT_EQ(root.children[1]->line, 3);
  EXPECT_EQ(root.children[1]->depth, 2);
  EXPECT_EQ(GetAttribute(*root.children[1], "X"), "1");
}

TEST(ElementTree, ByteOrderMarkIsAccepted) {
  Document document = ParseDescription(u"\uFEFF<window text='x'/>");
  ASSERT_TRUE(document.ok()) << document.errorText;
  EXPECT_EQ(GetAttribute(*document.root, "text"), "x");
}

TEST(ElementTree, EncodingDeclarationCannotOverrideUtf16) {
  Document document =
      ParseDescription(u"<?xml version='1.0' encoding='ISO-8859-1'?><window text='\u4e2d'/>");
  ASSERT_TRUE(document.ok()) << document.errorText;
  EXPECT_EQ(Utf8ToUtf16(GetAttribute(*document.root, "text")), u"\u4e2d");
}

struct BadText {
  const char16_t* text;
  const char* error;
  int line;
};

class ElementTreeErrors : public ::testing::TestWithParam<BadText> {};

TEST_P(ElementTreeErrors, ReportsParserTextAndLine) {
  Document document = ParseDescription(GetParam().text);
  EXPECT_FALSE(document.ok());
  EXPECT_EQ(document.errorText, GetParam().error);
  EXPECT_EQ(document.errorLine, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ElementTreeErrors,
    ::testing::Values(BadText{u"<window>\n<hbox>\n</window>", "mismatched tag", 3},
                      BadText{u"", "no element found", 1},
                      BadText{u"<window a='1' a='2'/>", "duplicate attribute", 1},
                      BadText{u"<window>\n\n<text text='&nope;'/></window>", "undefined entity", 3},
                      BadText{u"<window/><window/>", "junk after document element", 1}));

TEST(ElementTree, DeepNestingIsCutAndDoesNotCrash) {
  const int levels = 100000;
  std::u16string text;
  for (int i = 0; i < levels; ++i) text += u"<vbox>";
  for (int i = 0; i < levels; ++i) text += u"</vbox>";
  Document document = ParseDescription(text);
  ASSERT_TRUE(document.ok());
  EXPECT_EQ(document.deepestLevel, levels);
  int depth = 1;
  for (const Element* element = document.root.get(); !element->children.empty();
       element = element->children[0].get())
    ++depth;
  EXPECT_EQ(depth, kMaxStoredDepth);
}

TEST(ElementTree, EntityExpansionBombIsRefused) {
  std::u16string text = u"<?xml version='1.0'?><!DOCTYPE window [<!ENTITY a0 'xxxxxxxxxxxxxxxx'>";
  for (int i = 1; i < 12; ++i) {
    std::u16string previous = u"&a" + Utf8ToUtf16(std::to_string(i - 1)) + u";";
    std::u16string body;
    for (int k = 0; k < 16; ++k) body += previous;
    text += u"<!ENTITY a" + Utf8ToUtf16(std::to_string(i)) + u" '" + body + u"'>";
  }
  text += u"]><window text='&a11;'/>";
  Document document = ParseDescription(text);
  EXPECT_FALSE(document.ok());
  EXPECT_FALSE(document.errorText.empty());
}

TEST(ElementTree, HugeAttributeValueIsKept) {
  std::u16string value(2000000, u'x');
  Document document = ParseDescription(u"<window text='" + value + u"'/>");
  ASSERT_TRUE(document.ok());
  EXPECT_EQ(GetAttribute(*document.root, "text").size(), value.size());
}

TEST(ElementTree, SetAttributeReplacesWithoutRegardToCaseOrAppends) {
  Document document = ParseDescriptionUtf8("<checkbox NAME='a' tooltip='t'/>");
  ASSERT_TRUE(document.ok());
  Element& element = *document.root;
  SetAttribute(element, "name", "gadgetWithoutName1");
  EXPECT_EQ(element.attributes.size(), 2u);
  EXPECT_EQ(GetAttribute(element, "Name"), "gadgetWithoutName1");
  SetAttribute(element, "font", "mini");
  EXPECT_EQ(element.attributes.size(), 3u);
  EXPECT_TRUE(HasAttribute(element, "FONT"));
  EXPECT_FALSE(HasAttribute(element, "value"));
  EXPECT_EQ(GetAttribute(element, "value"), "");
}

TEST(ElementTree, Utf8Utf16RoundTrip) {
  std::u16string text = u"a\u00e9\u4e2d\U0001F600z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\xFFFD");
}

}  // namespace
}  // namespace dialog

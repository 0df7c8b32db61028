// Expat as the host uses it: UTF-16 dialog descriptions fed as bytes to a parser created for
// "UTF-16LE", UTF-8 callbacks, and the error text and line of a description that does not parse.
// Built against the system library natively and against setup's static library for Windows.
#include <expat.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

static_assert(sizeof(XML_Char) == 1, "callbacks receive UTF-8");

struct Outline {
  std::vector<std::string> events;  // "<name attr=value ...>" and "</name>"
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  std::string event = std::string("<") + name;
  for (int i = 0; attributes[i]; i += 2)
    event += std::string(" ") + attributes[i] + "=" + attributes[i + 1];
  static_cast<Outline*>(data)->events.push_back(event + ">");
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  static_cast<Outline*>(data)->events.push_back(std::string("</") + name + ">");
}

struct ParseResult {
  bool ok;
  std::string error;
  unsigned long line;
  Outline outline;
};

// UTF-16LE bytes of a UTF-16 text, as the host holds a description.
std::string Utf16LeBytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

ParseResult Parse(const std::u16string& text) {
  ParseResult result{};
  XML_Parser parser = XML_ParserCreate("UTF-16LE");
  XML_SetUserData(parser, &result.outline);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  const std::string bytes = Utf16LeBytes(text);
  result.ok = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), 1) == XML_STATUS_OK;
  if (!result.ok) {
    result.error = XML_ErrorString(XML_GetErrorCode(parser));
    result.line = static_cast<unsigned long>(XML_GetCurrentLineNumber(parser));
  }
  XML_ParserFree(parser);
  return result;
}

struct GoodCase {
  const char* name;
  std::u16string text;
  std::vector<std::string> events;
};

const GoodCase kGood[] = {
    {"elements_and_attributes",
     u"<window name=\"main\">\n  <button text=\"OK\" width=\"80\"/>\n</window>",
     {"<window name=main>", "<button text=OK width=80>", "</button>", "</window>"}},
    {"non_ascii_arrives_as_utf8",
     u"<text value=\"Gr\u00F6\u00DFe \u20AC\"/>",
     {"<text value=Gr\xC3\xB6\xC3\x9F"
      "e \xE2\x82\xAC>",
      "</text>"}},
    // The parser's encoding wins over the declaration inside the text.
    {"declaration_cannot_override",
     u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a b=\"c\"/>",
     {"<a b=c>", "</a>"}},
    {"byte_order_mark_is_skipped", u"\uFEFF<a/>", {"<a>", "</a>"}},
};

void PrintTo(const GoodCase& c, std::ostream* out) { *out << c.name; }

class ExpatGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ExpatGood, ParsesUtf16) {
  const ParseResult r = Parse(GetParam().text);
  ASSERT_TRUE(r.ok) << r.error << " at line " << r.line;
  EXPECT_EQ(r.outline.events, GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpatGood, ::testing::ValuesIn(kGood),
                         [](const ::testing::TestParamInfo<GoodCase>& info) {
                           return std::string(info.param.name);
                         });

struct BadCase {
  const char* name;
  std::u16string text;
  const char* error;
  unsigned long line;
};

const BadCase kBad[] = {
    {"mismatched_tag", u"<window>\n  <button>\n</window>", "mismatched tag", 3},
    {"attributes_without_blank", u"<a>\n\n<b c=\"x\"d=\"y\"/>\n</a>",
     "not well-formed (invalid token)", 3},
    {"missing_end", u"<a>\n<b/>\n", "no element found", 3},
    {"junk_after_root", u"<a/>\n<b/>", "junk after document element", 2},
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.name; }

class ExpatBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(ExpatBad, ReportsErrorTextAndLine) {
  const ParseResult r = Parse(GetParam().text);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error, GetParam().error);
  EXPECT_EQ(r.line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpatBad, ::testing::ValuesIn(kBad),
                         [](const ::testing::TestParamInfo<BadCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

// Scintilla's document core, built natively by setup: the plugin's regular-expression search
// and template replacement give the expected text (the headless editor relies on this).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <forward_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Scintilla's headers need this order.
// clang-format off
#include "ScintillaTypes.h"
#include "ILoader.h"
#include "ILexer.h"
#include "Debugging.h"
#include "CharacterCategoryMap.h"
#include "Position.h"
#include "SplitVector.h"
#include "Partitioning.h"
#include "RunStyles.h"
#include "CellBuffer.h"
#include "PerLine.h"
#include "CharClassify.h"
#include "Decoration.h"
#include "CaseFolder.h"
#include "Document.h"
// clang-format on

#include "iface/scintilla.h"
#include "search_cases.h"

namespace {

using Scintilla::FindOption;
using Scintilla::Internal::Document;

constexpr FindOption kPluginFlags = static_cast<FindOption>(sci::SCFIND_REGEXP | sci::SCFIND_POSIX);
static_assert(kPluginFlags == (FindOption::RegExp | FindOption::Posix));

std::string TextOf(Document& doc) {
  std::string text(static_cast<std::size_t>(doc.Length()), '\0');
  doc.GetCharRange(text.data(), 0, doc.Length());
  return text;
}

// The text of group n of the last match, as SCI_GETTAG gives it.
std::string Group(Document& doc, int n) {
  const std::string tag = "\\" + std::to_string(n);
  Sci::Position length = static_cast<Sci::Position>(tag.size());
  const char* text = doc.SubstituteByPosition(tag.c_str(), &length);
  return text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

class ScintillaCoreSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(ScintillaCoreSearch, FindsGroupsAndReplacesWithTemplate) {
  const SearchCase& c = GetParam();
  Document doc(Scintilla::DocumentOption::Default);
  doc.SetDBCSCodePage(Scintilla::CpUtf8);
  ASSERT_EQ(doc.dbcsCodePage, Scintilla::CpUtf8);
  doc.InsertString(0, c.text, static_cast<Sci::Position>(std::strlen(c.text)));
  ASSERT_EQ(TextOf(doc), c.text);

  const Sci::Position to = c.to < 0 ? doc.Length() : c.to;
  Sci::Position length = static_cast<Sci::Position>(std::strlen(c.pattern));
  const Sci::Position found = doc.FindText(c.from, to, c.pattern, kPluginFlags, &length);
  ASSERT_EQ(found, c.position);
  if (found < 0) return;
  EXPECT_EQ(length, c.length);
  EXPECT_EQ(Group(doc, 1), c.group1);
  EXPECT_EQ(Group(doc, 2), c.group2);

  // What SCI_REPLACETARGETRE does with the match as target.
  Sci::Position replacementLength = static_cast<Sci::Position>(std::strlen(c.replacement));
  const char* replacement = doc.SubstituteByPosition(c.replacement, &replacementLength);
  ASSERT_NE(replacement, nullptr);
  const std::string substituted(replacement, static_cast<std::size_t>(replacementLength));
  ASSERT_TRUE(doc.DeleteChars(found, length));
  doc.InsertString(found, substituted.data(), static_cast<Sci::Position>(substituted.size()));
  EXPECT_EQ(TextOf(doc), c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScintillaCoreSearch, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<SearchCase>& info) {
                           return std::string(info.param.name);
                         });

// A search with the C++11 engine over a long line recurses once per character; the plugin's
// flags select Scintilla's own engine, which does not.
TEST(ScintillaCore, OwnEngineSearchesAVeryLongLine) {
  Document doc(Scintilla::DocumentOption::Default);
  doc.SetDBCSCodePage(Scintilla::CpUtf8);
  const std::string line = std::string(200000, 'a') + " = 1";
  doc.InsertString(0, line.data(), static_cast<Sci::Position>(line.size()));
  Sci::Position length = 10;
  const char* pattern = "(.*) = ([0-9])$";
  length = static_cast<Sci::Position>(std::strlen(pattern));
  EXPECT_EQ(doc.FindText(0, doc.Length(), pattern, kPluginFlags, &length), 0);
  EXPECT_EQ(length, static_cast<Sci::Position>(line.size()));
  EXPECT_EQ(Group(doc, 2), "1");
}

}  // namespace

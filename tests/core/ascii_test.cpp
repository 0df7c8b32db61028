#include "core/ascii.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

namespace {

TEST(Ascii, LowerAndUpperTouchOnlyAsciiLetters) {
  EXPECT_EQ(core::AsciiToLower("Scintilla_Z@[`{\xC3\x89"), "scintilla_z@[`{\xC3\x89");
  EXPECT_EQ(core::AsciiToUpper("Scintilla_z@[`{\xC3\xA9"), "SCINTILLA_Z@[`{\xC3\xA9");
}

struct CompareCase {
  const char* a;
  const char* b;
  int sign;
};

TEST(Ascii, CompareIgnoreCase) {
  // Both sides are folded to lower case first: '_' (0x5F) sorts before 'a' (0x61), although
  // it sorts after 'A' (0x41) byte-wise.
  const CompareCase cases[] = {
      {"", "", 0},       {"abc", "ABC", 0}, {"abc", "abd", -1},
      {"ABD", "abc", 1}, {"ab", "abc", -1}, {"abc", "AB", 1},
      {"[", "a", -1},    {"_", "A", -1},    {"\xC3\xA9", "\xC3\x89", 1},
  };
  for (const CompareCase& c : cases) {
    const int result = core::CompareIgnoreCase(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(core::EqualsIgnoreCase(c.a, c.b), c.sign == 0) << c.a << " vs " << c.b;
  }
}

struct FindCase {
  const char* haystack;
  const char* needle;
  std::size_t from;
  std::size_t expected;
};

TEST(Ascii, FindIgnoreCase) {
  constexpr auto npos = std::string_view::npos;
  const FindCase cases[] = {
      {"<Container name='x'>", "<container ", 0, 0},
      {"a <CONTAINER b", "<container ", 0, 2},
      {"a <CONTAINER b <container c", "<container ", 3, 15},
      {"abc", "", 0, 0},
      {"abc", "", 3, 3},
      {"abc", "", 4, npos},
      {"abc", "abcd", 0, npos},
      {"abc", "C", 0, 2},
      {"", "a", 0, npos},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(core::FindIgnoreCase(c.haystack, c.needle, c.from), c.expected)
        << c.haystack << " / " << c.needle;
  }
}

TEST(Ascii, MapKeyedWithoutCase) {
  std::map<std::string, int, core::LessIgnoreCase> map;
  map["PB_ID"] = 1;
  map["pb_id"] = 2;
  EXPECT_EQ(map.size(), 1u);
  EXPECT_EQ(map.begin()->first, "PB_ID");
  const std::string_view key = "Pb_Id";
  ASSERT_NE(map.find(key), map.end());
  EXPECT_EQ(map.find(key)->second, 2);
}

}  // namespace

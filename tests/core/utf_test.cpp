#include "core/utf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

const Utf8Case kValid[] = {
    {"empty", "", u""},
    {"ascii", "If x = 1", u"If x = 1"},
    {"two bytes", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
    {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
    {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
    {"last code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"first of three", "\xE0\xA0\x80", u"\u0800"},
    {"below surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"real replacement", "\xEF\xBF\xBD", u"\uFFFD"},
    {"nul kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};

TEST(Utf, RoundTripsValidText) {
  for (const Utf8Case& c : kValid) {
    EXPECT_EQ(core::Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    EXPECT_EQ(core::Utf16ToUtf8(c.utf16), c.utf8) << c.name;
    EXPECT_TRUE(core::IsValidUtf8(c.utf8)) << c.name;
  }
}

const Utf8Case kMalformed[] = {
    {"lone continuation",
     "a\x80"
     "b",
     u"a\uFFFDb"},
    {"bad lead C0", "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"bad lead F5", "\xF5\x80", u"\uFFFD\uFFFD"},
    {"overlong three", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"surrogate encoded", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"truncated at end", "x\xE2\x82", u"x\uFFFD"},
    {"truncated before ascii",
     "\xE2\x82"
     "A",
     u"\uFFFDA"},
    {"truncated four",
     "\xF0\x9F\x98"
     "!",
     u"\uFFFD!"},
    {"ff byte", "\xFF", u"\uFFFD"},
};

TEST(Utf, ReplacesMalformedUtf8) {
  for (const Utf8Case& c : kMalformed) {
    EXPECT_EQ(core::Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    EXPECT_FALSE(core::IsValidUtf8(c.utf8)) << c.name;
  }
}

struct Utf16Case {
  const char* name;
  std::u16string utf16;
  std::string utf8;
};

TEST(Utf, ReplacesLoneSurrogates) {
  const Utf16Case cases[] = {
      {"lone high at end", std::u16string(u"a") + char16_t(0xD83D), "a\xEF\xBF\xBD"},
      {"lone high before text", std::u16string(1, char16_t(0xD83D)) + u"b",
       "\xEF\xBF\xBD"
       "b"},
      {"lone low", std::u16string(1, char16_t(0xDE00)), "\xEF\xBF\xBD"},
      {"reversed pair", std::u16string{char16_t(0xDE00), char16_t(0xD83D)},
       "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Utf16Case& c : cases) EXPECT_EQ(core::Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

TEST(Utf, Latin1) {
  EXPECT_EQ(core::Latin1ToUtf8("abc"), "abc");
  EXPECT_EQ(core::Latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(core::Latin1ToUtf8("\xFF\x80"), "\xC3\xBF\xC2\x80");
}

}  // namespace

namespace {

// Random bytes, deterministic: whatever comes in, what goes out is well-formed, and converting
// it again changes nothing.
TEST(Utf, RandomInputAlwaysGivesWellFormedText) {
  std::uint32_t state = 12345;
  const auto next = [&] {
    state = state * 1103515245u + 12345u;
    return static_cast<char>((state >> 16) & 0xFF);
  };
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const int length = round % 40;
    for (int i = 0; i < length; ++i) bytes.push_back(next());
    const std::u16string wide = core::Utf8ToUtf16(bytes);
    const std::string utf8 = core::Utf16ToUtf8(wide);
    ASSERT_TRUE(core::IsValidUtf8(utf8)) << round;
    EXPECT_EQ(core::Utf8ToUtf16(utf8), wide) << round;
    if (core::IsValidUtf8(bytes)) {
      EXPECT_EQ(utf8, bytes) << round;
    }
    std::u16string units;
    for (int i = 0; i < length; ++i) {
      units.push_back(static_cast<char16_t>((static_cast<unsigned char>(next()) << 8) |
                                            static_cast<unsigned char>(next())));
    }
    ASSERT_TRUE(core::IsValidUtf8(core::Utf16ToUtf8(units))) << round;
  }
}

}  // namespace

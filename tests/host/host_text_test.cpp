#include "host/host_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadRoundedNumber, RoundsToNearestTiesToEven) {
  struct Case {
    const char* text;
    std::int64_t expected;
  } cases[] = {{"8", 8},
               {" 7.4", 7},
               {"7.5", 8},
               {"6.5", 6},
               {"-2.5", -2},
               {"+3", 3},
               {"abc", 0},
               {"", 0},
               {".5", 0},
               {"1.5x", 2},
               {"-", 0},
               {"1e5", 1},
               {"99999999999999999999999", INT64_MAX},
               {"-99999999999999999999999", INT64_MIN}};
  for (const Case& c : cases) EXPECT_EQ(ReadRoundedNumber(c.text), c.expected) << c.text;
}

TEST(ReadDecimalText, SignsBlanksAndStops) {
  EXPECT_EQ(ReadDecimalText("  -15abc"), -15);
  EXPECT_EQ(ReadDecimalText("$FF"), 0);
  EXPECT_EQ(ReadDecimalText("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ReadDecimalText("9223372036854775808"), INT64_MAX);
  EXPECT_EQ(ReadDecimalText("-9223372036854775808"), INT64_MIN);
}

TEST(UpperHexPadded, SixDigitColours) {
  EXPECT_EQ(UpperHexPadded(65535, 6), "00FFFF");
  EXPECT_EQ(UpperHexPadded(0, 6), "000000");
  EXPECT_EQ(UpperHexPadded(0x1234567, 6), "1234567");
  EXPECT_EQ(UpperHexPadded(0xABCDEF, 6), "ABCDEF");
}

TEST(PluginText, CopiesUtf16AndNullIsEmpty) {
  EXPECT_EQ(PluginText(nullptr), "");
  EXPECT_EQ(PluginText(u"Caf\u00E9"), "Caf\xC3\xA9");
}

}  // namespace

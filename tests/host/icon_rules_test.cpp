#include "host/icon_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(IconRules, OnlySquareImagesOfTheIconSizesBecomeIcons) {
  for (int size : {16, 32, 48, 72, 128, 256}) EXPECT_TRUE(IsIconSize(size, size)) << size;
  for (int size : {0, 8, 24, 64, 96, 512}) EXPECT_FALSE(IsIconSize(size, size)) << size;
  EXPECT_FALSE(IsIconSize(16, 32));
  EXPECT_FALSE(IsIconSize(32, 16));
}

TEST(IconRules, TransparentColourClearsAlphaOnlyOnAnExactMatch) {
  const unsigned magenta = 0xFF00FF;  // red in the low byte
  EXPECT_EQ(IconAlpha(255, 0, 255, magenta), 0);
  EXPECT_EQ(IconAlpha(255, 0, 254, magenta), 255);
  EXPECT_EQ(IconAlpha(0, 0, 0, 0), 0);
  EXPECT_EQ(IconAlpha(0, 0, 1, 0), 255);
}

}  // namespace

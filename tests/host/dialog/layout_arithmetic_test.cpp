#include <gtest/gtest.h>

#include "host/dialog/layout.h"

namespace dialog {
namespace {

struct ShareCase {
  const char* what;
  std::vector<int> required;
  int gap, available;
  Share share;
  std::vector<int> expected;
};

class ShareSpaceTest : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareSpaceTest, Sizes) {
  const ShareCase& c = GetParam();
  EXPECT_EQ(ShareSpace(c.required, c.gap, c.available, c.share), c.expected) << c.what;
}

const Share kYes{ShareMode::kYes, 0}, kNo{ShareMode::kNo, 0}, kEqual{ShareMode::kEqual, 0};
Share Item(int n) { return Share{ShareMode::kItem, n}; }

INSTANTIATE_TEST_SUITE_P(
    Table, ShareSpaceTest,
    ::testing::Values(
        ShareCase{"yes shares spare equally", {50, 30}, 5, 200, kYes, {107, 87}},
        ShareCase{"yes, remainder stays at the end", {10, 10, 10}, 0, 31, kYes, {10, 10, 10}},
        ShareCase{"yes, spare 4 over 3", {10, 10, 10}, 0, 34, kYes, {11, 11, 11}},
        ShareCase{"no keeps required", {50, 30}, 5, 200, kNo, {50, 30}},
        ShareCase{"equal ignores required", {50, 30}, 5, 200, kEqual, {97, 97}},
        ShareCase{"equal remainder", {1, 1, 1}, 0, 100, kEqual, {33, 33, 33}},
        ShareCase{"equal even when too small", {50, 30}, 5, 45, kEqual, {20, 20}},
        ShareCase{"item 2 takes all", {50, 30}, 5, 200, Item(2), {50, 145}},
        ShareCase{"item 1 takes all", {50, 30}, 5, 200, Item(1), {165, 30}},
        ShareCase{"item beyond count: nobody", {50, 30}, 5, 200, Item(3), {50, 30}},
        ShareCase{"item 0: nobody", {50, 30}, 5, 200, Item(0), {50, 30}},
        ShareCase{"too small shrinks proportionally (yes)", {50, 30}, 5, 60, kYes, {35, 21}},
        ShareCase{"too small shrinks (no)", {50, 30}, 5, 60, kNo, {35, 21}},
        ShareCase{"too small shrinks (item)", {50, 30}, 5, 60, Item(1), {35, 21}},
        ShareCase{"exact fit", {50, 30}, 5, 85, kYes, {50, 30}},
        ShareCase{"nothing available: mode rule", {50, 30}, 5, 0, kNo, {50, 30}},
        ShareCase{"single part", {40}, 5, 100, kYes, {100}},
        ShareCase{"no parts", {}, 5, 100, kYes, {}}));

struct DecimalCase {
  const char* text;
  int expected;
};

TEST(AttributeValues, ReadDecimal) {
  const DecimalCase cases[] = {{"12", 12},
                               {"  \t-7x", -7},
                               {"+3", 3},
                               {"abc", 0},
                               {"", 0},
                               {"4 5", 4},
                               {"- 5", 0},
                               {"$10", 0},
                               {"99999999999", 2147483647},
                               {"-99999999999", -2147483647 - 1}};
  for (const DecimalCase& c : cases) EXPECT_EQ(ReadDecimal(c.text), c.expected) << c.text;
}

struct MarginCase {
  const char* text;
  Margins expected;
};

TEST(AttributeValues, ReadMargins) {
  const MarginCase cases[] = {
      {"7", {7, 7, 7, 7}},
      {"TOP:4", {4, 0, 0, 0}},
      {"top:4,left:3", {4, 0, 3, 0}},
      {"Bottom:2 RIGHT:9", {0, 2, 0, 9}},
      {"vertical:3 horizontal:7", {3, 3, 7, 7}},
      {"horizontal:7,LEFT:1", {0, 0, 1, 7}},
      {"nonsense:5", {0, 0, 0, 0}},
      {"top:-4 left:99999999999", {0, 0, kLargestLength, 0}},  // lengths, clamped
  };
  for (const MarginCase& c : cases) {
    Margins m = ReadMargins(c.text);
    EXPECT_EQ(m.top, c.expected.top) << c.text;
    EXPECT_EQ(m.bottom, c.expected.bottom) << c.text;
    EXPECT_EQ(m.left, c.expected.left) << c.text;
    EXPECT_EQ(m.right, c.expected.right) << c.text;
  }
}

TEST(AttributeValues, ReadShareAndFill) {
  EXPECT_EQ(ReadShare("YES", kNo).mode, ShareMode::kYes);
  EXPECT_EQ(ReadShare(" no ", kYes).mode, ShareMode::kNo);
  EXPECT_EQ(ReadShare("Equal", kYes).mode, ShareMode::kEqual);
  Share item = ReadShare("ITEM:12", kYes);
  EXPECT_EQ(item.mode, ShareMode::kItem);
  EXPECT_EQ(item.item, 12);
  EXPECT_EQ(ReadShare("sometimes", kNo).mode, ShareMode::kNo);
  EXPECT_EQ(ReadFill("Vertical", Fill::kBoth), Fill::kVertical);
  EXPECT_EQ(ReadFill("HORIZONTAL", Fill::kBoth), Fill::kHorizontal);
  EXPECT_EQ(ReadFill("no", Fill::kBoth), Fill::kNone);
  EXPECT_EQ(ReadFill("", Fill::kBoth), Fill::kBoth);
}

TEST(AttributeValues, ReadAlign) {
  struct Case {
    const char* text;
    AxisAlign x, y;
  } cases[] = {
      {"", AxisAlign::kStart, AxisAlign::kStart},
      {"center", AxisAlign::kCenter, AxisAlign::kCenter},
      {"TOP,CENTER", AxisAlign::kCenter, AxisAlign::kStart},
      {"right bottom", AxisAlign::kEnd, AxisAlign::kEnd},
      {"left center", AxisAlign::kStart, AxisAlign::kCenter},
  };
  for (const Case& c : cases) {
    AxisAlign x, y;
    ReadAlign(c.text, &x, &y);
    EXPECT_EQ(x, c.x) << c.text;
    EXPECT_EQ(y, c.y) << c.text;
  }
}

}  // namespace
}  // namespace dialog

#include "core/integer_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

struct Case {
  const char* text;
  std::int64_t value;
  std::size_t consumed;
};

const Case kCases[] = {
    {"", 0, 0},
    {"abc", 0, 0},
    {"0", 0, 1},
    {"42", 42, 2},
    {"  \t 42", 42, 6},
    {"\n42", 0, 0},  // only blanks and tabs are skipped
    {"-17", -17, 3},
    {"+17", 17, 3},
    {"- 17", 0, 0},
    {"12abc", 12, 2},
    {"12.9", 12, 2},
    {"$1F4", 500, 4},
    {"$1f4", 500, 4},
    {"$FFFF00", 0xFFFF00, 7},
    {"-$10", -16, 4},
    {"+$10", 16, 4},
    {"$", 0, 0},
    {"$G", 0, 0},
    {"$12G", 0x12, 3},
    {"%1011", 11, 5},
    {"%1012", 5, 4},
    {"-%11", -3, 4},
    {"%", 0, 0},
    {"%2", 0, 0},
    {"1F4", 1, 1},  // decimal stops at the first letter
    {"--5", 0, 0},
    {"9223372036854775807", kMax, 19},
    {"9223372036854775808", kMax, 19},
    {"99999999999999999999999", kMax, 23},
    {"-9223372036854775808", kMin, 20},
    {"-9223372036854775809", kMin, 20},
    {"-99999999999999999999999", kMin, 24},
    {"$7FFFFFFFFFFFFFFF", kMax, 17},
    {"$8000000000000000", kMax, 17},
    {"$FFFFFFFFFFFFFFFFFFFF", kMax, 21},
    {"-$8000000000000000", kMin, 18},
    {"%111111111111111111111111111111111111111111111111111111111111111", kMax, 64},
    {"%1111111111111111111111111111111111111111111111111111111111111111", kMax, 65},
    {"00000000000000000000000000042", 42, 29},
    {"2147483648", 2147483648LL, 10},
    {"-0", 0, 2},
};

TEST(IntegerText, ReadsEveryForm) {
  for (const Case& c : kCases) {
    std::size_t consumed = 99;
    EXPECT_EQ(core::ReadIntegerText(c.text, &consumed), c.value) << '"' << c.text << '"';
    EXPECT_EQ(consumed, c.consumed) << '"' << c.text << '"';
    EXPECT_EQ(core::ReadIntegerText(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(IntegerText, StopsAtAnEmbeddedZeroByte) {
  const std::string text(
      "12\0"
      "34",
      5);
  EXPECT_EQ(core::ReadIntegerText(text), 12);
}

}  // namespace

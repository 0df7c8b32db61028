#include "host/dialog/runtime_names.h"

#include <gtest/gtest.h>

namespace dialog {
namespace {

int ReturnsSeven() { return 7; }

TEST(RuntimeNames, ConstantsAndProceduresKeepTheirMarksAndIgnoreCase) {
  RuntimeNameTable table;
  RegisterInteger(table, "#ToolWindow", 3);
  RegisterProcedure(table, "OnChangeToolListIcon()", ReturnsSeven);
  std::int64_t value = 0;
  EXPECT_TRUE(LookupRuntimeInteger(table, "#TOOLWINDOW", &value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(LookupRuntimeInteger(table, "ToolWindow", &value));
  EXPECT_EQ(LookupRuntimeProcedure(table, "onchangetoollisticon()"), &ReturnsSeven);
  EXPECT_EQ(LookupRuntimeProcedure(table, "OnChangeToolListIcon"), nullptr);
  EXPECT_EQ(LookupRuntimeProcedure(table, "#ToolWindow"), nullptr);
  EXPECT_FALSE(LookupRuntimeNumber(table, "OnChangeToolListIcon()", &value));
}

TEST(RuntimeNames, FloatsAreTruncated) {
  RuntimeNameTable table;
  const std::pair<double, std::int64_t> cases[] = {
      {2.9, 2}, {-2.9, -2}, {0.5, 0}, {1e30, INT64_MAX}};
  for (const auto& [real, expected] : cases) {
    RegisterFloat(table, "#F", real);
    std::int64_t value = 0;
    EXPECT_TRUE(LookupRuntimeNumber(table, "#f", &value));
    EXPECT_EQ(value, expected) << real;
  }
}

TEST(RuntimeNames, VariablesAreReadAtLookupTime) {
  RuntimeNameTable table;
  std::int8_t byte = -5;
  std::int16_t word = -300;
  std::int32_t longValue = 70000;
  float single = 3.75f;
  double real = -8.5;
  std::uint16_t character = 0xFFFF;
  RegisterVariable(table, "#B", RuntimeEntryKind::kByte, &byte);
  RegisterVariable(table, "#W", RuntimeEntryKind::kWord, &word);
  RegisterVariable(table, "#L", RuntimeEntryKind::kLong, &longValue);
  RegisterVariable(table, "#S", RuntimeEntryKind::kFloatVariable, &single);
  RegisterVariable(table, "#D", RuntimeEntryKind::kDoubleVariable, &real);
  RegisterVariable(table, "#C", RuntimeEntryKind::kCharacter, &character);
  auto read = [&](const char* name) {
    std::int64_t value = 12345;
    EXPECT_TRUE(LookupRuntimeNumber(table, name, &value)) << name;
    return value;
  };
  EXPECT_EQ(read("#B"), -5);
  EXPECT_EQ(read("#W"), -300);
  EXPECT_EQ(read("#L"), 70000);
  EXPECT_EQ(read("#S"), 3);
  EXPECT_EQ(read("#D"), -8);
  EXPECT_EQ(read("#C"), 65535);
  byte = 100, longValue = -1, single = -0.9f;
  EXPECT_EQ(read("#B"), 100);
  EXPECT_EQ(read("#L"), -1);
  EXPECT_EQ(read("#S"), 0);
}

TEST(RuntimeNames, LaterRegistrationReplacesEarlierOne) {
  RuntimeNameTable table;
  RegisterInteger(table, "#X", 1);
  RegisterInteger(table, "#x", 2);
  EXPECT_EQ(table.entries.size(), 1u);
  std::int64_t value = 0;
  EXPECT_TRUE(LookupRuntimeNumber(table, "#X", &value));
  EXPECT_EQ(value, 2);
}

}  // namespace
}  // namespace dialog

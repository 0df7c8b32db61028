#include "core/property_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

struct PrefixCase {
  std::int64_t handle;
  const char* prefix;
};

const PrefixCase kPrefixes[] = {
    {0, "0"},
    {1, "1"},
    {0x1F4, "1F4"},
    {0xABCDEF, "ABCDEF"},
    {0x10, "10"},
    {0x7FFFFFFF, "7FFFFFFF"},
    {0x100000000LL, "100000000"},
    {std::numeric_limits<std::int64_t>::max(), "7FFFFFFFFFFFFFFF"},
    {-1, "FFFFFFFFFFFFFFFF"},
    {-2, "FFFFFFFFFFFFFFFE"},
    {std::numeric_limits<std::int64_t>::min(), "8000000000000000"},
};

TEST(PropertyNames, PrefixIsUpperHexWithoutLeadingZeros) {
  for (const PrefixCase& c : kPrefixes) {
    EXPECT_EQ(core::PropertyPrefix(c.handle), c.prefix) << c.handle;
    std::string appended = "x";
    core::AppendPropertyPrefix(appended, c.handle);
    EXPECT_EQ(appended, std::string("x") + c.prefix);
  }
}

TEST(PropertyNames, HandleValueWidensAsSigned) {
  EXPECT_EQ(core::HandleValue(nullptr), 0);
  EXPECT_EQ(core::HandleValue(reinterpret_cast<void*>(0x1F4)), 0x1F4);
  EXPECT_EQ(core::HandleValue(reinterpret_cast<void*>(std::intptr_t{-1})), -1);
}

struct NameCase {
  std::string (*build)(std::int64_t);
  const char* expected;
};

TEST(PropertyNames, PluginNames) {
  const NameCase cases[] = {
      {core::ProcessIdPropertyName, "1F4.Plugin.ProcessId"},
      {core::ToolPropertyName, "1F4.Plugin.Tool"},
      {core::UpdateDatePropertyName, "1F4.Plugin.UpdateDate"},
      {core::SciPropertyName, "1F4.Plugin.Sci"},
      {core::LineToFormatPropertyName, "1F4.Plugin.LineToFormat"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(c.build(0x1F4), c.expected);
}

TEST(PropertyNames, SettingName) {
  EXPECT_EQ(core::SettingPropertyName(0x1F4, "StringHelpers", "UseCtrlEnter"),
            "1F4.Settings.StringHelpers.UseCtrlEnter.Value");
  EXPECT_EQ(core::SettingPropertyName(0, "G", "K"), "0.Settings.G.K.Value");
  std::string reused = "left over text";
  core::BuildSettingPropertyName(reused, -1, "CodeBeautifier", "Comma");
  EXPECT_EQ(reused, "FFFFFFFFFFFFFFFF.Settings.CodeBeautifier.Comma.Value");
}

}  // namespace

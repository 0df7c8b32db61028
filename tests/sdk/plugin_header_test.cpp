// vorpex_plugin.h from C++ (the sample plugin compiles it as C): the property names it builds
// are the host's, for any handle of either word size, and a name that does not fit is refused.
#include <gtest/gtest.h>

#include <string>

#include "vorpex_plugin.h"

namespace {

HWND Handle(long long value) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(value)); }

std::wstring SettingName(HWND ide, const wchar_t* group, const wchar_t* key,
                         size_t capacity = 256) {
  wchar_t name[256] = {L'x'};
  if (!VorpexSettingName(ide, group, key, name, capacity))
    return L"(refused: '" + std::wstring(name) + L"')";
  return name;
}

TEST(PluginHeader, SettingNamesFollowTheHostsRule) {
  struct Case {
    long long handle;
    const wchar_t* expected;
  } const cases[] = {
      {0x1F4, L"1F4.Settings.StringHelpers.UseCtrlEnter.Value"},
      {0, L"0.Settings.StringHelpers.UseCtrlEnter.Value"},
      {0xABCDEF, L"ABCDEF.Settings.StringHelpers.UseCtrlEnter.Value"},
      // A handle with the sign bit of its word size set is widened with its sign.
      {-2, L"FFFFFFFFFFFFFFFE.Settings.StringHelpers.UseCtrlEnter.Value"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SettingName(Handle(c.handle), L"StringHelpers", L"UseCtrlEnter"), c.expected)
        << c.handle;
}

TEST(PluginHeader, PrefixAndPropertyNames) {
  wchar_t prefix[VORPEX_PREFIX_MAX + 1];
  EXPECT_EQ(VorpexPropertyPrefix(Handle(0x30A2C), prefix), 5u);
  EXPECT_STREQ(prefix, L"30A2C");
  wchar_t name[32];
  ASSERT_TRUE(VorpexPropertyName(Handle(0x30A2C), L".Plugin.Tool", name, 32));
  EXPECT_STREQ(name, L"30A2C.Plugin.Tool");
}

TEST(PluginHeader, NamesThatDoNotFitAreRefusedAndLeaveAnEmptyText) {
  const std::wstring full = L"1F4.Settings.G.K.Value";  // 22 characters
  EXPECT_EQ(SettingName(Handle(0x1F4), L"G", L"K", full.size() + 1), full);
  EXPECT_EQ(SettingName(Handle(0x1F4), L"G", L"K", full.size()), L"(refused: '')");
  EXPECT_EQ(SettingName(Handle(0x1F4), L"G", L"K", 3), L"(refused: '')");
  wchar_t name[4] = {L'x'};
  EXPECT_FALSE(VorpexPropertyName(Handle(0x1F4), L".Plugin.Tool", name, 4));
  EXPECT_EQ(name[0], L'\0');
}

// The settings of a window as the plugin reads them: absent reads 0.
TEST(PluginHeader, ReadSettingIsTheWindowProperty) {
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  EXPECT_EQ(VorpexReadSetting(window, L"SamplePlugin", L"MarkNumber"), 0);
  wchar_t name[128];
  ASSERT_TRUE(VorpexSettingName(window, L"SamplePlugin", L"MarkNumber", name, 128));
  SetPropW(window, name, reinterpret_cast<HANDLE>(INT_PTR(42)));
  EXPECT_EQ(VorpexReadSetting(window, L"SamplePlugin", L"MarkNumber"), 42);
  RemovePropW(window, name);
  DestroyWindow(window);
}

}  // namespace

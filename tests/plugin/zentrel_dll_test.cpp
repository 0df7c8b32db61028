// Zentrel.dll as the host sees it: loaded by path, its three exports found by name (and no
// other hook procedure), the fragment equal to the catalogue, the debug text valid for any mode.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "os/os.h"
#include "plugin/settings_catalogue.h"

#ifndef ZENTREL_DLL_PATH
#error "ZENTREL_DLL_PATH names the built library"
#endif

namespace {

using RetrieveFragment = const char16_t*(VORPEX_STDCALL*)();
using RetrieveDebug = const char16_t*(VORPEX_STDCALL*)(std::intptr_t, const char16_t*);

class ZentrelDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = os::LoadLibrary(ZENTREL_DLL_PATH);
    ASSERT_NE(module, nullptr) << ZENTREL_DLL_PATH;
  }
  void TearDown() override {
    if (module != nullptr) os::FreeLibrary(module);
  }
  os::Module module = nullptr;
};

TEST_F(ZentrelDllTest, ExportsExactlyTheThreeProcedures) {
  EXPECT_NE(os::GetProcAddress(module, "OnHookCallbackComplete"), nullptr);
  EXPECT_NE(os::GetProcAddress(module, "RetrievePluginXMLDialog"), nullptr);
  EXPECT_NE(os::GetProcAddress(module, "RetrievePluginDebug"), nullptr);
  EXPECT_EQ(os::GetProcAddress(module, "OnHookCallback"), nullptr);
  EXPECT_EQ(os::GetProcAddress(module, "OnHookMouse"), nullptr);
}

TEST_F(ZentrelDllTest, FragmentIsTheCatalogue) {
  auto retrieve =
      reinterpret_cast<RetrieveFragment>(os::GetProcAddress(module, "RetrievePluginXMLDialog"));
  ASSERT_NE(retrieve, nullptr);
  EXPECT_EQ(std::u16string_view(retrieve()), SettingsCatalogue());
  EXPECT_EQ(std::u16string_view(retrieve()), std::u16string_view(retrieve()));
}

TEST_F(ZentrelDllTest, DebugTextForAnUnknownWindow) {
  auto debug = reinterpret_cast<RetrieveDebug>(os::GetProcAddress(module, "RetrievePluginDebug"));
  ASSERT_NE(debug, nullptr);
  EXPECT_EQ(std::u16string_view(debug(0, u"Props")), u"");
  EXPECT_EQ(std::u16string_view(debug(0, u"Scintilla")), u"");
  EXPECT_EQ(std::u16string_view(debug(0, u"Controls")), u"");
  EXPECT_EQ(std::u16string_view(debug(0, nullptr)), u"");
  const std::u16string styles(debug(0, u"Styles"));
  EXPECT_EQ(std::count(styles.begin(), styles.end(), u'\n'), 256);
  EXPECT_EQ(styles.substr(0, 75),
            u"style[0]\tfore-color (  0,  0,  0)\tback-color (  0,  0,  0)\tis-invisible is-");
}

}  // namespace

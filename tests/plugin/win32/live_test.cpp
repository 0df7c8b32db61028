// Zentrel.dll live in standin-ide.exe under Wine: the library loaded into the IDE by a thread
// hook as the tool host installs it, the settings published at their catalogue defaults with the
// host's own code, and the editor driven with real input from this process.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "core/property_names.h"
#include "core/utf.h"
#include "host/dialog/element_tree.h"
#include "host/dialog_tree.h"
#include "host/splice.h"
#include "host/tool_host.h"
#include "iface/scintilla.h"
#include "plugin/settings_catalogue.h"
#include "tests/ide/win32/driver.h"

namespace {

using namespace standin_test;

void PublishSetting(HWND ide, const char* group, const char* key, std::intptr_t value) {
  const std::string name = core::SettingPropertyName(core::HandleValue(ide), group, key);
  SetPropW(ide, reinterpret_cast<LPCWSTR>(core::Utf8ToUtf16(name).c_str()),
           reinterpret_cast<HANDLE>(value));
}

// Every option at its default, as a first-run host publishes them.
void PublishDefaults(HWND ide) {
  const std::int64_t handle = core::HandleValue(ide);
  const std::string fragment = core::Utf16ToUtf8(SettingsCatalogue());
  dialog::Document document = dialog::ParseDescriptionUtf8(
      SpliceFragment(kToolWindowDescription, TagFragment(fragment, 1, handle)));
  ASSERT_TRUE(document.ok());
  PluginTable table;
  table.Add(ide, nullptr);
  dialog::RuntimeNameTable names;
  RegisterHostRuntimeNames(names);
  int counter = 0;
  DialogTreeWalk walk{table, names, counter};
  ReadDialogTree(walk, *document.root);
  for (const OptionContainer& container : table.entries[0].containers) {
    for (const auto& [key, value] : container.values) {
      PublishSetting(ide, container.name.c_str(), key.c_str(), static_cast<std::intptr_t>(value));
    }
  }
  SetPropW(
      ide,
      reinterpret_cast<LPCWSTR>(core::Utf8ToUtf16(core::UpdateDatePropertyName(handle)).c_str()),
      reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(GetTickCount())));
}

std::intptr_t IdeProperty(HWND ide, const std::string& suffix) {
  const std::string name = core::PropertyPrefix(core::HandleValue(ide)) + suffix;
  return reinterpret_cast<std::intptr_t>(
      GetPropW(ide, reinterpret_cast<LPCWSTR>(core::Utf8ToUtf16(name).c_str())));
}

class ZentrelLive : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartIde(WindowsPath(STANDIN_IDE_EXE), L"", &ide_))
        << "standin-ide.exe did not start";
    PublishDefaults(ide_.main);
    library_ = LoadLibraryW(WindowsPath(ZENTREL_DLL).c_str());
    ASSERT_NE(library_, nullptr);
    auto procedure = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(library_, "OnHookCallbackComplete")));
    ASSERT_NE(procedure, nullptr);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, procedure, library_, ide_.thread);
    ASSERT_NE(hook_, nullptr);
    SendMessageW(ide_.main, WM_NULL, 0, 0);  // maps the library into the IDE
    editor_ = ActiveEditor(ide_.main);
    ASSERT_NE(editor_, nullptr);
    ASSERT_TRUE(BringToFront(ide_.main)) << "the IDE did not come to the front";
  }

  void TearDown() override {
    if (hook_) UnhookWindowsHookEx(hook_);
    StopIde(&ide_);
    if (library_) FreeLibrary(library_);
  }

  bool WaitForText(const std::string& wanted) const {
    return WaitFor([&] { return EditorText(editor_) == wanted; });
  }

  IdeProcess ide_;
  HMODULE library_ = nullptr;
  HHOOK hook_ = nullptr;
  HWND editor_ = nullptr;
};

TEST_F(ZentrelLive, TypedQuoteIsClosedAndTheActiveEditorIsPublished) {
  TypeText(L"x = \"");
  EXPECT_TRUE(WaitForText("x = \"\"")) << EditorText(editor_);
  EXPECT_TRUE(WaitFor([&] {
    return IdeProperty(ide_.main, ".Plugin.Sci") == reinterpret_cast<std::intptr_t>(editor_);
  })) << IdeProperty(ide_.main, ".Plugin.Sci");
  EXPECT_NE(IdeProperty(ide_.main, ".Plugin.UpdateDate"), 0);
  // The quote and its closing quote undo together.
  Chord({VK_CONTROL}, 'Z');
  EXPECT_TRUE(WaitForText("x = ")) << EditorText(editor_);
}

TEST_F(ZentrelLive, EnterInACommentBlockContinuesItOnceInCrLf) {
  TypeText(L"; a\n; b");
  ASSERT_TRUE(WaitForText("; a\r\n; b")) << EditorText(editor_);
  SendMessageW(editor_, sci::SCI_GOTOPOS, 3, 0);
  TypeText(L"\n");
  EXPECT_TRUE(WaitForText("; a\r\n; \r\n; b")) << EditorText(editor_);
}

// The paste runs the whole re-indent sequence: formatting, the IDE's Ctrl+I synthesised from
// inside the hook, the caret put back, one undo step.
TEST_F(ZentrelLive, PastedLinesAreFormattedAndReindentedByTheIde) {
  // The block is typed whole: no end keyword from the plugin.
  PublishSetting(ide_.main, "CodeHelpers", "AutocompEndKeywordNewLine", 0);
  TypeText(L"If a\n\nEndIf");
  ASSERT_TRUE(WaitForText("If a\r\n\r\nEndIf")) << EditorText(editor_);
  SendMessageW(editor_, sci::SCI_GOTOPOS, 6, 0);
  ASSERT_TRUE(SetClipboardText(L"b  =  1\r\nc = 2\r\n"));
  Chord({VK_CONTROL}, 'V');
  // The IDE's re-indent may or may not indent the empty line that holds the caret.
  EXPECT_TRUE(WaitFor([&] {
    const std::string text = EditorText(editor_);
    return text == "If a\r\n  b=1\r\n  c=2\r\n  \r\nEndIf" ||
           text == "If a\r\n  b=1\r\n  c=2\r\n\r\nEndIf";
  })) << EditorText(editor_);
  // The caret at the same distance (0) from the first non-blank of its line as before.
  EXPECT_TRUE(WaitFor([&] {
    return SendMessageW(editor_, sci::SCI_GETCURRENTPOS, 0, 0) ==
           SendMessageW(editor_, sci::SCI_GETLINEINDENTPOSITION, 3, 0);
  })) << SendMessageW(editor_, sci::SCI_GETCURRENTPOS, 0, 0);
  Chord({VK_CONTROL}, 'Z');
  EXPECT_TRUE(WaitForText("If a\r\nb  =  1\r\nc = 2\r\n\r\nEndIf")) << EditorText(editor_);
}

TEST_F(ZentrelLive, AChangedOptionTakesEffectOnTheNextCharacter) {
  const std::int64_t handle = core::HandleValue(ide_.main);
  const std::u16string name = core::Utf8ToUtf16(
      core::SettingPropertyName(handle, "StringHelpers", "AutocompStringInsertion"));
  SetPropW(ide_.main, reinterpret_cast<LPCWSTR>(name.c_str()), reinterpret_cast<HANDLE>(0));
  TypeText(L"x = \"");
  ASSERT_TRUE(WaitForText("x = \"")) << EditorText(editor_);
  SetPropW(ide_.main, reinterpret_cast<LPCWSTR>(name.c_str()), reinterpret_cast<HANDLE>(1));
  Chord({VK_CONTROL}, 'A');
  TypeText(L"y = \"");
  EXPECT_TRUE(WaitForText("y = \"\"")) << EditorText(editor_);
}

}  // namespace

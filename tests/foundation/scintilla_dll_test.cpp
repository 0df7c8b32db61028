// The Scintilla.dll that setup builds, under Wine: the plugin's searches through the editor's
// messages give what the document core gives natively, and the control reports notifications
// with the IDE's 32-bit record.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "iface/scintilla.h"
#include "search_cases.h"

// The plugin's numbers, taken before Scintilla.h turns the same names into macros.
namespace plugin {
constexpr std::uint32_t kFlags = sci::SCFIND_REGEXP | sci::SCFIND_POSIX;
constexpr std::uint32_t kFindText = sci::SCI_FINDTEXT;
constexpr std::uint32_t kGetTag = sci::SCI_GETTAG;
constexpr std::uint32_t kReplaceTargetRe = sci::SCI_REPLACETARGETRE;
constexpr std::uint32_t kModified = sci::SCN_MODIFIED;
constexpr int kInsertText = sci::SC_MOD_INSERTTEXT;
}  // namespace plugin

#include "Scintilla.h"  // the narrowed header installed by setup

// The record the control fills is the one the plugin reads.
static_assert(sizeof(SCNotification) == sizeof(sci::Notification));
#define SAME_FIELD(field)                                                                \
  static_assert(offsetof(SCNotification, field) == offsetof(sci::Notification, field) && \
                    sizeof(SCNotification::field) == sizeof(sci::Notification::field),   \
                #field)
SAME_FIELD(nmhdr);
SAME_FIELD(position);
SAME_FIELD(ch);
SAME_FIELD(modifiers);
SAME_FIELD(modificationType);
SAME_FIELD(text);
SAME_FIELD(length);
SAME_FIELD(linesAdded);
SAME_FIELD(message);
SAME_FIELD(wParam);
SAME_FIELD(lParam);
SAME_FIELD(line);
SAME_FIELD(foldLevelNow);
SAME_FIELD(foldLevelPrev);
SAME_FIELD(margin);
SAME_FIELD(listType);
SAME_FIELD(x);
SAME_FIELD(y);
SAME_FIELD(token);
SAME_FIELD(annotationLinesAdded);
SAME_FIELD(updated);
SAME_FIELD(listCompletionMethod);
SAME_FIELD(characterSource);
#undef SAME_FIELD
static_assert(sizeof(Sci_TextToFind) == sizeof(sci::TextToFind));
static_assert(offsetof(Sci_TextToFind, chrgText) == offsetof(sci::TextToFind, chrgText));
static_assert(plugin::kFlags == (SCFIND_REGEXP | SCFIND_POSIX));
static_assert(plugin::kFindText == SCI_FINDTEXT && plugin::kGetTag == SCI_GETTAG &&
              plugin::kReplaceTargetRe == SCI_REPLACETARGETRE);
static_assert(plugin::kModified == SCN_MODIFIED && plugin::kInsertText == SC_MOD_INSERTTEXT);

namespace {

// Notifications the editor sent to its parent, copied field by field through the plugin's record.
struct Seen {
  std::uint32_t code;
  std::int32_t position;
  int modificationType;
  std::string text;
  std::int32_t length;
  std::int32_t linesAdded;
  std::int32_t line;
  std::int32_t annotationLinesAdded;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* n = reinterpret_cast<const sci::Notification*>(lParam);
    Seen s{n->nmhdr.code, n->position, n->modificationType,    {}, n->length,
           n->linesAdded, n->line,     n->annotationLinesAdded};
    if (n->nmhdr.code == SCN_MODIFIED && (n->modificationType & SC_MOD_INSERTTEXT) && n->text)
      s.text.assign(n->text, static_cast<std::size_t>(n->length));
    g_seen.push_back(s);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

class ScintillaDll : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryW((ExeFolder() + L"Scintilla.dll").c_str());
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VorpexFoundationParent";
    RegisterClassW(&wc);
  }

  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "Scintilla.dll did not load, error " << GetLastError();
    parent_ = CreateWindowExW(0, L"VorpexFoundationParent", L"parent", WS_OVERLAPPEDWINDOW, 0, 0,
                              600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    editor_ = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, parent_,
                              reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(editor_, nullptr) << "no Scintilla window, error " << GetLastError();
    Send(SCI_SETCODEPAGE, SC_CP_UTF8);
    g_seen.clear();
  }

  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(editor_, message, wParam, lParam);
  }
  LRESULT Send(UINT message, WPARAM wParam, const char* text) {
    return Send(message, wParam, reinterpret_cast<LPARAM>(text));
  }

  std::string Text() {
    std::string text(static_cast<std::size_t>(Send(SCI_GETLENGTH)) + 1, '\0');
    Send(SCI_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.pop_back();
    return text;
  }

  std::string Tag(int n) {
    const LRESULT length = Send(SCI_GETTAG, n, LPARAM{0});
    std::string tag(static_cast<std::size_t>(length) + 1, '\0');
    Send(SCI_GETTAG, n, reinterpret_cast<LPARAM>(tag.data()));
    tag.resize(static_cast<std::size_t>(length));
    return tag;
  }

  static HMODULE module_;
  HWND parent_ = nullptr;
  HWND editor_ = nullptr;
};
HMODULE ScintillaDll::module_ = nullptr;

class ScintillaDllSearch : public ScintillaDll, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(ScintillaDllSearch, FindsGroupsAndReplacesWithTemplate) {
  const SearchCase& c = GetParam();
  Send(SCI_SETTEXT, 0, c.text);
  ASSERT_EQ(Text(), c.text);

  sci::TextToFind find{};
  find.chrg.cpMin = c.from;
  find.chrg.cpMax = c.to < 0 ? static_cast<std::int32_t>(Send(SCI_GETLENGTH)) : c.to;
  find.lpstrText = c.pattern;
  const LRESULT found = Send(SCI_FINDTEXT, plugin::kFlags, reinterpret_cast<LPARAM>(&find));
  ASSERT_EQ(found, c.position);
  if (found < 0) return;
  EXPECT_EQ(find.chrgText.cpMin, c.position);
  EXPECT_EQ(find.chrgText.cpMax - find.chrgText.cpMin, c.length);
  EXPECT_EQ(Tag(1), c.group1);
  EXPECT_EQ(Tag(2), c.group2);

  // SCI_FINDTEXT does not set the target; SCI_REPLACETARGETRE uses the last match's groups.
  Send(SCI_SETTARGETSTART, find.chrgText.cpMin);
  Send(SCI_SETTARGETEND, find.chrgText.cpMax);
  Send(SCI_REPLACETARGETRE, static_cast<WPARAM>(-1), c.replacement);
  EXPECT_EQ(Text(), c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScintillaDllSearch, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<SearchCase>& info) {
                           return std::string(info.param.name);
                         });

// An insertion of two lines reports its position, length, text and lines through the 32-bit record.
TEST_F(ScintillaDll, InsertionIsReportedWithTheIdesRecord) {
  Send(SCI_SETTEXT, 0, "first\nsecond\n");
  g_seen.clear();
  Send(SCI_INSERTTEXT, 6, "ab\ncd\n");
  const Seen* insert = nullptr;
  for (const Seen& s : g_seen)
    if (s.code == SCN_MODIFIED && (s.modificationType & SC_MOD_INSERTTEXT)) insert = &s;
  ASSERT_NE(insert, nullptr) << g_seen.size() << " notifications, none an insertion";
  EXPECT_EQ(insert->position, 6);
  EXPECT_EQ(insert->length, 6);
  EXPECT_EQ(insert->linesAdded, 2);
  EXPECT_EQ(insert->text, "ab\ncd\n");
}

// An annotation reports the line it belongs to and the lines it adds: the last two narrowed fields.
TEST_F(ScintillaDll, AnnotationIsReportedWithTheIdesRecord) {
  Send(SCI_SETTEXT, 0, "a\nb\nc\nd\n");
  Send(SCI_ANNOTATIONSETVISIBLE, ANNOTATION_STANDARD);
  g_seen.clear();
  Send(SCI_ANNOTATIONSETTEXT, 3, "one\ntwo\nthree");
  const Seen* annotation = nullptr;
  for (const Seen& s : g_seen)
    if (s.code == SCN_MODIFIED && (s.modificationType & SC_MOD_CHANGEANNOTATION)) annotation = &s;
  ASSERT_NE(annotation, nullptr) << g_seen.size() << " notifications, none an annotation change";
  EXPECT_EQ(annotation->line, 3);
  EXPECT_EQ(annotation->annotationLinesAdded, 3);
}

}  // namespace

// The headless IDE: window marker, styling, Ctrl+I, paste, word highlighting, focus, idle loop.
#include "ide/headless/headless_ide.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/lexer.h"
#include "iface/ide.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"

namespace {

using headless::Ide;
using headless::KeyChord;

// What a WH_CALLWNDPROCRET hook saw: messages to editors and the editors' notifications.
struct HookLog {
  std::vector<std::uint32_t> messages;  // messages processed by an editor
  std::vector<std::uint32_t> codes;     // WM_NOTIFY codes
  std::vector<int> updates;             // `updated` of each SCN_UPDATEUI
};
HookLog* g_log = nullptr;

os::LResult RecordingHook(int code, os::WParam wParam, os::LParam lParam) {
  if (code == os::kHC_ACTION && g_log) {
    const auto& record = *reinterpret_cast<const os::CallWndRetRecord*>(lParam);
    if (record.message == os::kWM_NOTIFY) {
      const auto& scn = *reinterpret_cast<const sci::Notification*>(record.lParam);
      g_log->codes.push_back(scn.nmhdr.code);
      if (scn.nmhdr.code == sci::SCN_UPDATEUI) g_log->updates.push_back(scn.updated);
    } else if (os::GetClassName(record.hwnd, 100) == "Scintilla") {
      g_log->messages.push_back(record.message);
    }
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

class HeadlessIdeTest : public testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    g_log = &log;
    ide = std::make_unique<Ide>();
    os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, &RecordingHook, nullptr, os::sim::GuiThreadId());
  }
  void TearDown() override {
    ide.reset();
    g_log = nullptr;
    os::sim::Reset();
  }
  os::LResult Send(std::uint32_t message, os::WParam wParam = 0, os::LParam lParam = 0) {
    return os::SendMessage(ide->Current().Window(), message, wParam, lParam);
  }
  void SetText(const std::string& text) {
    Send(sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(text.c_str()));
    Send(sci::SCI_EMPTYUNDOBUFFER);
    ide->Idle();
    log = HookLog{};
  }
  void Type(const std::string& text) {
    for (char c : text) {
      ide->TypeCharacter(std::string(1, c));
      ide->Idle();
    }
  }
  void QueueCtrlI() {
    os::KeybdEvent(os::kVK_CONTROL, 0, 0);
    os::KeybdEvent(os::kVK_I, 0, 0);
    os::KeybdEvent(os::kVK_I, 0, os::kKEYEVENTF_KEYUP);
    os::KeybdEvent(os::kVK_CONTROL, 0, os::kKEYEVENTF_KEYUP);
  }

  HookLog log;
  std::unique_ptr<Ide> ide;
};

TEST_F(HeadlessIdeTest, EveryWindowCarriesPbId) {
  ide->Switch("second");
  EXPECT_NE(os::GetProp(ide->MainWindow(), "PB_ID"), 0);
  EXPECT_NE(os::GetProp(ide->Find("main")->Window(), "pb_id"), 0);
  EXPECT_NE(os::GetProp(ide->Find("second")->Window(), "PB_ID"), 0);
  EXPECT_EQ(os::GetRootAncestor(ide->Find("second")->Window()), ide->MainWindow());
  EXPECT_EQ(os::EnumChildWindows(ide->MainWindow()).size(), 2u);
}

TEST_F(HeadlessIdeTest, EditorsAreSetUpAsTheWin32StandInSetsThem) {
  EXPECT_EQ(Send(sci::SCI_GETEOLMODE), sci::SC_EOL_CRLF);
  EXPECT_EQ(Send(2125 /* SCI_GETUSETABS */), 0);
  EXPECT_EQ(Send(2121 /* SCI_GETTABWIDTH */), 2);
  EXPECT_EQ(Send(2123 /* SCI_GETINDENT */), 2);
  EXPECT_EQ(Send(sci::SCI_STYLEGETFORE, sci::STYLE_KEYWORD), ide::Rgb(0, 64, 160));
  EXPECT_EQ(Send(sci::SCI_STYLEGETBOLD, sci::STYLE_KEYWORD), 1);
  EXPECT_EQ(Send(sci::SCI_STYLEGETBOLD, sci::STYLE_COMMENT), 0);
  EXPECT_EQ(Send(2482 /* SCI_STYLEGETBACK */, 33), ide::Rgb(236, 236, 236));
  EXPECT_EQ(Send(2482 /* SCI_STYLEGETBACK */, 0), ide::Rgb(255, 255, 255));
  EXPECT_EQ(Send(sci::SCI_INDICGETSTYLE, 2), 7);
  EXPECT_EQ(Send(2511 /* SCI_INDICGETUNDER */, 2), 1);
}

TEST_F(HeadlessIdeTest, TabIndentsWithBlanks) {
  SetText("If a\r\nb");
  Send(sci::SCI_GOTOPOS, 6);
  ide->PressKey({headless::kKeyTab, 0});
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  b");
  Send(sci::SCI_GOTOPOS, 9);
  ide->PressKey({headless::kKeyTab, 0});
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  b ");  // after text: blanks to the next tab stop
}

TEST_F(HeadlessIdeTest, TypedTextIsStyledByTheLexerAtIdle) {
  Type("If Foo(#A) ; x");
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 0), sci::STYLE_KEYWORD);
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 3), sci::STYLE_PROCEDURE);
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 7), sci::STYLE_CONSTANT);
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 11), sci::STYLE_COMMENT);
}

TEST_F(HeadlessIdeTest, QueuedCtrlIReindentsWithContentThenSelectionUpdate) {
  SetText("If a\r\nb\r\nEndIf");
  Send(sci::SCI_SETSEL, 0, 13);
  ide->Idle();
  log = HookLog{};
  QueueCtrlI();
  ide->Idle();
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  b\r\nEndIf");
  // Content first, reported on its own; then the selection, in a later update.
  ASSERT_GE(log.updates.size(), 2u);
  EXPECT_EQ(log.updates[0] & sci::SC_UPDATE_CONTENT, sci::SC_UPDATE_CONTENT);
  EXPECT_EQ(log.updates[0] & sci::SC_UPDATE_SELECTION, 0);
  EXPECT_EQ(log.updates[1], sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(Send(sci::SCI_GETANCHOR), 0);
  EXPECT_EQ(Send(sci::SCI_GETCURRENTPOS), 15);  // before the "f" of EndIf, as it was
}

TEST_F(HeadlessIdeTest, ReindentIsOneEditEvenWhenNothingChanges) {
  SetText("If a\r\n  b\r\nEndIf");
  Send(sci::SCI_GOTOPOS, 8);
  ide->Idle();
  log = HookLog{};
  ide->PressKey({'I', headless::kModCtrl});
  ide->Idle();
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  b\r\nEndIf");
  ASSERT_FALSE(log.updates.empty());
  EXPECT_EQ(log.updates[0] & sci::SC_UPDATE_CONTENT, sci::SC_UPDATE_CONTENT);
  EXPECT_EQ(Send(sci::SCI_GETCURRENTPOS), 8);  // the caret keeps its place after the indent
  Send(sci::SCI_UNDO);
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  b\r\nEndIf");
}

TEST_F(HeadlessIdeTest, ReindentKeepsTheCaretRelativeToTheIndent) {
  SetText("If a\r\n\tbc\r\nEndIf");
  Send(sci::SCI_GOTOPOS, 8);  // between b and c
  ide->PressKey({'I', headless::kModCtrl});
  ide->Idle();
  EXPECT_EQ(ide->Current().Text(), "If a\r\n  bc\r\nEndIf");
  EXPECT_EQ(Send(sci::SCI_GETCURRENTPOS), 9);
}

TEST_F(HeadlessIdeTest, IgnoredKeyDoesNothing) {
  SetText("If a\r\nb\r\nEndIf");
  ide->IgnoreKey({'I', headless::kModCtrl});
  QueueCtrlI();
  ide->Idle();
  EXPECT_EQ(ide->Current().Text(), "If a\r\nb\r\nEndIf");
}

TEST_F(HeadlessIdeTest, PasteIsSciPasteToTheEditor) {
  SetText("ab");
  Send(sci::SCI_GOTOPOS, 1);
  ide->Paste("x\ny");
  EXPECT_EQ(ide->Current().Text(), "ax\r\nyb");
  EXPECT_NE(std::find(log.messages.begin(), log.messages.end(), sci::SCI_PASTE),
            log.messages.end());
}

TEST_F(HeadlessIdeTest, SelectedWordIsHighlightedWithIndicatorTwo) {
  SetText("abc = abc + abcd");
  Send(sci::SCI_SETSEL, 0, 3);
  ide->Idle();
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 6), 1);
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 0), 0);
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 12), 0);
  Send(sci::SCI_GOTOPOS, 1);
  ide->Idle();
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 6), 0);
}

TEST_F(HeadlessIdeTest, SwitchingEditorsMovesTheFocus) {
  ide->Focus();
  log = HookLog{};
  ide->Switch("other");
  EXPECT_EQ(log.codes, (std::vector<std::uint32_t>{2029, sci::SCN_FOCUSIN}));
  EXPECT_TRUE(ide->Find("other")->HasFocus());
  EXPECT_FALSE(ide->Find("main")->HasFocus());
}

TEST_F(HeadlessIdeTest, FocusAgainIsReportedAgain) {
  ide->Focus();
  ide->Focus();
  EXPECT_EQ(log.codes, (std::vector<std::uint32_t>{sci::SCN_FOCUSIN, 2029, sci::SCN_FOCUSIN}));
}

TEST_F(HeadlessIdeTest, KeysQueuedWhileUpdateIsHandledArriveBeforeTheNextPaint) {
  SetText("x");
  // Queue a key from inside the first update, as a hook does with keybd_event.
  static bool queued;
  queued = false;
  static os::LResult (*const queueing)(int, os::WParam, os::LParam) =
      [](int code, os::WParam wParam, os::LParam lParam) -> os::LResult {
    const auto& record = *reinterpret_cast<const os::CallWndRetRecord*>(lParam);
    if (record.message == os::kWM_NOTIFY && !queued) {
      const auto& scn = *reinterpret_cast<const sci::Notification*>(record.lParam);
      if (scn.nmhdr.code == sci::SCN_UPDATEUI) {
        queued = true;
        os::KeybdEvent('Q', 0, 0);
        os::KeybdEvent('Q', 0, os::kKEYEVENTF_KEYUP);
      }
    }
    return os::CallNextHookEx(nullptr, code, wParam, lParam);
  };
  os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, queueing, nullptr, os::sim::GuiThreadId());
  Send(sci::SCI_GOTOPOS, 1);
  ide->Idle();
  EXPECT_TRUE(queued);
  EXPECT_EQ(ide->Current().Text(), "xq");
  EXPECT_FALSE(os::sim::HasQueuedInput());
}

TEST(KeyChordNames, ParseTheScenarioNames) {
  struct Case {
    const char* name;
    bool ok;
    int key, modifiers;
  };
  const Case cases[] = {{"Enter", true, headless::kKeyReturn, 0},
                        {"Ctrl+Enter", true, headless::kKeyReturn, headless::kModCtrl},
                        {"Ctrl+Z", true, 'Z', headless::kModCtrl},
                        {"Ctrl+I", true, 'I', headless::kModCtrl},
                        {"Shift+Insert", true, ide::kKeyInsert, headless::kModShift},
                        {"Shift+A", false, 0, 0},
                        {"Backspace", true, headless::kKeyBack, 0},
                        {"End", true, headless::kKeyEnd, 0},
                        {"Z", false, 0, 0},
                        {"Ctrl+", false, 0, 0},
                        {"enter", false, 0, 0},
                        {"F5", false, 0, 0}};
  for (const Case& c : cases) {
    KeyChord chord;
    EXPECT_EQ(headless::ParseKeyChord(c.name, &chord), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(chord.key, c.key) << c.name;
      EXPECT_EQ(chord.modifiers, c.modifiers) << c.name;
    }
  }
}

}  // namespace

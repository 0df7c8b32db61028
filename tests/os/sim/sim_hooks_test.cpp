// The simulation's hooks beyond what they share with Win32 (tests/os/os_contract_test.cpp):
// notifications nested in a hook's own edits, handles, threads, the kinds that never run, the
// send observer and the input queue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iface/scintilla.h"
#include "os/os.h"
#include "os/sim/sim.h"

namespace {

using os::Window;

constexpr std::uint32_t kInsert = 0x8001;  // the editor inserts and notifies its parent
constexpr std::uint32_t kQuery = 0x8002;   // answered with 1000 + wParam

std::vector<std::string> g_log;

os::LResult ParentProc(Window, std::uint32_t message, os::WParam, os::LParam lParam) {
  if (message == os::kWM_NOTIFY) {
    const auto* header = reinterpret_cast<const os::NotifyHeader*>(lParam);
    g_log.push_back("parent notify " + std::to_string(header->code));
  }
  return 0;
}

os::LResult EditorProc(Window editor, std::uint32_t message, os::WParam wParam, os::LParam) {
  if (message == kQuery) return 1000 + static_cast<os::LResult>(wParam);
  if (message == kInsert) {
    g_log.push_back("editor insert");
    const Window parent = os::sim::GetParent(editor);
    os::NotifyHeader modified{editor, 1, sci::SCN_MODIFIED};
    os::SendMessage(parent, os::kWM_NOTIFY, 1, reinterpret_cast<os::LParam>(&modified));
    os::NotifyHeader added{editor, 1, sci::SCN_CHARADDED};
    os::SendMessage(parent, os::kWM_NOTIFY, 1, reinterpret_cast<os::LParam>(&added));
    return 7;
  }
  return 0;
}

std::string Describe(const os::CallWndRetRecord& record) {
  std::string text = std::to_string(record.message);
  if (record.message == os::kWM_NOTIFY) {
    text += "/" + std::to_string(reinterpret_cast<const os::NotifyHeader*>(record.lParam)->code);
  }
  return text;
}

// Hook procedures: each logs what it sees and passes the message on.
os::LResult HookA(int code, os::WParam wParam, os::LParam lParam) {
  g_log.push_back("A " + Describe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam)));
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}
os::LResult HookB(int code, os::WParam wParam, os::LParam lParam) {
  g_log.push_back("B " + Describe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam)));
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}
os::LResult HookC(int code, os::WParam wParam, os::LParam lParam) {
  g_log.push_back("C " + Describe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam)));
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}
os::LResult Swallow(int, os::WParam, os::LParam lParam) {
  g_log.push_back("swallow " + Describe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam)));
  return 0;  // does not pass the message on
}

class SimHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    g_log.clear();
    os::sim::WindowSpec params;
    params.className = "IdeMain";
    params.procedure = ParentProc;
    main_ = os::sim::CreateWindow(params);
    params.className = "Scintilla";
    params.parent = main_;
    params.procedure = EditorProc;
    editor_ = os::sim::CreateWindow(params);
  }
  void TearDown() override { os::sim::Reset(); }

  static os::Hook Install(os::HookProc procedure, int kind = os::kWH_CALLWNDPROCRET) {
    return os::SetWindowsHookEx(kind, procedure, nullptr, os::sim::GuiThreadId());
  }

  Window main_ = nullptr;
  Window editor_ = nullptr;
};

TEST_F(SimHooks, CallNextHookExOutsideAChainReturnsZero) {
  Install(HookA);
  EXPECT_EQ(os::CallNextHookEx(nullptr, 0, 0, 0), 0);
  EXPECT_TRUE(g_log.empty());
}

// A hook that, like the plugin, edits the editor while it handles a notification: the nested
// notifications reach every hook before its own SendMessage returns, and its CallNextHookEx
// afterwards continues its own chain, not the nested one.
os::LResult EditingHook(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  g_log.push_back("E " + Describe(*record));
  if (record->message == os::kWM_NOTIFY &&
      reinterpret_cast<const os::NotifyHeader*>(record->lParam)->code == sci::SCN_CHARADDED) {
    const Window editor = reinterpret_cast<const os::NotifyHeader*>(record->lParam)->hwndFrom;
    static int depth = 0;
    if (depth == 0) {  // edit once, not again for the edit's own notification
      ++depth;
      g_log.push_back("E sends");
      const os::LResult result = os::SendMessage(editor, kInsert, 0, 0);
      g_log.push_back("E send returned " + std::to_string(result));
      --depth;
    }
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SimHooks, ReentrantHookSeesNestedMessagesBeforeItsSendReturns) {
  Install(HookA);
  Install(EditingHook);
  os::SendMessage(editor_, kInsert, 0, 0);
  const std::vector<std::string> expected = {
      "editor insert",
      "parent notify 2008",
      "E 78/2008",
      "A 78/2008",
      "parent notify 2001",
      "E 78/2001",
      "E sends",
      "editor insert",
      "parent notify 2008",
      "E 78/2008",
      "A 78/2008",
      "parent notify 2001",
      "E 78/2001",
      "A 78/2001",
      "E 32769",
      "A 32769",
      "E send returned 7",
      "A 78/2001",  // the outer chain goes on where it stopped
      "E 32769",
      "A 32769",
  };
  EXPECT_EQ(g_log, expected);
  EXPECT_EQ(os::sim::MessageDepth(), 0);
}

TEST_F(SimHooks, UnhookedHooksStopAndHandlesAreNotReused) {
  const os::Hook a = Install(HookA);
  const os::Hook b = Install(HookB);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_TRUE(os::UnhookWindowsHookEx(b));
  EXPECT_FALSE(os::UnhookWindowsHookEx(b));
  EXPECT_FALSE(os::UnhookWindowsHookEx(nullptr));
  EXPECT_EQ(os::sim::HookCount(os::kWH_CALLWNDPROCRET), 1);
  const os::Hook c = Install(HookC);
  EXPECT_NE(c, b);
  os::SendMessage(editor_, kQuery, 0, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"C 32770", "A 32770"}));
}

os::Hook g_selfRemoving = nullptr;
os::LResult RemovesItself(int code, os::WParam wParam, os::LParam lParam) {
  g_log.push_back("R");
  os::UnhookWindowsHookEx(g_selfRemoving);
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SimHooks, AHookMayRemoveItselfWhileRunning) {
  Install(HookA);
  g_selfRemoving = Install(RemovesItself);
  os::SendMessage(editor_, kQuery, 0, 0);
  os::SendMessage(editor_, kQuery, 0, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"R", "A 32770", "A 32770"}));
}

TEST_F(SimHooks, HooksCoverOnlyTheirThread) {
  os::sim::WindowSpec params;
  params.className = "ToolWindow";
  params.threadId = 0x999;
  const Window tool = os::sim::CreateWindow(params);
  Install(HookA);
  EXPECT_NE(os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, HookB, nullptr, 0x999), nullptr);
  os::SendMessage(tool, kQuery, 0, 0);
  os::SendMessage(editor_, kQuery, 0, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"B 32770", "A 32770"}));
  // No such thread, or no procedure: no hook.
  EXPECT_EQ(os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, HookA, nullptr, 0x12345), nullptr);
  EXPECT_EQ(os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, nullptr, nullptr, 0), nullptr);
}

TEST_F(SimHooks, HooksSeeDestroyAndRunAfterTheWindowIsGone) {
  static std::vector<Window> destroyed;
  destroyed.clear();
  Install([](int code, os::WParam wParam, os::LParam lParam) -> os::LResult {
    const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
    if (record->message == os::kWM_DESTROY) destroyed.push_back(record->hwnd);
    return os::CallNextHookEx(nullptr, code, wParam, lParam);
  });
  os::sim::DestroyWindow(main_);
  EXPECT_EQ(destroyed, (std::vector<Window>{main_, editor_}));
}

TEST_F(SimHooks, CallWndProcHooksRunBeforeTheProcedure) {
  Install(
      [](int code, os::WParam wParam, os::LParam lParam) -> os::LResult {
        const auto* record = reinterpret_cast<const os::CallWndRecord*>(lParam);
        g_log.push_back("before " + std::to_string(record->message) + " " +
                        std::to_string(record->wParam));
        return os::CallNextHookEx(nullptr, code, wParam, lParam);
      },
      os::kWH_CALLWNDPROC);
  Install(HookA);
  os::SendMessage(editor_, kInsert, 3, 0);
  EXPECT_EQ(g_log.front(), "before 32769 3");
  EXPECT_EQ(g_log.back(), "A 32769");
  EXPECT_EQ(g_log[1], "editor insert");
}

TEST_F(SimHooks, MouseHooksInstallButNeverRun) {
  EXPECT_NE(Install(Swallow, os::kWH_MOUSE), nullptr);
  EXPECT_EQ(os::sim::HookCount(os::kWH_MOUSE), 1);
  os::SendMessage(editor_, kQuery, 0, 0);
  EXPECT_TRUE(g_log.empty());
}

TEST_F(SimHooks, ObserverSeesEverySendBeforeTheTarget) {
  std::vector<std::string> seen;
  os::sim::SetSendObserver([&](Window w, std::uint32_t message, os::WParam, os::LParam) {
    seen.push_back(std::string(w == editor_ ? "editor "
                               : w == main_ ? "main "
                                            : "other ") +
                   std::to_string(message));
    g_log.push_back("observed " + std::to_string(message));
  });
  os::SendMessage(editor_, kInsert, 0, 0);
  os::SendMessage(nullptr, kQuery, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"editor 32769", "main 78", "main 78", "other 32770"}));
  EXPECT_EQ(g_log.front(), "observed 32769");
  EXPECT_EQ(g_log[1], "editor insert");
  os::sim::SetSendObserver(nullptr);
  os::SendMessage(editor_, kQuery, 0, 0);
  EXPECT_EQ(seen.size(), 4u);
}

// Synthesised keys wait for the IDE, after the current message.
os::LResult ShortcutHook(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message == kQuery) {
    os::KeybdEvent(os::kVK_CONTROL, 0, 0);
    os::KeybdEvent(os::kVK_I, 0, 0);
    os::KeybdEvent(os::kVK_I, 0, os::kKEYEVENTF_KEYUP);
    os::KeybdEvent(os::kVK_CONTROL, 0, os::kKEYEVENTF_KEYUP);
    // Not yet delivered: the key state is unchanged.
    EXPECT_EQ(os::GetAsyncKeyState(os::kVK_CONTROL), 0);
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SimHooks, SynthesisedKeysQueueInOrderUntilTaken) {
  Install(ShortcutHook);
  os::SendMessage(editor_, kQuery, 0, 0);
  ASSERT_TRUE(os::sim::HasQueuedInput());
  struct Step {
    std::uint8_t key;
    std::uint32_t flags;
    bool ctrlDownAfter;
  };
  const Step steps[] = {{os::kVK_CONTROL, 0, true},
                        {os::kVK_I, 0, true},
                        {os::kVK_I, os::kKEYEVENTF_KEYUP, true},
                        {os::kVK_CONTROL, os::kKEYEVENTF_KEYUP, false}};
  for (const Step& step : steps) {
    os::sim::KeyEvent event{};
    ASSERT_TRUE(os::sim::TakeKeyEvent(&event));
    EXPECT_EQ(event.virtualKey, step.key);
    EXPECT_EQ(event.flags, step.flags);
    EXPECT_EQ(os::GetAsyncKeyState(os::kVK_CONTROL) != 0, step.ctrlDownAfter);
  }
  EXPECT_FALSE(os::sim::HasQueuedInput());
  EXPECT_FALSE(os::sim::TakeKeyEvent(nullptr));
}

}  // namespace

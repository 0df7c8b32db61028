// The hook procedure's cost per message, natively on the simulated window system: a message
// that is none of the plugin's business (the vast majority), and an editor notification the
// dispatcher does not act on. Prints figures; asserts nothing.

#include <chrono>
#include <cstdio>

#include "iface/scintilla.h"
#include "os/sim/sim.h"
#include "plugin/exports.h"
#include "tests/plugin/fake_editor.h"

namespace {

double NanosecondsPerCall(const os::CallWndRetRecord& record, long calls) {
  const auto start = std::chrono::steady_clock::now();
  os::LResult sink = 0;
  for (long i = 0; i < calls; ++i) {
    sink += zentrel::OnHookCallbackComplete(0, 0, reinterpret_cast<os::LParam>(&record));
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  if (sink == 42) std::puts("");  // keeps the loop
  return std::chrono::duration<double, std::nano>(elapsed).count() / static_cast<double>(calls);
}

}  // namespace

int main() {
  FakeIde& ide = StartFakeIde();
  FakeEditor& editor = *ide.editors[0];
  NotifyUpdateUi(editor, 0);  // the IDE and its editor are known

  const long calls = 20000000;
  const os::CallWndRetRecord paint{0, 0, 0, 15, editor.window};  // WM_PAINT
  const os::CallWndRetRecord mouse{0, 0, 0, 0x200, ide.main};    // WM_MOUSEMOVE
  std::printf("hook: unrelated message (WM_PAINT to an editor): %.1f ns/call\n",
              NanosecondsPerCall(paint, calls));
  std::printf("hook: unrelated message (WM_MOUSEMOVE to the IDE): %.1f ns/call\n",
              NanosecondsPerCall(mouse, calls));

  sci::Notification painted{};
  painted.nmhdr = {editor.window, 1, sci::SCN_PAINTED};  // no helper acts on it
  const os::CallWndRetRecord notify{0, reinterpret_cast<os::LParam>(&painted), 1, os::kWM_NOTIFY,
                                    ide.main};
  std::printf("hook: editor notification without helper (SCN_PAINTED): %.1f ns/call\n",
              NanosecondsPerCall(notify, calls / 20));
  StopFakeIde();
  return 0;
}

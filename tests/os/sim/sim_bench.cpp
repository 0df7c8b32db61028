// Cost of the simulated window system's hot paths: what a hook procedure pays per message in
// the native scenario runs. Figures only; nothing is asserted.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/property_names.h"
#include "os/os.h"
#include "os/sim/sim.h"

namespace {

volatile os::LResult g_sink;

os::LResult PassOn(int code, os::WParam wParam, os::LParam lParam) {
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

os::LResult Answer(os::Window, std::uint32_t message, os::WParam, os::LParam) { return message; }

template <typename Body>
void Measure(const char* what, int count, Body body) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) body(i);
  const auto end = std::chrono::steady_clock::now();
  const double nanoseconds = std::chrono::duration<double, std::nano>(end - start).count();
  std::printf("%-58s %8.1f ns\n", what, nanoseconds / count);
}

}  // namespace

int main() {
  os::sim::Reset();
  os::sim::WindowSpec params;
  params.className = "IdeMain";
  const os::Window main = os::sim::CreateWindow(params);
  params.className = "Scintilla";
  params.parent = main;
  params.procedure = Answer;
  const os::Window editor = os::sim::CreateWindow(params);
  const std::int64_t ide = core::HandleValue(main);
  for (int i = 0; i < 60; ++i) {
    os::SetProp(main,
                core::SettingPropertyName(ide, "Group" + std::to_string(i % 8),
                                          "Option" + std::to_string(i)),
                i);
  }
  os::SetProp(editor, "PB_ID", 1);
  const int n = 2000000;

  Measure("SendMessage, no hook", n, [&](int) { g_sink = os::SendMessage(editor, 2008, 0, 0); });
  os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, PassOn, nullptr, os::sim::GuiThreadId());
  Measure("SendMessage, one WH_CALLWNDPROCRET hook", n,
          [&](int) { g_sink = os::SendMessage(editor, 2008, 0, 0); });
  os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, PassOn, nullptr, os::sim::GuiThreadId());
  os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, PassOn, nullptr, os::sim::GuiThreadId());
  Measure("SendMessage, chain of three hooks", n,
          [&](int) { g_sink = os::SendMessage(editor, 2008, 0, 0); });

  const std::string setting = core::SettingPropertyName(ide, "Group3", "Option43");
  Measure("GetProp of a setting (61 properties on the window)", n,
          [&](int) { g_sink = os::GetProp(main, setting); });
  const std::string absent = core::SettingPropertyName(ide, "Group3", "Missing");
  Measure("GetProp of an absent setting", n, [&](int) { g_sink = os::GetProp(main, absent); });
  const std::string marker = "PB_ID";
  Measure("GetProp PB_ID (one property)", n, [&](int) { g_sink = os::GetProp(editor, marker); });
  std::string name;
  Measure("building a setting name into a reused buffer", n, [&](int) {
    core::BuildSettingPropertyName(name, ide, "CodeBeautifier", "AutoindentPaste");
    g_sink = static_cast<os::LResult>(name.size());
  });
  Measure("EnumProps (61 properties)", n / 100,
          [&](int) { g_sink = static_cast<os::LResult>(os::EnumProps(main).size()); });
  Measure("GetClassName of an editor", n,
          [&](int) { g_sink = static_cast<os::LResult>(os::GetClassName(editor, 1000).size()); });
  return 0;
}

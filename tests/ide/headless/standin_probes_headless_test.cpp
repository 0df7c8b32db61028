// The stand-in's editor probes, recorded from the real Scintilla control under Wine
// (tests/ide/probes.expected), run natively on the headless IDE: the transcripts must be
// equal, line for line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ide/headless/headless_ide.h"
#include "os/sim/sim.h"
#include "tests/ide/probes.h"

namespace {

os::LResult ObservingHook(int code, os::WParam wParam, os::LParam lParam) {
  if (code == os::kHC_ACTION)
    probes::Observe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam));
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string ReadExpected() {
  std::ifstream in(STANDIN_PROBES_EXPECTED, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(StandinProbesOnHeadless, TranscriptEqualsTheRealControls) {
  const std::string expected = ReadExpected();
  ASSERT_FALSE(expected.empty()) << "no recorded transcript at " << STANDIN_PROBES_EXPECTED;
  os::sim::Reset();
  std::string actual;
  {
    headless::Ide ide;
    os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, &ObservingHook, nullptr, os::sim::GuiThreadId());
    probes::Target target;
    target.editor = ide.Current().Window();
    target.send = [&](std::uint32_t message, os::WParam wParam, os::LParam lParam) {
      return os::SendMessage(target.editor, message, wParam, lParam);
    };
    target.typeCharacter = [&](const std::string& character) { ide.TypeCharacter(character); };
    target.pressEnter = [&] { ide.PressKey({headless::kKeyReturn, 0}); };
    target.setClipboard = [](const std::string& text) { headless::SetClipboardText(text); };
    target.idle = [&] { ide.Idle(); };
    actual = probes::RunAll(target);
  }
  os::sim::Reset();
  EXPECT_EQ(probes::FirstDifference(expected, actual), "");
}

}  // namespace

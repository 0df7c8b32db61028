// The editor probes on the headless editor; standin-ide.exe's real control must give the same.
#include <gtest/gtest.h>

#include <memory>

#include "editor_probes.h"
#include "ide/headless/editor.h"
#include "os/sim/sim.h"
#include "plugin/scintilla_records.h"

namespace {

std::vector<probes::Notified>* g_notifications = nullptr;

os::LResult RecordingParent(os::Window, std::uint32_t message, os::WParam, os::LParam lParam) {
  if (message == os::kWM_NOTIFY && g_notifications) {
    const auto& scn = *reinterpret_cast<const sci::Notification*>(lParam);
    g_notifications->push_back({scn.nmhdr.code, scn.position, scn.modificationType, scn.length,
                                scn.linesAdded, scn.ch, scn.updated});
  }
  return 0;
}

class HeadlessProbeEditor : public probes::ProbeEditor {
 public:
  HeadlessProbeEditor() {
    os::sim::Reset();
    g_notifications = &notifications_;
    os::sim::WindowSpec spec;
    spec.className = "ProbeParent";
    spec.procedure = &RecordingParent;
    editor_ = std::make_unique<headless::Editor>(os::sim::CreateWindow(spec), 1);
  }
  ~HeadlessProbeEditor() override {
    editor_.reset();
    g_notifications = nullptr;
    os::sim::Reset();
  }
  os::Window Window() override { return editor_->Window(); }
  void TypeCharacter(char ch) override { editor_->TypeCharacter(std::string(1, ch)); }
  void PressEnter() override { editor_->KeyDown(headless::kKeyReturn, 0); }
  void PressBackspace() override { editor_->KeyDown(headless::kKeyBack, 0); }
  void Paint() override { editor_->Paint(); }
  void SetClipboard(const std::string& text) override { headless::SetClipboardText(text); }
  std::vector<probes::Notified>& Notifications() override { return notifications_; }

 private:
  std::vector<probes::Notified> notifications_;
  std::unique_ptr<headless::Editor> editor_;
};

class EditorProbeTest : public testing::TestWithParam<probes::Probe> {};

TEST_P(EditorProbeTest, HeadlessGivesTheControlsTranscript) {
  HeadlessProbeEditor editor;
  std::string transcript;
  GetParam().run(editor, transcript);
  EXPECT_EQ(transcript, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Probes, EditorProbeTest, testing::ValuesIn(probes::AllProbes()),
                         [](const testing::TestParamInfo<probes::Probe>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace

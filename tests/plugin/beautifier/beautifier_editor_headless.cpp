// The test editor natively: the headless editor on the simulated window system.
#include <memory>
#include <vector>

#include "beautifier_editor.h"
#include "ide/headless/editor.h"
#include "os/sim/sim.h"
#include "plugin/format_schedule.h"

namespace beautifier_test {

namespace {

os::LResult IdeProcedure(os::Window, std::uint32_t, os::WParam, os::LParam) { return 0; }

}  // namespace

struct BeautifierEditor::Editors {
  std::unique_ptr<headless::Editor> main;
  std::vector<std::unique_ptr<headless::Editor>> others;
};

BeautifierEditor::BeautifierEditor() : editors_(std::make_unique<Editors>()) {
  os::sim::Reset();
  ResetPendingFormat();
  os::sim::WindowSpec ide;
  ide.className = "WindowClass_0";
  ide.text = "IDE";
  ide.procedure = IdeProcedure;
  ideWindow_ = os::sim::CreateWindow(ide);
  os::SetProp(ideWindow_, "PB_ID", 1);
  editors_->main = std::make_unique<headless::Editor>(ideWindow_, 100);
  os::SetProp(editors_->main->Window(), "PB_ID", 100);
  context_.ideWindow = ideWindow_;
  context_.editor = editors_->main->Window();
  Set(DefaultSettings());
}

BeautifierEditor::~BeautifierEditor() {
  editors_.reset();
  ResetPendingFormat();
}

std::string BeautifierEditor::TextOf(os::Window editor) const {
  const headless::Editor* found = headless::EditorFromWindow(editor);
  return found != nullptr ? found->Text() : std::string();
}

void BeautifierEditor::ObserveMessages(std::function<void(std::uint32_t)> observer) {
  if (!observer) {
    os::sim::SetSendObserver(nullptr);
    return;
  }
  const os::Window editor = context_.editor;
  os::sim::SetSendObserver(
      [editor, observer](os::Window window, std::uint32_t message, os::WParam, os::LParam) {
        if (window == editor) observer(message);
      });
}

double BeautifierEditor::ObservedMicroseconds() const { return 0; }

os::Window BeautifierEditor::AddEditor() {
  const int id = 101 + static_cast<int>(editors_->others.size());
  editors_->others.push_back(std::make_unique<headless::Editor>(ideWindow_, id));
  os::SetProp(editors_->others.back()->Window(), "PB_ID", id);
  return editors_->others.back()->Window();
}

const char* EditorDescription() { return "native, headless editor over Scintilla's document core"; }

}  // namespace beautifier_test

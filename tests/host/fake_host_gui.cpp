#include "tests/host/fake_host_gui.h"

#include "core/ascii.h"

namespace {

ControlKind KindOfElement(const std::string& element) {
  static const std::map<std::string, ControlKind> kKinds = {
      {"checkbox", ControlKind::kCheckBox}, {"spin", ControlKind::kSpin},
      {"option", ControlKind::kOption},     {"string", ControlKind::kString},
      {"canvas", ControlKind::kCanvas},     {"combobox", ControlKind::kComboBox},
      {"listicon", ControlKind::kListIcon}, {"editor", ControlKind::kEditor},
  };
  auto found = kKinds.find(core::AsciiToLower(element));
  return found == kKinds.end() ? ControlKind::kOther : found->second;
}

// Every element with a name or a numeric id becomes a control, as the dialog engine would.
void AddControls(FakeHostGui& gui, const dialog::Element& node) {
  for (const auto& child : node.children) {
    std::string name = dialog::GetAttribute(*child, "name");
    std::string id = dialog::GetAttribute(*child, "id");
    ControlKind kind = KindOfElement(child->name);
    if (id == "#ToolDebugNone") gui.controls[kToolDebugNone].kind = ControlKind::kOption;
    if (id == "#ToolDebugProp") gui.controls[kToolDebugProp].kind = ControlKind::kOption;
    if (!name.empty()) gui.AddControl(kind, name);
    AddControls(gui, *child);
  }
}

}  // namespace

bool FakeHostGui::OpenToolWindow(dialog::Document& description, const dialog::RuntimeNameTable&,
                                 std::string* error) {
  calls.push_back("OpenToolWindow");
  if (!openSucceeds) {
    *error = openError;
    return false;
  }
  AddControls(*this, *description.root);
  return true;
}

ControlId FakeHostGui::FindControl(const std::string& name) {
  for (const auto& [id, control] : controls)
    if (core::EqualsIgnoreCase(control.name, name)) return id;
  return 0;
}

void FakeHostGui::SetState(ControlId control, std::int64_t state) {
  FakeControl& target = controls[control];
  target.state = state;
  // Options of one description row form a group: selecting one clears its neighbours that share
  // the setting key (the tests' fragments keep one option group per key).
  if (target.kind == ControlKind::kOption && state != 0 && !target.name.empty()) {
    const std::string key = target.name.substr(0, target.name.find(':'));
    for (auto& [id, other] : controls)
      if (id != control && other.kind == ControlKind::kOption &&
          other.name.substr(0, other.name.find(':')) == key)
        other.state = 0;
  }
}

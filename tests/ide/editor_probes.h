// Probes of an editor's message semantics and notifications, written once against the OS
// boundary so that the same table runs on the headless editor natively and on the real
// Scintilla control of standin-ide.exe under Wine. Each probe writes a transcript; both editors
// must give the transcript in the table. This is what keeps the simulation honest: add probes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"

namespace probes {

// A notification as the editor's parent received it.
struct Notified {
  std::uint32_t code;
  int position;
  int modificationType;
  int length;
  int linesAdded;
  int ch;
  int updated;
};

// The editor under test. Messages go through os::SendMessage to Window(); the input methods
// deliver keyboard input as the control receives it; Paint lets the control paint (its styling
// and SCN_UPDATEUI); the parent records every notification into Notifications().
class ProbeEditor {
 public:
  virtual ~ProbeEditor() = default;
  virtual os::Window Window() = 0;
  virtual void TypeCharacter(char ch) = 0;
  virtual void PressEnter() = 0;
  virtual void PressBackspace() = 0;
  virtual void Paint() = 0;
  virtual void SetClipboard(const std::string& text) = 0;
  virtual std::vector<Notified>& Notifications() = 0;
};

struct Probe {
  const char* name;
  void (*run)(ProbeEditor& editor, std::string& transcript);
  const char* expected;
};

const std::vector<Probe>& AllProbes();

}  // namespace probes

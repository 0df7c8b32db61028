// Opening descriptions with the fake toolkit and reading back where things went.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "host/dialog/dialog.h"
#include "host/dialog/fake_toolkit.h"

namespace dialog::testing {

struct Rect {
  int x, y, width, height;
  bool operator==(const Rect& other) const {
    return x == other.x && y == other.y && width == other.width && height == other.height;
  }
};
std::ostream& operator<<(std::ostream& out, const Rect& rect);

struct Opened {
  FakeToolkit toolkit;
  RuntimeNameTable names;
  Document document;
  Dialog dialog;
  bool ok = false;
};

int RecordingProcedure();  // counts its calls in ProcedureCalls()
int& ProcedureCalls();

// The host's names (numbers and procedures) as the host registers them.
void RegisterHostNames(RuntimeNameTable& names);

std::unique_ptr<Opened> Open(const std::string& description, int width = 0, int height = 0);
// The control's rectangle when the node has a control, else the node's placed rectangle.
Rect RectOf(Opened& opened, const std::string& name);
FakeControl* ControlOf(Opened& opened, const std::string& name);

std::string SampleFragment();  // sample_fragment.xml, compiled in
// The host's window text with the fragment spliced in before </multibox>.
std::string HostWindowWithFragment(const std::string& fragment);
extern const char kHostWindowText[];
// Every element the engine knows, each once (the less common ones included).
extern const char kEveryElementText[];

}  // namespace dialog::testing

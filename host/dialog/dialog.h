// The dialog engine's open-window operation: builds a window and its controls from a parsed
// description, lays it out, and keeps it laid out when it is resized.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialog/element_tree.h"
#include "host/dialog/layout.h"
#include "host/dialog/runtime_names.h"
#include "host/dialog/toolkit.h"

namespace dialog {

constexpr int kFirstAutomaticNumber = 100000;  // controls without `id` are numbered from here
constexpr size_t kMaxErrorLength = 511;        // characters
constexpr size_t kMaxBoxChildren = 100;        // hbox, vbox, multibox, panel
constexpr int kMaxGridColumns = 15;
constexpr int kMaxGridRows = 70;

struct EventBinding {
  int number;  // control number
  EventAttribute attribute;
  RuntimeProcedure procedure;
};

struct OpenWindowOptions {
  std::string name;           // the window to open inside a `dialogs` root; empty: any
  int x = 0, y = 0;           // inner area position
  int width = 0, height = 0;  // wished inner size; the required size wins when larger
  Control owner = nullptr;    // parent window (centring with PB_Window_WindowCentered)
  bool keepHidden = false;    // build and lay out without showing (checks, tests)
  // Create only the top-level window and check the whole description; BuildControls creates
  // the rest (a window that is not shown at once need not pay for its controls).
  bool deferControls = false;
};

// The window's `minwidth`, `minheight`, `maxwidth`, `maxheight`: -1 free, kAutoBound the
// required size of the contents.
constexpr int kAutoBound = -2;
struct WindowBounds {
  bool any = false;  // one of them is given
  int minWidth = -1, minHeight = -1, maxWidth = -1, maxHeight = -1;
};

// One built window. Not copyable or movable: the toolkit holds its address as the listener.
class Dialog : public WindowListener {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  ~Dialog() override;

  void OnResized(int innerWidth, int innerHeight) override;
  void OnControlEvent(int number, int eventType) override;

  Toolkit* toolkit = nullptr;
  std::unique_ptr<Node> window;  // the node tree; null before a successful open
  std::string error;             // the first error of the last open, at most 511 characters
  std::vector<EventBinding> bindings;
  // Called for every control event after the procedures bound by the description.
  std::function<void(int number, int eventType)> onEvent;
  int nextAutomaticNumber = kFirstAutomaticNumber;
  int innerWidth = 0, innerHeight = 0;  // of the last layout
  OpenWindowOptions options;            // of the last open
  WindowBounds bounds;
  bool controlsBuilt = false;  // the window's controls exist, are measured and placed
};

// Builds, lays out and (unless PB_Window_Invisible) shows the window. False on error, with
// dialog.error set and nothing left open.
bool OpenWindow(Dialog& dialog, Toolkit& toolkit, const Element& root,
                const RuntimeNameTable& names, const OpenWindowOptions& options = {});
void CloseWindow(Dialog& dialog);  // destroys the nodes and the window
// After an open with deferControls: creates the controls, measures and places them, sizes and
// centres the window and (unless PB_Window_Invisible or keepHidden) shows it; true when they
// exist. False on error, with dialog.error set and the window left open without controls.
bool BuildControls(Dialog& dialog);

// Lookups in an open dialog; null / -1 when not found. Nodes and numbers are found before their
// controls are built (FindControl gives null until then).
Node* FindNode(Dialog& dialog, std::string_view name);  // case-insensitive, depth first
Node* FindNode(Dialog& dialog, int number);
Control FindControl(Dialog& dialog, std::string_view name);
Control FindControl(Dialog& dialog, int number);
int ControlNumber(Dialog& dialog, std::string_view name);

// Lays the window out again for a new inner size, with the required sizes of the last
// measurement.
void Relayout(Dialog& dialog, int innerWidth, int innerHeight);
// Writes every node's caption back to its control (and each tab's to its panel).
void SetCaptionsAgain(Dialog& dialog);

// Calls the procedures bound to that control for that event type, then `onEvent`.
void DispatchControlEvent(Dialog& dialog, int number, int eventType);

}  // namespace dialog

// The boundary between the layout engine and a GUI toolkit: the engine decides what to create
// and where it goes; a toolkit creates the controls, measures their natural sizes and moves them.
// host/dialog/win32 is the real one; fake_toolkit.h serves native tests.
#pragma once

#include <cstdint>
#include <string>

#include "host/dialog/kinds.h"

namespace dialog {

using Control = void*;  // the toolkit's handle of a control or window; null: none

struct Size {
  int width = 0;
  int height = 0;
};

struct ControlSpec {
  Kind kind = Kind::kText;
  int number = -1;          // the control's number (explicit or automatic)
  std::string caption;      // `text`, or empty
  std::uint32_t flags = 0;  // the engine's flag values for this kind
  int minimum = 0;          // spin range
  int maximum = 100;
  int optionGroup = 0;  // option controls: options with the same group are exclusive
};

// Receives what happens in a window built by the engine.
class WindowListener {
 public:
  virtual ~WindowListener() = default;
  virtual void OnResized(int innerWidth, int innerHeight) = 0;
  virtual void OnControlEvent(int number, int eventType) = 0;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // A top-level window, hidden, with its inner (client) area at x, y, width × height.
  virtual Control CreateTopWindow(const ControlSpec& params, Control owner, int x, int y, int width,
                                  int height) = 0;
  // A control inside `parent` (a window, a container, a tab page or a scroll area).
  virtual Control CreateControl(Control parent, const ControlSpec& params) = 0;
  // Adds a page to a panel; the page is the parent of the tab's controls.
  virtual Control AddPanelTab(Control panel, const std::string& caption) = 0;
  virtual void SetPanelTabCaption(Control panel, int index, const std::string& caption) = 0;
  virtual void DestroyControl(Control control) = 0;  // also closes a top-level window

  // Measures.
  virtual Size NaturalSize(Control control) = 0;
  virtual int PanelHeaderHeight(Control panel) = 0;   // tab headers; the page is below them
  virtual int FrameCaptionHeight(Control frame) = 0;  // caption text height in its font
  virtual int SystemBorderWidth() = 0;

  // Changes.
  virtual void Move(Control control, int x, int y, int width, int height) = 0;
  virtual void Show(Control control, bool visible) = 0;
  virtual void Enable(Control control, bool enabled) = 0;
  virtual void SetCaption(Control control, const std::string& caption) = 0;

  // Top-level windows.
  virtual void SetInnerSize(Control window, int width, int height) = 0;
  // Bounds of the inner size when the user resizes; -1: that bound is free.
  virtual void SetSizeBounds(Control window, int minWidth, int minHeight, int maxWidth,
                             int maxHeight) = 0;
  virtual void Center(Control window, Control parent) = 0;  // parent null: on the screen
  virtual void ShowWindow(Control window, bool activate) = 0;
  virtual void SetListener(Control window, WindowListener* listener) = 0;
};

}  // namespace dialog

// A toolkit without a GUI, for native tests: it records every control and reports fixed natural
// sizes (6 pixels a character, 13 pixels a line), so layouts can be checked to the pixel.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/dialog/toolkit.h"

namespace dialog {

struct FakeControl {
  Kind kind = Kind::kText;
  int number = -1;
  std::string caption;
  std::uint32_t flags = 0;
  int minimum = 0, maximum = 100, optionGroup = 0;
  FakeControl* parent = nullptr;  // the window, container or page it lives in
  std::vector<std::string> tabs;  // panel: tab captions
  std::vector<FakeControl*> pages;
  int x = 0, y = 0, width = 0, height = 0;
  bool visible = true;  // its own state (a window starts hidden)
  bool enabled = true;
  bool destroyed = false;
  bool isPage = false;
  // top-level window
  int minWidth = -1, minHeight = -1, maxWidth = -1, maxHeight = -1;
  bool boundsSet = false, centered = false, shown = false, activated = false;
  WindowListener* listener = nullptr;
};

class FakeToolkit : public Toolkit {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLineHeight = 13;
  static constexpr int kPanelHeader = 22;
  static constexpr int kBorderWidth = 1;
  static constexpr int kEdgeWidth = 2;

  Control CreateTopWindow(const ControlSpec& params, Control owner, int x, int y, int width,
                          int height) override;
  Control CreateControl(Control parent, const ControlSpec& params) override;
  Control AddPanelTab(Control panel, const std::string& caption) override;
  void SetPanelTabCaption(Control panel, int index, const std::string& caption) override;
  void DestroyControl(Control control) override;
  Size NaturalSize(Control control) override;
  int PanelHeaderHeight(Control panel) override;
  int FrameCaptionHeight(Control frame) override;
  int SystemBorderWidth() override;
  void Move(Control control, int x, int y, int width, int height) override;
  void Show(Control control, bool visible) override;
  void Enable(Control control, bool enabled) override;
  void SetCaption(Control control, const std::string& caption) override;
  void SetInnerSize(Control window, int width, int height) override;
  void SetSizeBounds(Control window, int minWidth, int minHeight, int maxWidth,
                     int maxHeight) override;
  void Center(Control window, Control parent) override;
  void ShowWindow(Control window, bool activate) override;
  void SetListener(Control window, WindowListener* listener) override;

  // What a user's resize does: the size is kept within the bounds, then the window is told.
  void UserResize(Control window, int width, int height);
  // Visible on screen: itself and every control it lives in.
  bool IsShown(Control control) const;

  static FakeControl* Get(Control control) { return static_cast<FakeControl*>(control); }
  std::vector<std::unique_ptr<FakeControl>> controls;  // in creation order, destroyed ones kept
  int createCount = 0, destroyCount = 0;
  std::vector<int> failOnCreateOfKind;  // kinds (as int) whose creation fails
};

}  // namespace dialog

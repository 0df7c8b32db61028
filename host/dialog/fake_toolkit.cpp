#include "host/dialog/fake_toolkit.h"

#include <algorithm>

namespace dialog {

namespace {

int CaptionWidth(const std::string& caption) {
  // Characters, not bytes: continuation bytes of UTF-8 do not count.
  int characters = 0;
  for (unsigned char c : caption)
    if ((c & 0xC0) != 0x80) ++characters;
  return characters * FakeToolkit::kCharWidth;
}

}  // namespace

Control FakeToolkit::CreateTopWindow(const ControlSpec& params, Control, int x, int y, int width,
                                     int height) {
  auto control = std::make_unique<FakeControl>();
  control->kind = Kind::kWindow;
  control->number = params.number;
  control->caption = params.caption;
  control->flags = params.flags;
  control->x = x, control->y = y, control->width = width, control->height = height;
  control->visible = false;
  controls.push_back(std::move(control));
  ++createCount;
  return controls.back().get();
}

Control FakeToolkit::CreateControl(Control parent, const ControlSpec& params) {
  if (std::find(failOnCreateOfKind.begin(), failOnCreateOfKind.end(),
                static_cast<int>(params.kind)) != failOnCreateOfKind.end())
    return nullptr;
  auto control = std::make_unique<FakeControl>();
  control->kind = params.kind;
  control->number = params.number;
  control->caption = params.caption;
  control->flags = params.flags;
  control->minimum = params.minimum;
  control->maximum = params.maximum;
  control->optionGroup = params.optionGroup;
  control->parent = Get(parent);
  controls.push_back(std::move(control));
  ++createCount;
  return controls.back().get();
}

Control FakeToolkit::AddPanelTab(Control panel, const std::string& caption) {
  FakeControl* owner = Get(panel);
  auto page = std::make_unique<FakeControl>();
  page->kind = Kind::kTab;
  page->caption = caption;
  page->parent = owner;
  page->isPage = true;
  page->visible = owner->pages.empty();  // the first page is the selected one
  owner->tabs.push_back(caption);
  owner->pages.push_back(page.get());
  controls.push_back(std::move(page));
  return controls.back().get();
}

void FakeToolkit::SetPanelTabCaption(Control panel, int index, const std::string& caption) {
  FakeControl* owner = Get(panel);
  if (index >= 0 && index < static_cast<int>(owner->tabs.size())) owner->tabs[index] = caption;
}

void FakeToolkit::DestroyControl(Control control) {
  FakeControl* fake = Get(control);
  fake->destroyed = true;
  for (FakeControl* page : fake->pages) page->destroyed = true;
  ++destroyCount;
}

Size FakeToolkit::NaturalSize(Control control) {
  FakeControl* fake = Get(control);
  int text = CaptionWidth(fake->caption);
  switch (fake->kind) {
    case Kind::kText:
      if (fake->flags & flag::kTextBorder)
        return Size{text + 2 * kEdgeWidth, kLineHeight + 2 * kEdgeWidth};
      return Size{text + 2, kLineHeight + 2};
    case Kind::kCheckBox:
    case Kind::kOption:
      return Size{text + 20, 20};
    case Kind::kButton:
      return Size{text + 12, 24};
    case Kind::kComboBox:
      return Size{100, 21};
    case Kind::kSpin:
      return Size{60, 21};
    case Kind::kString:
      return Size{std::max(text + 8, 40), 21};
    case Kind::kCanvas:
      return (fake->flags & flag::kCanvasBorder) ? Size{2, 2} : Size{0, 0};
    default:
      return Size{0, 0};
  }
}

int FakeToolkit::PanelHeaderHeight(Control) { return kPanelHeader; }

int FakeToolkit::FrameCaptionHeight(Control frame) {
  return Get(frame)->caption.empty() ? 0 : kLineHeight;
}

int FakeToolkit::SystemBorderWidth() { return kBorderWidth; }

void FakeToolkit::Move(Control control, int x, int y, int width, int height) {
  FakeControl* fake = Get(control);
  fake->x = x, fake->y = y, fake->width = width, fake->height = height;
}

void FakeToolkit::Show(Control control, bool visible) { Get(control)->visible = visible; }

void FakeToolkit::Enable(Control control, bool enabled) { Get(control)->enabled = enabled; }

void FakeToolkit::SetCaption(Control control, const std::string& caption) {
  Get(control)->caption = caption;
}

void FakeToolkit::SetInnerSize(Control window, int width, int height) {
  FakeControl* fake = Get(window);
  fake->width = width, fake->height = height;
}

void FakeToolkit::SetSizeBounds(Control window, int minWidth, int minHeight, int maxWidth,
                                int maxHeight) {
  FakeControl* fake = Get(window);
  fake->minWidth = minWidth, fake->minHeight = minHeight;
  fake->maxWidth = maxWidth, fake->maxHeight = maxHeight;
  fake->boundsSet = true;
}

void FakeToolkit::Center(Control window, Control) { Get(window)->centered = true; }

void FakeToolkit::ShowWindow(Control window, bool activate) {
  FakeControl* fake = Get(window);
  fake->visible = fake->shown = true;
  fake->activated = activate;
}

void FakeToolkit::SetListener(Control window, WindowListener* listener) {
  Get(window)->listener = listener;
}

void FakeToolkit::UserResize(Control window, int width, int height) {
  FakeControl* fake = Get(window);
  if (fake->minWidth >= 0) width = std::max(width, fake->minWidth);
  if (fake->minHeight >= 0) height = std::max(height, fake->minHeight);
  if (fake->maxWidth >= 0) width = std::min(width, fake->maxWidth);
  if (fake->maxHeight >= 0) height = std::min(height, fake->maxHeight);
  fake->width = width, fake->height = height;
  if (fake->listener != nullptr) fake->listener->OnResized(width, height);
}

bool FakeToolkit::IsShown(Control control) const {
  for (FakeControl* fake = Get(control); fake != nullptr; fake = fake->parent)
    if (!fake->visible || fake->destroyed) return false;
  return true;
}

}  // namespace dialog

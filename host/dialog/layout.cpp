#include "host/dialog/layout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "core/integer_text.h"
#include "host/dialog/element_tree.h"

namespace dialog {

namespace {

bool TakesExactSize(Kind kind) {
  switch (kind) {
    case Kind::kListIcon:
    case Kind::kEditor:
    case Kind::kScintilla:
    case Kind::kWeb:
    case Kind::kTree:
    case Kind::kListView:
    case Kind::kExplorerList:
    case Kind::kExplorerTree:
    case Kind::kEmpty:
    case Kind::kShortcut:
      return true;
    default:
      return false;
  }
}

bool IsBox(Kind kind) {
  return kind == Kind::kHBox || kind == Kind::kVBox || kind == Kind::kSplitter;
}

bool BoxIsHorizontal(const Node& node) {
  if (node.kind == Kind::kSplitter) return (node.flags & 0x1) != 0;  // PB_Splitter_Vertical
  return node.kind == Kind::kHBox;
}

Size RaiseToMinimum(const Node& node, Size size) {
  return Size{std::max(size.width, node.minWidth), std::max(size.height, node.minHeight)};
}

Size MeasureSingle(Node& node, Toolkit& toolkit) {
  Size child;
  if (Node* only = SingleChild(node)) child = MeasureNode(*only, toolkit);
  int width = child.width + node.margins.left + node.margins.right;
  int height = child.height + node.margins.top + node.margins.bottom;
  if (node.kind == Kind::kContainer) {
    width += node.border;
    height += node.border;
  } else if (node.kind == Kind::kFrame) {
    node.captionHeight = std::max(toolkit.FrameCaptionHeight(node.control), 10);
    width += 8;
    height += 4 + node.captionHeight;
  }
  return RaiseToMinimum(node, Size{width, height});
}

Size MeasureBox(Node& node, Toolkit& toolkit) {
  bool horizontal = BoxIsHorizontal(node);
  int count = static_cast<int>(node.children.size());
  int main = 0, cross = 0, largestMain = 0;
  for (auto& child : node.children) {
    Size size = MeasureNode(*child, toolkit);
    int childMain = horizontal ? size.width : size.height;
    int childCross = horizontal ? size.height : size.width;
    main += childMain;
    largestMain = std::max(largestMain, childMain);
    cross = std::max(cross, childCross);
  }
  if (node.expand.mode == ShareMode::kEqual) main = largestMain * count;
  if (count > 1) main += node.spacing * (count - 1);
  Size size = horizontal ? Size{main, cross} : Size{cross, main};
  return RaiseToMinimum(node, size);
}

int GridRows(const Node& node) {
  int columns = std::max(node.columns, 1);
  int count = static_cast<int>(node.children.size());
  return (count + columns - 1) / columns;
}

Size MeasureGrid(Node& node, Toolkit& toolkit) {
  int columns = std::max(node.columns, 1);
  int rows = GridRows(node);
  node.columnWidths.assign(columns, 0);
  node.rowHeights.assign(rows, 0);
  for (size_t i = 0; i < node.children.size(); ++i) {
    Size size = MeasureNode(*node.children[i], toolkit);
    int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
    node.columnWidths[column] = std::max(node.columnWidths[column], size.width);
    node.rowHeights[row] = std::max(node.rowHeights[row], size.height);
  }
  int width = 0, height = 0;
  for (int w : node.columnWidths) width += w;
  for (int h : node.rowHeights) height += h;
  width += node.columnSpacing * (columns - 1);
  if (rows > 1) height += node.rowSpacing * (rows - 1);
  return RaiseToMinimum(node, Size{width, height});
}

Size MeasurePanel(Node& node, Toolkit& toolkit) {
  node.headerHeight = toolkit.PanelHeaderHeight(node.control);
  Size largest;
  for (auto& tab : node.children) {
    Size size = MeasureNode(*tab, toolkit);
    largest.width = std::max(largest.width, size.width);
    largest.height = std::max(largest.height, size.height);
  }
  return RaiseToMinimum(node, Size{largest.width + 4, largest.height + node.headerHeight + 2});
}

Size MeasureMulti(Node& node, Toolkit& toolkit) {
  Size largest;
  for (auto& child : node.children) {
    Size size = MeasureNode(*child, toolkit);
    largest.width = std::max(largest.width, size.width);
    largest.height = std::max(largest.height, size.height);
  }
  return RaiseToMinimum(node, largest);
}

Size MeasureControl(Node& node, Toolkit& toolkit) {
  if (TakesExactSize(node.kind) || node.control == nullptr)
    return Size{node.minWidth, node.minHeight};
  return RaiseToMinimum(node, toolkit.NaturalSize(node.control));
}

void MoveControl(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  if (node.control == nullptr) return;
  toolkit.Move(node.control, x, y, std::max(width, 0), std::max(height, 0));
}

// The single child in the area (x, y, width, height) less the margins, by `expand` and `align`.
void PlaceSingleChild(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  Node* child = SingleChild(node);
  if (child == nullptr) return;
  int areaX = x + node.margins.left, areaY = y + node.margins.top;
  int areaWidth = width - node.margins.left - node.margins.right;
  int areaHeight = height - node.margins.top - node.margins.bottom;
  bool fillWidth = node.fill == Fill::kBoth || node.fill == Fill::kHorizontal;
  bool fillHeight = node.fill == Fill::kBoth || node.fill == Fill::kVertical;
  int childWidth = child->requiredWidth, childHeight = child->requiredHeight;
  if (fillWidth) {
    childWidth = areaWidth;
    if (node.expandWidth > 0) childWidth = std::min(childWidth, node.expandWidth);
  }
  if (fillHeight) {
    childHeight = areaHeight;
    if (node.expandHeight > 0) childHeight = std::min(childHeight, node.expandHeight);
  }
  auto align = [](AxisAlign how, int start, int area, int size) {
    switch (how) {
      case AxisAlign::kStart:
        return start;
      case AxisAlign::kCenter:
        return start + (area - size) / 2;
      case AxisAlign::kEnd:
        return start + area - size;
    }
    return start;
  };
  PlaceNode(*child, toolkit, align(node.alignX, areaX, areaWidth, childWidth),
            align(node.alignY, areaY, areaHeight, childHeight), childWidth, childHeight);
}

void PlaceBox(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  bool horizontal = BoxIsHorizontal(node);
  std::vector<int> required;
  for (auto& child : node.children)
    required.push_back(horizontal ? child->requiredWidth : child->requiredHeight);
  std::vector<int> sizes =
      ShareSpace(required, node.spacing, horizontal ? width : height, node.expand);
  int position = horizontal ? x : y;
  for (size_t i = 0; i < node.children.size(); ++i) {
    if (horizontal) {
      PlaceNode(*node.children[i], toolkit, position, y, sizes[i], height);
    } else {
      PlaceNode(*node.children[i], toolkit, x, position, width, sizes[i]);
    }
    position += sizes[i] + node.spacing;
  }
}

void PlaceGrid(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  int columns = std::max(node.columns, 1);
  std::vector<int> widths =
      ShareSpace(node.columnWidths, node.columnSpacing, width, node.columnExpand);
  std::vector<int> heights = ShareSpace(node.rowHeights, node.rowSpacing, height, node.rowExpand);
  std::vector<int> left(widths.size()), top(heights.size());
  int position = x;
  for (size_t c = 0; c < widths.size(); ++c) {
    left[c] = position;
    position += widths[c] + node.columnSpacing;
  }
  position = y;
  for (size_t r = 0; r < heights.size(); ++r) {
    top[r] = position;
    position += heights[r] + node.rowSpacing;
  }
  for (size_t i = 0; i < node.children.size(); ++i) {
    size_t column = i % static_cast<size_t>(columns), row = i / static_cast<size_t>(columns);
    if (column >= widths.size() || row >= heights.size()) break;  // not measured yet
    PlaceNode(*node.children[i], toolkit, left[column], top[row], widths[column], heights[row]);
  }
}

void PlacePanel(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  MoveControl(node, toolkit, x, y, width, height);
  int pageWidth = width - 4, pageHeight = height - node.headerHeight - 2;
  for (auto& tab : node.children) PlaceNode(*tab, toolkit, 0, 0, pageWidth, pageHeight);
}

void PlaceText(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  // Labels line up with the edit fields and option buttons beside them.
  if ((node.flags & flag::kTextBorder) == 0 && height >= node.requiredHeight + 2) {
    y += 2;
    height -= 2;
  }
  MoveControl(node, toolkit, x, y, width, height);
}

bool StartsWithWord(std::string_view text, size_t at, std::string_view word) {
  return at + word.size() <= text.size() && SameName(text.substr(at, word.size()), word);
}

bool ContainsWord(std::string_view text, std::string_view word) {
  for (size_t i = 0; i + word.size() <= text.size(); ++i)
    if (StartsWithWord(text, i, word)) return true;
  return false;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<int> ShareSpace(const std::vector<int>& required, int gap, int available, Share share) {
  int count = static_cast<int>(required.size());
  std::vector<int> sizes(required);
  if (count == 0) return sizes;
  std::int64_t gaps = static_cast<std::int64_t>(gap) * (count - 1);
  std::int64_t total = gaps;
  for (int size : required) total += size;
  if (share.mode == ShareMode::kEqual) {
    std::int64_t each = (available - gaps) / count;
    for (int& size : sizes) size = static_cast<int>(each);
  } else if (available < total && available > 0) {
    for (int& size : sizes)
      size = static_cast<int>(static_cast<std::int64_t>(size) * available / total);
  } else if (share.mode == ShareMode::kYes) {
    std::int64_t extra = (available - total) / count;
    for (int& size : sizes) size = static_cast<int>(size + extra);
  } else if (share.mode == ShareMode::kItem) {
    if (share.item >= 1 && share.item <= count)
      sizes[share.item - 1] = static_cast<int>(sizes[share.item - 1] + (available - total));
  }
  return sizes;
}

bool IsSingleChildKind(Kind kind) {
  switch (kind) {
    case Kind::kWindow:
    case Kind::kTab:
    case Kind::kContainer:
    case Kind::kFrame:
    case Kind::kSingleBox:
    case Kind::kScrollArea:
      return true;
    default:
      return false;
  }
}

Node* SingleChild(const Node& node) {
  return node.children.empty() ? nullptr : node.children.back().get();
}

Size MeasureNode(Node& node, Toolkit& toolkit) {
  Size size;
  if (IsSingleChildKind(node.kind)) {
    size = MeasureSingle(node, toolkit);
  } else if (IsBox(node.kind)) {
    size = MeasureBox(node, toolkit);
  } else if (node.kind == Kind::kGridBox) {
    size = MeasureGrid(node, toolkit);
  } else if (node.kind == Kind::kPanel) {
    size = MeasurePanel(node, toolkit);
  } else if (node.kind == Kind::kMultiBox) {
    size = MeasureMulti(node, toolkit);
  } else {
    size = MeasureControl(node, toolkit);
  }
  // Saturates: an "equal" box multiplies its largest child, level after level.
  size = Size{ClampToRange(size.width, kLengthRange), ClampToRange(size.height, kLengthRange)};
  node.requiredWidth = size.width;
  node.requiredHeight = size.height;
  return size;
}

void PlaceNode(Node& node, Toolkit& toolkit, int x, int y, int width, int height) {
  node.placedX = x, node.placedY = y, node.placedWidth = width, node.placedHeight = height;
  switch (node.kind) {
    case Kind::kWindow:
    case Kind::kSingleBox:
      PlaceSingleChild(node, toolkit, x, y, width, height);
      return;
    case Kind::kTab:  // the page itself follows its panel; the child is placed on the page
      PlaceSingleChild(node, toolkit, 0, 0, width, height);
      return;
    case Kind::kContainer:
    case Kind::kScrollArea:
      MoveControl(node, toolkit, x, y, width, height);
      PlaceSingleChild(node, toolkit, node.border / 2, node.border / 2, width - node.border,
                       height - node.border);
      return;
    case Kind::kFrame:
      MoveControl(node, toolkit, x, y, width, height);
      PlaceSingleChild(node, toolkit, x + 4, y + node.captionHeight, width - 8,
                       height - 4 - node.captionHeight);
      return;
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kSplitter:
      PlaceBox(node, toolkit, x, y, width, height);
      return;
    case Kind::kGridBox:
      PlaceGrid(node, toolkit, x, y, width, height);
      return;
    case Kind::kMultiBox:
      for (auto& child : node.children) PlaceNode(*child, toolkit, x, y, width, height);
      return;
    case Kind::kPanel:
      PlacePanel(node, toolkit, x, y, width, height);
      return;
    case Kind::kText:
      PlaceText(node, toolkit, x, y, width, height);
      return;
    case Kind::kEmpty:
    case Kind::kShortcut:
    case Kind::kDialogs:
      return;
    default:
      MoveControl(node, toolkit, x, y, width, height);
      return;
  }
}

void ShowNode(Node& node, Toolkit& toolkit, bool visible) {
  // A tab page is shown by its panel when its tab is selected.
  if (node.control != nullptr && node.kind != Kind::kTab && node.kind != Kind::kWindow)
    toolkit.Show(node.control, visible);
  for (auto& child : node.children) ShowNode(*child, toolkit, visible);
}

Node* FindNodeByName(Node& node, std::string_view name) {
  if (node.hasName && SameName(node.name, name)) return &node;
  for (auto& child : node.children)
    if (Node* found = FindNodeByName(*child, name)) return found;
  return nullptr;
}

Node* FindNodeByNumber(Node& node, int number) {
  if (node.controlNumber >= 0 && node.controlNumber == number) return &node;
  for (auto& child : node.children)
    if (Node* found = FindNodeByNumber(*child, number)) return found;
  return nullptr;
}

void SetNodeCaptions(Node& node, Toolkit& toolkit) {
  if (node.control != nullptr && node.hasCaption) {
    if (node.kind == Kind::kTab) {
      if (node.parent != nullptr && node.parent->control != nullptr)
        toolkit.SetPanelTabCaption(node.parent->control, node.tabIndex, node.caption);
    } else if (node.kind != Kind::kComboBox) {
      toolkit.SetCaption(node.control, node.caption);
    }
  }
  for (auto& child : node.children) SetNodeCaptions(*child, toolkit);
}

void DestroyNodeControls(Node& node, Toolkit& toolkit) {
  for (auto& child : node.children) DestroyNodeControls(*child, toolkit);
  // Tab pages belong to their panel, which destroys them with itself.
  if (node.control != nullptr && node.kind != Kind::kTab) toolkit.DestroyControl(node.control);
  node.control = nullptr;
}

int ClampToRange(std::int64_t value, NumberRange range) {
  return static_cast<int>(std::clamp<std::int64_t>(value, range.lowest, range.highest));
}

int ReadDecimal(std::string_view text, NumberRange range) {
  return ClampToRange(core::ReadDecimalText(text), range);
}

Margins ReadMargins(std::string_view text) {
  Margins margins;
  if (text.find(':') == std::string_view::npos) {
    int all = ReadDecimal(text, kLengthRange);
    return Margins{all, all, all, all};
  }
  static constexpr std::string_view kSides[] = {
      "top:", "bottom:", "left:", "right:", "vertical:", "horizontal:"};
  size_t i = 0;
  while (i < text.size()) {
    bool matched = false;
    for (size_t side = 0; side < std::size(kSides); ++side) {
      if (!StartsWithWord(text, i, kSides[side])) continue;
      i += kSides[side].size();
      int value = ReadDecimal(text.substr(i), kLengthRange);
      switch (side) {
        case 0:
          margins.top = value;
          break;
        case 1:
          margins.bottom = value;
          break;
        case 2:
          margins.left = value;
          break;
        case 3:
          margins.right = value;
          break;
        case 4:
          margins.top = margins.bottom = value;
          break;
        case 5:
          margins.left = margins.right = value;
          break;
      }
      matched = true;
      break;
    }
    if (!matched) ++i;
  }
  return margins;
}

Share ReadShare(std::string_view text, Share fallback) {
  std::string_view value = Trim(text);
  if (SameName(value, "yes")) return Share{ShareMode::kYes, 0};
  if (SameName(value, "no")) return Share{ShareMode::kNo, 0};
  if (SameName(value, "equal")) return Share{ShareMode::kEqual, 0};
  if (StartsWithWord(value, 0, "item:"))
    return Share{ShareMode::kItem, ReadDecimal(value.substr(5))};
  return fallback;
}

Fill ReadFill(std::string_view text, Fill fallback) {
  std::string_view value = Trim(text);
  if (SameName(value, "yes")) return Fill::kBoth;
  if (SameName(value, "no")) return Fill::kNone;
  if (SameName(value, "vertical")) return Fill::kVertical;
  if (SameName(value, "horizontal")) return Fill::kHorizontal;
  return fallback;
}

void ReadAlign(std::string_view text, AxisAlign* alignX, AxisAlign* alignY) {
  bool center = ContainsWord(text, "center");
  if (ContainsWord(text, "right")) {
    *alignX = AxisAlign::kEnd;
  } else if (ContainsWord(text, "left")) {
    *alignX = AxisAlign::kStart;
  } else {
    *alignX = center ? AxisAlign::kCenter : AxisAlign::kStart;
  }
  if (ContainsWord(text, "bottom")) {
    *alignY = AxisAlign::kEnd;
  } else if (ContainsWord(text, "top")) {
    *alignY = AxisAlign::kStart;
  } else {
    *alignY = center ? AxisAlign::kCenter : AxisAlign::kStart;
  }
}

}  // namespace dialog

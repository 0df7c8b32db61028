// Layout nodes and the layout arithmetic: every recognised element of a description becomes one
// node; a node knows its required size (bottom-up) and places itself and its children (top-down).
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialog/kinds.h"
#include "host/dialog/toolkit.h"

namespace dialog {

// How parts share the spare space along one axis (boxes, grid columns and rows).
enum class ShareMode { kYes, kNo, kEqual, kItem };
struct Share {
  ShareMode mode = ShareMode::kYes;
  int item = 0;  // 1-based part that takes the spare space (kItem)
};

// How the single child of a window, tab, container or frame fills its area.
enum class Fill { kBoth, kVertical, kHorizontal, kNone };
enum class AxisAlign { kStart, kCenter, kEnd };

struct Margins {
  int top = 0, bottom = 0, left = 0, right = 0;
};

struct Node {
  Kind kind = Kind::kEmpty;
  int number = -1;         // the `id` value, or -1 when numbered automatically / no control
  int controlNumber = -1;  // the number the control is known by (explicit or automatic)
  std::string name;
  bool hasName = false;
  std::string caption;
  bool hasCaption = false;
  int minWidth = 0, minHeight = 0;  // `width`, `height`
  std::uint32_t flags = 0;
  bool folded = false;
  Control control = nullptr;

  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;

  // hbox, vbox, splitter
  int spacing = 5;
  Share expand;
  // gridbox
  int columns = 2, columnSpacing = 5, rowSpacing = 5;
  Share columnExpand{ShareMode::kYes, 0};
  Share rowExpand{ShareMode::kNo, 0};
  std::vector<int> columnWidths, rowHeights;  // required, from the last measurement
  // window, tab, container, frame, singlebox, scrollarea
  Margins margins;
  Fill fill = Fill::kBoth;
  AxisAlign alignX = AxisAlign::kStart, alignY = AxisAlign::kStart;
  int expandWidth = 0, expandHeight = 0;  // caps of a filling child, 0: none
  int border = 0;                         // container: total border per direction
  int captionHeight = 0;                  // frame
  int headerHeight = 0;                   // panel
  int tabIndex = -1;                      // tab: its page's index in the panel
  // spin
  int minimum = 0, maximum = 100;
  int optionGroup = 0;  // option: options with the same group are exclusive
  // `disabled` and `invisible`, applied once the control exists
  bool startsDisabled = false, startsInvisible = false;

  int requiredWidth = 0, requiredHeight = 0;  // from the last measurement
  // The rectangle of the last placement, in the coordinates of the control it lives in.
  int placedX = 0, placedY = 0, placedWidth = 0, placedHeight = 0;
};

// Sizes of parts with the given required sizes sharing `available` pixels, with `gap` pixels
// between neighbours. The remainder of an integer division stays empty at the end.
std::vector<int> ShareSpace(const std::vector<int>& required, int gap, int available, Share share);

// Node operations.
Size MeasureNode(Node& node, Toolkit& toolkit);  // required size, stored on every node below
void PlaceNode(Node& node, Toolkit& toolkit, int x, int y, int width, int height);
void ShowNode(Node& node, Toolkit& toolkit, bool visible);
Node* FindNodeByName(Node& node, std::string_view name);
Node* FindNodeByNumber(Node& node, int number);
void SetNodeCaptions(Node& node, Toolkit& toolkit);
void DestroyNodeControls(Node& node, Toolkit& toolkit);  // children first

// The child slot of single-child elements (the last child added wins).
Node* SingleChild(const Node& node);
bool IsSingleChildKind(Kind kind);

// Attribute values. A description comes from another program (a plugin's fragment): every number
// in it is clamped to the range of what it sets before it goes into any arithmetic.
struct NumberRange {
  int lowest, highest;
};
// The largest length (size, margin, spacing, window bound) a description gives and the largest
// required size: beyond any screen, and small enough that no layout sum leaves int, whatever the
// tree (at most 256 levels, each adding at most 100 children and their gaps: 256 × 200 × 32767
// stays below 2^31).
constexpr int kLargestLength = 32767;
constexpr NumberRange kAnyNumber{INT_MIN, INT_MAX};  // numbers that are no lengths (id, min, max)
constexpr NumberRange kLengthRange{0, kLargestLength};
constexpr NumberRange kBoundRange{-1, kLargestLength};  // window bounds: -1 leaves one free
int ClampToRange(std::int64_t value, NumberRange range);
// Decimal integer: leading blanks and tabs, optional sign, digits up to the first other
// character; no digits gives 0; clamped to `range`.
int ReadDecimal(std::string_view text, NumberRange range = kAnyNumber);
// One length for all sides, or side entries ("TOP:4 LEFT:2", any case, any order; unnamed sides 0).
Margins ReadMargins(std::string_view text);
// "yes", "no", "equal", "item:N"; anything else leaves `fallback`.
Share ReadShare(std::string_view text, Share fallback);
Fill ReadFill(std::string_view text, Fill fallback);
void ReadAlign(std::string_view text, AxisAlign* alignX, AxisAlign* alignY);

}  // namespace dialog

#include "host/dialog/dialog.h"

#include <algorithm>
#include <climits>

namespace dialog {

// No placement sum leaves int: each level of the tree adds at most its children's lengths and
// the gaps between them.
static_assert(static_cast<long long>(kMaxNestingDepth) * 2 * kMaxBoxChildren * kLargestLength <
                  INT_MAX,
              "the largest length is too large for the deepest and widest tree");

namespace {

struct Build {
  Dialog& dialog;
  Toolkit& toolkit;
  const RuntimeNameTable& names;
  bool lastControlWasOption = false;
  int optionGroup = 0;
};

void Fail(Dialog& dialog, const std::string& text) {
  if (!dialog.error.empty()) return;  // only the first error counts
  // Cut at kMaxErrorLength characters, never inside a UTF-8 sequence.
  size_t characters = 0, end = 0;
  while (end < text.size() && characters < kMaxErrorLength) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    ++characters;
  }
  dialog.error = text.substr(0, end);
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// `id`, `width`, `height`, `min`, `max`: a runtime name, else a decimal integer; in `range`.
int ReadNumber(const Build& build, const Element& element, std::string_view attribute, int fallback,
               NumberRange range) {
  const Attribute* found = FindAttribute(element, attribute);
  if (found == nullptr) return fallback;
  std::int64_t value = 0;
  if (LookupRuntimeInteger(build.names, found->value, &value)) return ClampToRange(value, range);
  return ReadDecimal(found->value, range);
}

int ReadPlain(const Element& element, std::string_view attribute, int fallback, NumberRange range) {
  const Attribute* found = FindAttribute(element, attribute);
  return found != nullptr ? ReadDecimal(found->value, range) : fallback;
}

bool IsYes(const Element& element, std::string_view attribute) {
  const Attribute* found = FindAttribute(element, attribute);
  return found != nullptr && SameName(found->value, "yes");
}

// Flag list: "#A | #B"; stops at a name without "#" or longer than 128 characters.
bool ReadFlags(Build& build, const Element& element, Kind kind, std::uint32_t* flags) {
  *flags = 0;
  const Attribute* found = FindAttribute(element, "flags");
  if (found == nullptr) return true;
  std::string_view text = found->value;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || text[i] != '#') break;
    size_t end = text.find('|', i);
    if (end == std::string_view::npos) end = text.size();
    std::string_view name = text.substr(i, end - i);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (name.size() > 128) break;
    std::uint32_t value = 0;
    std::int64_t runtimeValue = 0;
    if (FindKindFlag(kind, name.substr(1), &value)) {
      *flags |= value;
    } else if (LookupRuntimeNumber(build.names, name, &runtimeValue)) {
      *flags |= static_cast<std::uint32_t>(runtimeValue);
    } else {
      Fail(build.dialog,
           Quoted(name) + " flag is not supported for the following gadget: " + KindName(kind));
      return false;
    }
    i = end + 1;
  }
  return true;
}

bool ReadEvents(Build& build, const Element& element, Kind kind, std::vector<EventBinding>* found) {
  if (IgnoresEvents(kind)) return true;
  for (const Attribute& attribute : element.attributes) {
    EventAttribute which;
    if (!FindEventAttribute(attribute.name, &which)) continue;
    if (!AcceptsEvent(kind, which)) {
      Fail(build.dialog, Quoted(attribute.name) +
                             " is not supported for the following gadget: " + KindName(kind));
      return false;
    }
    RuntimeProcedure procedure = LookupRuntimeProcedure(build.names, attribute.value);
    if (procedure == nullptr) {
      Fail(build.dialog, Quoted(attribute.value) + " is not a runtime procedure.");
      return false;
    }
    found->push_back(EventBinding{-1, which, procedure});
  }
  return true;
}

bool TakesChildren(Kind kind) {
  switch (kind) {
    case Kind::kWindow:
    case Kind::kPanel:
    case Kind::kTab:
    case Kind::kContainer:
    case Kind::kFrame:
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kGridBox:
    case Kind::kMultiBox:
    case Kind::kSingleBox:
    case Kind::kScrollArea:
    case Kind::kSplitter:
      return true;
    default:
      return false;
  }
}

int DefaultMargin(Kind kind) {
  switch (kind) {
    case Kind::kWindow:
      return 8;
    case Kind::kTab:
    case Kind::kContainer:
      return 10;
    case Kind::kFrame:
      return 5;
    default:
      return 0;
  }
}

void ReadKindAttributes(Build& build, const Element& element, Node& node) {
  if (IsSingleChildKind(node.kind)) {
    int margin = DefaultMargin(node.kind);
    node.margins = Margins{margin, margin, margin, margin};
    if (const Attribute* found = FindAttribute(element, "margin"))
      node.margins = ReadMargins(found->value);
    node.fill = ReadFill(GetAttribute(element, "expand"), Fill::kBoth);
    ReadAlign(GetAttribute(element, "align"), &node.alignX, &node.alignY);
    node.expandWidth = ReadPlain(element, "expandwidth", 0, kLengthRange);
    node.expandHeight = ReadPlain(element, "expandheight", 0, kLengthRange);
  }
  switch (node.kind) {
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kSplitter:
      node.spacing = ReadPlain(element, "spacing", 5, kLengthRange);
      node.expand =
          ReadShare(GetAttribute(element, "expand"),
                    Share{node.kind == Kind::kSplitter ? ShareMode::kEqual : ShareMode::kYes, 0});
      break;
    case Kind::kGridBox:
      node.columns = std::max(ReadPlain(element, "columns", 2, kAnyNumber), 1);
      node.columnSpacing = ReadPlain(element, "colspacing", 5, kLengthRange);
      node.rowSpacing = ReadPlain(element, "rowspacing", 5, kLengthRange);
      node.columnExpand = ReadShare(GetAttribute(element, "colexpand"), Share{ShareMode::kYes, 0});
      node.rowExpand = ReadShare(GetAttribute(element, "rowexpand"), Share{ShareMode::kNo, 0});
      break;
    case Kind::kSpin:
      node.minimum = ReadNumber(build, element, "min", 0, kAnyNumber);
      node.maximum = ReadNumber(build, element, "max", 100, kAnyNumber);
      break;
    case Kind::kContainer:
      if (node.flags == 0) {
        node.border = 0;
      } else if (node.flags & flag::kContainerFlat) {
        node.border = 2;
      } else {
        node.border = 2 * build.toolkit.SystemBorderWidth();
      }
      break;
    default:
      break;
  }
  node.folded = IsYes(element, "folded");
}

// Hides a node's control and every control inside it. Controls that live inside the node's own
// control disappear with it, so showing that one control brings the page back; controls laid
// over it (a frame's) are hidden one by one.
void HideWithContents(Node& node, Toolkit& toolkit) {
  if (node.control != nullptr && node.kind != Kind::kTab) toolkit.Show(node.control, false);
  if (node.control != nullptr && HoldsChildControls(node.kind)) return;
  for (auto& child : node.children) HideWithContents(*child, toolkit);
}

bool AddChild(Build& build, Node& parent, std::unique_ptr<Node> child) {
  const char* parentName = KindName(parent.kind);
  switch (parent.kind) {
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kMultiBox:
    case Kind::kPanel:
    case Kind::kSplitter:
      if (parent.children.size() >= kMaxBoxChildren) {
        Fail(build.dialog, Quoted(parentName) + " has more than 100 children");
        DestroyNodeControls(*child, build.toolkit);
        return false;
      }
      break;
    case Kind::kGridBox:
      if (parent.children.size() >= static_cast<size_t>(parent.columns) * kMaxGridRows) {
        Fail(build.dialog, "'gridbox' has more than 15 columns or 70 rows");
        DestroyNodeControls(*child, build.toolkit);
        return false;
      }
      break;
    default:
      if (IsSingleChildKind(parent.kind) && !parent.children.empty()) {
        // A later child takes the place of an earlier one.
        DestroyNodeControls(*parent.children.back(), build.toolkit);
        parent.children.clear();
      }
      break;
  }
  child->parent = &parent;
  parent.children.push_back(std::move(child));
  return true;
}

bool BuildChildren(Build& build, const Element& element, Node& node, int depth);

// Builds the node of one element (known kind), checking its attributes, and adds it to
// `parent`; the controls come later (CreateNodeControls).
bool BuildElement(Build& build, const Element& element, Kind kind, Node& parent, int depth) {
  if (depth > kMaxNestingDepth) {
    Fail(build.dialog, "Description nested deeper than 256 levels");
    return false;
  }
  auto node = std::make_unique<Node>();
  node->kind = kind;
  node->parent = &parent;
  if (const Attribute* found = FindAttribute(element, "name")) {
    node->name = found->value;
    node->hasName = true;
  }
  if (const Attribute* found = FindAttribute(element, "text")) {
    node->caption = found->value;
    node->hasCaption = true;
  }
  node->minWidth = ReadNumber(build, element, "width", 0, kLengthRange);
  node->minHeight = ReadNumber(build, element, "height", 0, kLengthRange);
  if (!ReadFlags(build, element, kind, &node->flags)) return false;
  std::vector<EventBinding> events;
  if (!ReadEvents(build, element, kind, &events)) return false;
  ReadKindAttributes(build, element, *node);
  if (kind == Kind::kGridBox && node->columns > kMaxGridColumns) {
    Fail(build.dialog, "'gridbox' has more than 15 columns or 70 rows");
    return false;
  }

  if (CreatesControl(kind)) {
    const Attribute* id = FindAttribute(element, "id");
    if (id != nullptr && !SameName(id->value, "#PB_Any"))
      node->number = ReadNumber(build, element, "id", -1, kAnyNumber);
    node->controlNumber = node->number >= 0 ? node->number : build.dialog.nextAutomaticNumber++;
    if (kind == Kind::kOption) {
      if (!build.lastControlWasOption) ++build.optionGroup;
      node->optionGroup = build.optionGroup;
    }
    build.lastControlWasOption = kind == Kind::kOption;
    if (kind == Kind::kTab) node->tabIndex = static_cast<int>(parent.children.size());
    for (EventBinding& binding : events) {
      binding.number = node->controlNumber;
      build.dialog.bindings.push_back(binding);
    }
    node->startsDisabled = IsYes(element, "disabled");
    node->startsInvisible = IsYes(element, "invisible");
  }

  if (TakesChildren(kind) && !BuildChildren(build, element, *node, depth)) return false;
  return AddChild(build, parent, std::move(node));
}

// Creates the control of `node` inside `controlParent`, then those of its children.
bool CreateNodeControls(Dialog& dialog, Node& node, Control controlParent) {
  Toolkit& toolkit = *dialog.toolkit;
  Control childParent = controlParent;
  if (CreatesControl(node.kind)) {
    if (node.kind == Kind::kTab) {
      node.control = toolkit.AddPanelTab(node.parent->control, node.caption);
    } else {
      ControlSpec params;
      params.kind = node.kind;
      params.number = node.controlNumber;
      params.caption = node.caption;
      params.flags = node.flags;
      params.minimum = node.minimum;
      params.maximum = node.maximum;
      params.optionGroup = node.optionGroup;
      node.control = toolkit.CreateControl(controlParent, params);
    }
    if (node.control == nullptr) {
      Fail(dialog, std::string("Failed to create the control of '") + KindName(node.kind) + "'");
      return false;
    }
    if (HoldsChildControls(node.kind)) childParent = node.control;
  }
  for (auto& child : node.children)
    if (!CreateNodeControls(dialog, *child, childParent)) return false;
  if (node.control != nullptr) {
    if (node.startsDisabled) toolkit.Enable(node.control, false);
    if (node.startsInvisible) HideWithContents(node, toolkit);
  }
  return true;
}

bool BuildChildren(Build& build, const Element& element, Node& node, int depth) {
  for (const auto& child : element.children) {
    Kind kind;
    if (!FindKind(child->name, &kind)) continue;  // unknown: skipped with its subtree
    if (kind == Kind::kWindow || kind == Kind::kDialogs) continue;
    // A panel holds tabs only, and a tab lives only in a panel.
    if ((node.kind == Kind::kPanel) != (kind == Kind::kTab)) continue;
    if (!BuildElement(build, *child, kind, node, depth + 1)) return false;
  }
  return true;
}

const Element* FindWindowElement(const Element& root, const std::string& name, int* depth) {
  auto matches = [&](const Element& element) {
    return name.empty() || SameName(GetAttribute(element, "name"), name);
  };
  if (IsElement(root, "window")) {
    *depth = 1;
    return matches(root) ? &root : nullptr;
  }
  if (IsElement(root, "dialogs")) {
    for (const auto& child : root.children) {
      if (IsElement(*child, "window") && matches(*child)) {
        *depth = 2;
        return child.get();
      }
    }
  }
  return nullptr;
}

int ReadBound(const Element& element, std::string_view attribute, int required, bool* present) {
  const Attribute* found = FindAttribute(element, attribute);
  if (found == nullptr) return -1;
  *present = true;
  std::string value(found->value);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  if (SameName(value, "auto")) return required;
  return ReadDecimal(value, kBoundRange);
}

void PlaceWindow(Dialog& dialog, int width, int height) {
  dialog.innerWidth = width;
  dialog.innerHeight = height;
  PlaceNode(*dialog.window, *dialog.toolkit, 0, 0, width, height);
}

}  // namespace

Dialog::~Dialog() { CloseWindow(*this); }

void Dialog::OnResized(int width, int height) { Relayout(*this, width, height); }

void Dialog::OnControlEvent(int number, int eventType) {
  DispatchControlEvent(*this, number, eventType);
}

bool OpenWindow(Dialog& dialog, Toolkit& toolkit, const Element& root,
                const RuntimeNameTable& names, const OpenWindowOptions& options) {
  CloseWindow(dialog);
  dialog.error.clear();
  dialog.bindings.clear();
  dialog.toolkit = &toolkit;
  dialog.options = options;
  dialog.controlsBuilt = false;
  Build build{dialog, toolkit, names};

  int depth = 1;
  const Element* element = FindWindowElement(root, options.name, &depth);
  if (element == nullptr) {
    Fail(dialog, "Dialog window not found");
    return false;
  }
  auto window = std::make_unique<Node>();
  window->kind = Kind::kWindow;
  if (const Attribute* found = FindAttribute(*element, "name")) {
    window->name = found->value;
    window->hasName = true;
  }
  if (const Attribute* found = FindAttribute(*element, "text")) {
    window->caption = found->value;
    window->hasCaption = true;
  }
  window->minWidth = ReadNumber(build, *element, "width", 0, kLengthRange);
  window->minHeight = ReadNumber(build, *element, "height", 0, kLengthRange);
  if (!ReadFlags(build, *element, Kind::kWindow, &window->flags)) return false;
  ReadKindAttributes(build, *element, *window);
  const Attribute* id = FindAttribute(*element, "id");
  if (id != nullptr && !SameName(id->value, "#PB_Any"))
    window->number = ReadNumber(build, *element, "id", -1, kAnyNumber);
  window->controlNumber = window->number >= 0 ? window->number : dialog.nextAutomaticNumber++;
  WindowBounds& bounds = dialog.bounds;
  bounds = WindowBounds{};
  bounds.minWidth = ReadBound(*element, "minwidth", kAutoBound, &bounds.any);
  bounds.minHeight = ReadBound(*element, "minheight", kAutoBound, &bounds.any);
  bounds.maxWidth = ReadBound(*element, "maxwidth", kAutoBound, &bounds.any);
  bounds.maxHeight = ReadBound(*element, "maxheight", kAutoBound, &bounds.any);
  // The whole description is read and checked before any window exists.
  if (!BuildChildren(build, *element, *window, depth)) {
    dialog.bindings.clear();
    return false;
  }

  ControlSpec params;
  params.kind = Kind::kWindow;
  params.number = window->controlNumber;
  params.caption = window->caption;
  params.flags = window->flags;
  window->control = toolkit.CreateTopWindow(params, options.owner, options.x, options.y,
                                            options.width, options.height);
  if (window->control == nullptr) {
    Fail(dialog, "Failed to create the window");
    dialog.bindings.clear();
    return false;
  }
  dialog.window = std::move(window);
  if (!options.deferControls && !BuildControls(dialog)) {
    CloseWindow(dialog);
    return false;
  }
  toolkit.SetListener(dialog.window->control, &dialog);
  return true;
}

bool BuildControls(Dialog& dialog) {
  if (dialog.window == nullptr) return false;
  if (dialog.controlsBuilt) return true;
  Toolkit& toolkit = *dialog.toolkit;
  Node& node = *dialog.window;
  dialog.error.clear();
  for (auto& child : node.children) {
    if (!CreateNodeControls(dialog, *child, node.control)) {
      for (auto& built : node.children) DestroyNodeControls(*built, toolkit);
      return false;
    }
  }
  dialog.controlsBuilt = true;

  Size required = MeasureNode(node, toolkit);
  const WindowBounds& bounds = dialog.bounds;
  auto bound = [](int value, int whenAuto) { return value == kAutoBound ? whenAuto : value; };
  const int minWidth = bound(bounds.minWidth, required.width);
  const int minHeight = bound(bounds.minHeight, required.height);
  if (bounds.any)
    toolkit.SetSizeBounds(node.control, minWidth, minHeight, bound(bounds.maxWidth, required.width),
                          bound(bounds.maxHeight, required.height));

  // A window never opens smaller than its own lower bounds (the user could not get back there).
  const OpenWindowOptions& options = dialog.options;
  int width = std::max({required.width, options.width, minWidth});
  int height = std::max({required.height, options.height, minHeight});
  PlaceWindow(dialog, width, height);
  toolkit.SetInnerSize(node.control, width, height);

  if (node.flags & flag::kWindowScreenCentered) {
    toolkit.Center(node.control, nullptr);
  } else if (node.flags & flag::kWindowWindowCentered) {
    toolkit.Center(node.control, options.owner);
  }
  if ((node.flags & flag::kWindowInvisible) == 0 && !options.keepHidden)
    toolkit.ShowWindow(node.control, (node.flags & flag::kWindowNoActivate) == 0);
  return true;
}

void CloseWindow(Dialog& dialog) {
  if (dialog.window == nullptr) return;
  if (dialog.window->control != nullptr)
    dialog.toolkit->SetListener(dialog.window->control, nullptr);
  DestroyNodeControls(*dialog.window, *dialog.toolkit);
  dialog.window.reset();
  dialog.bindings.clear();
}

Node* FindNode(Dialog& dialog, std::string_view name) {
  return dialog.window != nullptr ? FindNodeByName(*dialog.window, name) : nullptr;
}

Node* FindNode(Dialog& dialog, int number) {
  return dialog.window != nullptr ? FindNodeByNumber(*dialog.window, number) : nullptr;
}

Control FindControl(Dialog& dialog, std::string_view name) {
  Node* node = FindNode(dialog, name);
  return node != nullptr ? node->control : nullptr;
}

Control FindControl(Dialog& dialog, int number) {
  Node* node = FindNode(dialog, number);
  return node != nullptr ? node->control : nullptr;
}

int ControlNumber(Dialog& dialog, std::string_view name) {
  Node* node = FindNode(dialog, name);
  return node != nullptr && node->controlNumber >= 0 ? node->controlNumber : -1;
}

void Relayout(Dialog& dialog, int innerWidth, int innerHeight) {
  if (dialog.window == nullptr) return;
  PlaceWindow(dialog, innerWidth, innerHeight);
}

void SetCaptionsAgain(Dialog& dialog) {
  if (dialog.window != nullptr) SetNodeCaptions(*dialog.window, *dialog.toolkit);
}

void DispatchControlEvent(Dialog& dialog, int number, int eventType) {
  // Copy: a procedure may close the dialog.
  std::vector<RuntimeProcedure> procedures;
  for (const EventBinding& binding : dialog.bindings)
    if (binding.number == number && EventMatches(binding.attribute, eventType))
      procedures.push_back(binding.procedure);
  for (RuntimeProcedure procedure : procedures) procedure();
  if (dialog.onEvent) dialog.onEvent(number, eventType);
}

}  // namespace dialog

// Simulated windows, properties, messages and hooks.
#include <algorithm>

#include "core/utf.h"
#include "os/sim/world.h"

namespace os::sim::detail {
namespace {

constexpr std::uintptr_t kFirstWindowHandle = 0x10010;
constexpr std::uintptr_t kWindowHandleStep = 0x10;
constexpr std::uintptr_t kFirstHookHandle = 0x7E0010;
constexpr std::uintptr_t kHookHandleStep = 0x8;
constexpr std::uint32_t kGuiThreadId = 0x1A4C;
constexpr std::size_t kMaxAtomLength = 255;

Window HandleOfSlot(std::size_t slot) {
  return reinterpret_cast<Window>(kFirstWindowHandle + slot * kWindowHandleStep);
}

Hook HandleOfHook(std::size_t index) {
  return reinterpret_cast<Hook>(kFirstHookHandle + index * kHookHandleStep);
}

bool HookIndex(Hook hook, std::size_t* index) {
  const auto value = reinterpret_cast<std::uintptr_t>(hook);
  if (value < kFirstHookHandle || (value - kFirstHookHandle) % kHookHandleStep != 0) return false;
  *index = (value - kFirstHookHandle) / kHookHandleStep;
  return *index < TheWorld().hooks.size();
}

bool HookApplies(const HookRecord& hook, int kind, std::uint32_t threadId) {
  return !hook.removed && hook.kind == kind && (hook.threadId == 0 || hook.threadId == threadId);
}

// The next hook of the chain below `position` (the most recently installed come first);
// `position` == hooks.size() starts the chain.
bool NextHook(const World& world, int kind, std::uint32_t threadId, std::size_t position,
              std::size_t* next) {
  while (position > 0) {
    --position;
    if (HookApplies(world.hooks[position], kind, threadId)) {
      *next = position;
      return true;
    }
  }
  return false;
}

// Runs the chain of `kind` for a message to a window of `threadId`; the first hook decides
// through CallNextHookEx whether the rest run.
void RunHookChain(int kind, std::uint32_t threadId, LParam record) {
  World& world = TheWorld();
  std::size_t first;
  if (!NextHook(world, kind, threadId, world.hooks.size(), &first)) return;
  const HookProc procedure = world.hooks[first].procedure;
  world.chains.push_back({kind, threadId, first});
  struct Pop {
    ~Pop() { TheWorld().chains.pop_back(); }
  } pop;
  procedure(kHC_ACTION, 1, record);  // wParam 1: sent by the current thread
}

std::string TruncateToUnits(const std::string& text, int maxChars) {
  if (maxChars <= 1) return {};
  const auto limit = static_cast<std::size_t>(maxChars - 1);
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return text.size() <= limit ? text : text.substr(0, limit);
  std::u16string wide = core::Utf8ToUtf16(text);
  if (wide.size() <= limit) return text;
  wide.resize(limit);
  // A cut between the halves of a pair drops the half that would stand alone.
  if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
  return core::Utf16ToUtf8(wide);
}

std::size_t Utf16Length(const std::string& text) { return core::Utf8ToUtf16(text).size(); }

bool ValidAtomName(const std::string& name) {
  return !name.empty() && (name.size() <= kMaxAtomLength || Utf16Length(name) <= kMaxAtomLength);
}

void CollectDescendants(const World& world, const WindowRecord& record, std::vector<Window>* out) {
  for (Window child : record.children) {
    out->push_back(child);
    if (const WindowRecord* childRecord = FindWindow(child)) {
      CollectDescendants(world, *childRecord, out);
    }
  }
}

}  // namespace

WindowRecord* FindWindow(World& world, Window window) {
  const auto value = reinterpret_cast<std::uintptr_t>(window);
  if (value < kFirstWindowHandle || (value - kFirstWindowHandle) % kWindowHandleStep != 0) {
    return nullptr;
  }
  const std::size_t slot = (value - kFirstWindowHandle) / kWindowHandleStep;
  return slot < world.windows.size() ? world.windows[slot].get() : nullptr;
}

WindowRecord* FindWindow(Window window) { return FindWindow(TheWorld(), window); }

}  // namespace os::sim::detail

namespace os::sim {

using namespace detail;

std::uint32_t GuiThreadId() { return kGuiThreadId; }

Window CreateWindow(const WindowSpec& params) {
  World& world = TheWorld();
  WindowRecord* parent = nullptr;
  if (params.parent != nullptr) {
    parent = FindWindow(params.parent);
    if (parent == nullptr) return nullptr;  // as CreateWindowEx with an invalid parent
  }
  auto record = std::make_unique<WindowRecord>();
  record->handle = HandleOfSlot(world.windows.size());
  record->className = params.className;
  record->text = params.text;
  record->parent = params.parent;
  record->procedure = params.procedure;
  record->dataProcedure = params.dataProcedure;
  record->data = params.data;
  record->visible = params.visible;
  record->threadId = params.threadId != 0 ? params.threadId : GuiThreadId();
  record->processId = params.processId != 0 ? params.processId : ProcessId();
  const Window handle = record->handle;
  world.windows.push_back(std::move(record));
  if (parent != nullptr) {
    parent->children.push_back(handle);
  } else {
    world.topLevel.push_back(handle);
  }
  return handle;
}

void DestroyWindow(Window window) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr || record->destroying) return;
  record->destroying = true;
  // As Windows: the window hears WM_DESTROY first, then its children are destroyed.
  os::SendMessage(window, kWM_DESTROY, 0, 0);
  record = FindWindow(window);
  if (record == nullptr) return;
  const std::vector<Window> children = record->children;
  for (Window child : children) DestroyWindow(child);

  World& world = TheWorld();
  record = FindWindow(window);
  if (record == nullptr) return;
  std::vector<Window>* siblings = &world.topLevel;
  if (WindowRecord* parent = FindWindow(record->parent)) siblings = &parent->children;
  siblings->erase(std::remove(siblings->begin(), siblings->end(), window), siblings->end());
  const auto slot =
      (reinterpret_cast<std::uintptr_t>(window) - kFirstWindowHandle) / kWindowHandleStep;
  world.windows[slot].reset();
}

void* GetWindowData(Window window) {
  const WindowRecord* record = FindWindow(window);
  return record ? record->data : nullptr;
}

void SetWindowData(Window window, void* data) {
  if (WindowRecord* record = FindWindow(window)) record->data = data;
}

void SetWindowText(Window window, const std::string& text) {
  if (WindowRecord* record = FindWindow(window)) record->text = text;
}

Window GetParent(Window window) {
  const WindowRecord* record = FindWindow(window);
  return record ? record->parent : nullptr;
}

bool IsMinimized(Window window) {
  const WindowRecord* record = FindWindow(window);
  return record != nullptr && record->minimized;
}

int MessageDepth() { return TheWorld().messageDepth; }

int HookCount(int kind) {
  int count = 0;
  for (const HookRecord& hook : TheWorld().hooks) count += !hook.removed && hook.kind == kind;
  return count;
}

void SetSendObserver(SendObserver observer) { TheWorld().observer = std::move(observer); }

}  // namespace os::sim

namespace os {

using namespace sim::detail;

std::intptr_t GetProp(Window window, const std::string& name) {
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr) return 0;
  const PropertyTable::Entry* entry = record->properties.Find(name);
  return entry ? entry->value : 0;
}

bool SetProp(Window window, const std::string& name, std::intptr_t value) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr || !ValidAtomName(name)) return false;
  record->properties.Set(name, value);
  return true;
}

std::intptr_t RemoveProp(Window window, const std::string& name) {
  WindowRecord* record = FindWindow(window);
  std::intptr_t value = 0;
  if (record == nullptr || !record->properties.Remove(name, &value)) return 0;
  return value;
}

std::vector<PropertyEntry> EnumProps(Window window) {
  std::vector<PropertyEntry> entries;
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr) return entries;
  entries.reserve(record->properties.Entries().size());
  for (const PropertyTable::Entry& entry : record->properties.Entries()) {
    entries.push_back({entry.name, entry.value});
  }
  return entries;
}

namespace {

// The messages in progress, counted for MessageDepth; also when a procedure throws.
struct MessageInProgress {
  explicit MessageInProgress(World& world) : world(world) { ++world.messageDepth; }
  ~MessageInProgress() { --world.messageDepth; }
  MessageInProgress(const MessageInProgress&) = delete;
  MessageInProgress& operator=(const MessageInProgress&) = delete;
  World& world;
};

// A message that an observer or the hooks see. Never inlined, so that the plain send keeps a small
// frame.
[[gnu::noinline]] LResult SendWatchedMessage(Window window, std::uint32_t message, WParam wParam,
                                             LParam lParam) {
  World& world = TheWorld();
  if (world.observer) world.observer(window, message, wParam, lParam);
  const WindowRecord* record = FindWindow(world, window);
  if (record == nullptr) return 0;
  // Copied: the procedure may destroy the window, and the hooks still run afterwards.
  const sim::WindowProc procedure = record->procedure;
  const sim::DataWindowProc dataProcedure = record->dataProcedure;
  const std::uint32_t threadId = record->threadId;

  const MessageInProgress inProgress(world);
  if (world.liveHooks[kWH_CALLWNDPROC] > 0) {
    CallWndRecord before{lParam, wParam, message, window};
    RunHookChain(kWH_CALLWNDPROC, threadId, reinterpret_cast<LParam>(&before));
  }
  LResult result = 0;
  if (dataProcedure) {
    result = dataProcedure(sim::GetWindowData(window), window, message, wParam, lParam);
  } else if (procedure) {
    result = procedure(window, message, wParam, lParam);
  }
  if (world.liveHooks[kWH_CALLWNDPROCRET] > 0) {
    CallWndRetRecord after{result, lParam, wParam, message, window};
    RunHookChain(kWH_CALLWNDPROCRET, threadId, reinterpret_cast<LParam>(&after));
  }
  return result;
}

}  // namespace

LResult SendMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  // The simulation's most frequent call: a message that no observer or hook watches goes
  // straight to the window's procedure, in a frame of its own that the hooks' work does not
  // weigh down (nor the making of the world at the first call: that send is a watched one).
  World* world = g_world;
  if (world == nullptr || world->observer || world->liveHooks[kWH_CALLWNDPROC] > 0 ||
      world->liveHooks[kWH_CALLWNDPROCRET] > 0)
    return SendWatchedMessage(window, message, wParam, lParam);
  const WindowRecord* record = FindWindow(*world, window);
  if (record == nullptr) return 0;
  const MessageInProgress inProgress(*world);
  if (record->dataProcedure)
    return record->dataProcedure(record->data, window, message, wParam, lParam);
  return record->procedure ? record->procedure(window, message, wParam, lParam) : 0;
}

Window GetRootAncestor(Window window) {
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr) return nullptr;
  while (const WindowRecord* parent = FindWindow(record->parent)) record = parent;
  return record->handle;
}

std::string GetClassName(Window window, int maxChars) {
  const WindowRecord* record = FindWindow(window);
  return record ? TruncateToUnits(record->className, maxChars) : std::string();
}

bool IsWindow(Window window) { return FindWindow(window) != nullptr; }

bool IsWindowVisible(Window window) {
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr) return false;
  for (; record != nullptr; record = FindWindow(record->parent)) {
    if (!record->visible) return false;
  }
  return true;
}

std::vector<Window> EnumChildWindows(Window window) {
  std::vector<Window> out;
  const World& world = TheWorld();
  if (window == nullptr) return world.topLevel;  // as EnumWindows
  if (const WindowRecord* record = FindWindow(window)) CollectDescendants(world, *record, &out);
  return out;
}

std::string GetWindowText(Window window, int maxChars) {
  const WindowRecord* record = FindWindow(window);
  return record ? TruncateToUnits(record->text, maxChars) : std::string();
}

bool CloseWindow(Window window) {
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr || record->parent != nullptr) return false;
  ShowWindow(window, kSW_MINIMIZE);
  return true;
}

bool ShowWindow(Window window, int command) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return false;
  const bool wasVisible = record->visible;
  const bool wasMinimized = record->minimized;
  bool visible = true;
  bool minimized = wasMinimized;
  switch (command) {
    case kSW_HIDE:
      visible = false;
      break;
    case 2:  // SW_SHOWMINIMIZED
    case kSW_MINIMIZE:
    case 7:  // SW_SHOWMINNOACTIVE
      minimized = true;
      break;
    case 1:  // SW_SHOWNORMAL
    case 3:  // SW_SHOWMAXIMIZED
    case 4:  // SW_SHOWNOACTIVATE
    case kSW_RESTORE:
      minimized = false;
      break;
    default:  // SW_SHOW, SW_SHOWNA, SW_SHOWDEFAULT: shown in its current state
      break;
  }
  record->visible = visible;
  record->minimized = minimized;
  // The window hears of the change as on Windows (the host's restore event comes from WM_SIZE).
  // A minimise or restore reports only its size change, as under Win32.
  if (minimized != wasMinimized) {
    SendMessage(window, kWM_SIZE, minimized ? kSIZE_MINIMIZED : kSIZE_RESTORED, 0);
  } else if (visible != wasVisible) {
    SendMessage(window, kWM_SHOWWINDOW, visible ? 1 : 0, 0);
  }
  return wasVisible;  // as Win32: whether the window was visible before
}

std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId) {
  const WindowRecord* record = FindWindow(window);
  if (processId) *processId = record ? record->processId : 0;
  return record ? record->threadId : 0;
}

Hook SetWindowsHookEx(int kind, HookProc procedure, Module /*module*/, std::uint32_t threadId) {
  World& world = TheWorld();
  if (procedure == nullptr || kind < 0 || kind >= static_cast<int>(world.liveHooks.size())) {
    return nullptr;
  }
  if (threadId != 0 && threadId != sim::GuiThreadId()) {
    // Only threads that own a window exist in the simulation.
    bool known = false;
    for (const auto& record : world.windows)
      known = known || (record && record->threadId == threadId);
    if (!known) return nullptr;
  }
  world.hooks.push_back({kind, procedure, threadId, false});
  ++world.liveHooks[kind];
  return HandleOfHook(world.hooks.size() - 1);
}

bool UnhookWindowsHookEx(Hook hook) {
  World& world = TheWorld();
  std::size_t index;
  if (!HookIndex(hook, &index) || world.hooks[index].removed) return false;
  world.hooks[index].removed = true;
  --world.liveHooks[world.hooks[index].kind];
  return true;
}

LResult CallNextHookEx(Hook /*hook*/, int code, WParam wParam, LParam lParam) {
  // As on Windows since NT, the handle is ignored: the running chain knows its place.
  World& world = TheWorld();
  if (world.chains.empty()) return 0;
  const std::size_t frameIndex = world.chains.size() - 1;
  const ChainFrame frame = world.chains[frameIndex];
  std::size_t next;
  if (!NextHook(world, frame.kind, frame.threadId, frame.position, &next)) return 0;
  const HookProc procedure = world.hooks[next].procedure;
  world.chains[frameIndex].position = next;
  struct Restore {
    std::size_t frameIndex, position;
    ~Restore() { TheWorld().chains[frameIndex].position = position; }
  } restore{frameIndex, frame.position};
  return procedure(code, wParam, lParam);
}

}  // namespace os

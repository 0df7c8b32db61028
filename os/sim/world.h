// The simulated world's state, shared by the files of os/sim. One instance, reset by
// os::sim::Reset(); everything runs on the caller's thread.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ascii.h"
#include "os/os.h"
#include "os/sim/property_table.h"
#include "os/sim/sim.h"

namespace os::sim::detail {

struct WindowRecord {
  Window handle = nullptr;
  std::string className;
  std::string text;
  Window parent = nullptr;
  std::vector<Window> children;  // creation order
  WindowProc procedure = nullptr;
  DataWindowProc dataProcedure = nullptr;
  void* data = nullptr;
  bool visible = true;
  bool minimized = false;
  bool destroying = false;
  std::uint32_t threadId = 0;
  std::uint32_t processId = 0;
  PropertyTable properties;
};

struct HookRecord {
  int kind;
  HookProc procedure;
  std::uint32_t threadId;  // 0: every thread
  bool removed;
};

// One running hook chain: which hook of the list is being called, for CallNextHookEx.
struct ChainFrame {
  int kind;
  std::uint32_t threadId;  // thread of the window the message went to
  std::size_t position;    // index into World::hooks of the running hook
};

struct LibraryRecord {
  std::string path;  // normalised: "/" separators
  std::map<std::string, void*> exports;
  int loadCount = 0;
};

struct World {
  // Windows: the handle encodes the slot, so a lookup is an index; slots are never reused
  // until Reset, so a destroyed window's handle stays invalid.
  std::vector<std::unique_ptr<WindowRecord>> windows;
  std::vector<Window> topLevel;

  // Installation order; chains run from the back. Removed hooks stay (marked) until Reset, so
  // a handle, which encodes the index, is never reused.
  std::vector<HookRecord> hooks;
  std::array<int, 16> liveHooks{};
  std::vector<ChainFrame> chains;
  int messageDepth = 0;
  SendObserver observer;

  std::array<bool, 256> keys{};
  std::deque<KeyEvent> input;

  std::map<std::string, std::string, core::LessIgnoreCase> environment;

  std::int64_t clock = 0;
  LocalTime localTime{};
  std::int64_t clockAtLocalTime = 0;

  std::map<std::uint32_t, std::uint32_t> processes;
  std::vector<LibraryRecord> libraries;
  std::string executablePath;
  std::map<std::string, std::string> fileFailures;  // normalised path -> the system's reason
};

// The one world, made at its first use. TheWorld is called for nearly every call into the
// simulation: once the world exists it is a pointer read.
World& MakeWorld();
inline World* g_world = nullptr;
inline World& TheWorld() { return g_world != nullptr ? *g_world : MakeWorld(); }
WindowRecord* FindWindow(Window window);
WindowRecord* FindWindow(World& world, Window window);
LocalTime DefaultLocalTime();
std::string NormalisePath(const std::string& path);

}  // namespace os::sim::detail

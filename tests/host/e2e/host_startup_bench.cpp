// Start-up time and private memory of toolhost.exe: from process creation to the host waiting in
// its event loop with its hooks installed, with a test plugin and (when staged) Zentrel.dll.
// Wine's own cost of starting a process is measured alone and reported beside it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/host/e2e/host_harness.h"

using namespace host_harness;

namespace {

constexpr int kRuns = 10;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// A process that ends at once: this program with --noop.
double EmptyProcessStart() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --noop";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 0;
  WaitForInputIdle(process.hProcess, 10000);
  WaitForSingleObject(process.hProcess, 10000);
  QueryPerformanceCounter(&end);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return Milliseconds(start, end);
}

// The median start-up, or a negative value when the host did not start.
double Measure(const wchar_t* label, const std::vector<std::wstring>& plugins, bool withZentrel) {
  TestIde ide;
  std::wstring folder = Stage(std::wstring(L"bench-") + label, plugins);
  if (withZentrel)
    CopyFileW((BuildFolder() + L"\\stage\\tool\\Zentrel.dll").c_str(),
              (folder + L"\\Zentrel.dll").c_str(), FALSE);
  std::vector<double> times;
  SIZE_T privateBytes = 0, workingSet = 0;
  for (int run = 0; run < kRuns; ++run) {
    Host host;
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    if (!StartHostFor(host, folder, ide) || !WaitReady(ide, host)) {
      std::printf("%ls: the host did not start\n", label);
      return -1;
    }
    QueryPerformanceCounter(&ready);
    times.push_back(Milliseconds(start, ready));
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(host.process.hProcess,
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
      // Private bytes (the commit charge); Wine leaves PrivateUsage at 0 and fills this one.
      privateBytes = std::max(privateBytes, std::max(memory.PrivateUsage, memory.PagefileUsage));
      workingSet = std::max(workingSet, memory.WorkingSetSize);
    }
    SendMessageTimeoutW(ToolWindow(ide), WM_COMMAND, 16, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    host.WaitExit();
  }
  std::printf("host start-up to hooks installed, %-22ls median %7.1f ms, min %7.1f ms (%d runs)\n",
              label, Median(times), *std::min_element(times.begin(), times.end()), kRuns);
  std::printf("host private memory once running,  %-22ls %7.1f MB (working set %.1f MB)\n", label,
              privateBytes / 1048576.0, workingSet / 1048576.0);
  return Median(times);
}

// A goal's line for `./vorpex bench`: how much one start-up may add to another.
void PrintGoal(const char* name, double extra, double goal) {
  std::printf("goal: %s figure=%.1fms goal=<=%.0fms ratio=%.2f\n", name, extra, goal, extra / goal);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--noop") return 0;
  std::vector<double> empty;
  for (int run = 0; run < kRuns; ++run) empty.push_back(EmptyProcessStart());
  std::printf("empty process start (the system's own cost)           median %7.1f ms\n",
              Median(empty));
  const double host = Measure(L"no plugin", {}, false);
  Measure(L"test plugin", {L"settings_plugin.dll"}, false);
  if (host >= 0) PrintGoal("host-start-host-over-empty-process", host - Median(empty), 100);
  if (GetFileAttributesW((BuildFolder() + L"\\stage\\tool\\Zentrel.dll").c_str()) !=
      INVALID_FILE_ATTRIBUTES) {
    const double zentrel = Measure(L"Zentrel.dll", {}, true);
    if (host >= 0 && zentrel >= 0) PrintGoal("host-start-zentrel-over-host", zentrel - host, 50);
  } else {
    std::printf("Zentrel.dll is not staged: its start-up is not measured\n");
  }
  return 0;
}

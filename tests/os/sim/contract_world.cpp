// The contract's world on the simulated window system.
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "os/sim/sim.h"
#include "tests/os/os_contract.h"

namespace os_contract {

void Reset() { os::sim::Reset(); }

os::Window MakeWindow(const WindowSpec& request) {
  os::sim::WindowSpec params;
  params.className = request.className;
  params.parent = request.parent;
  params.text = request.text;
  params.procedure = request.procedure;
  params.visible = request.visible;
  return os::sim::CreateWindow(params);
}

void DestroyWindow(os::Window window) { os::sim::DestroyWindow(window); }

bool IsMinimized(os::Window window) { return os::sim::IsMinimized(window); }

std::uint32_t CurrentThreadId() { return os::sim::GuiThreadId(); }

std::string MakeFolder() {
  char pattern[] = "/tmp/vorpex-os-contract-XXXXXX";
  return ::mkdtemp(pattern) ? pattern : "";
}

std::string PathIn(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}

void RemoveFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (os::ListFiles(folder, "*", &names)) {
    for (const std::string& name : names) ::unlink(PathIn(folder, name).c_str());
  }
  ::rmdir(folder.c_str());
}

}  // namespace os_contract

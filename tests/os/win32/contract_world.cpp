// The contract's world on real Win32: one window class per class name, whose procedure passes
// the contract's messages to the window's own procedure and the rest to DefWindowProcW.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/os/os_contract.h"

namespace os_contract {
namespace {

std::wstring Wide(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool ForTheProcedure(UINT message) {
  return message == WM_DESTROY || message == WM_SIZE || message == WM_SHOWWINDOW ||
         message == WM_NOTIFY || message >= WM_USER;
}

LRESULT CALLBACK ContractWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto procedure = reinterpret_cast<Procedure>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (ForTheProcedure(message)) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<HWND> g_made;  // top-level windows of the current test

}  // namespace

void Reset() {
  for (HWND window : g_made) {
    if (IsWindow(window)) ::DestroyWindow(window);
  }
  g_made.clear();
}

os::Window MakeWindow(const WindowSpec& request) {
  static std::set<std::wstring> registered;
  const std::wstring className = Wide(request.className);
  if (registered.insert(className).second) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ContractWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);
  }
  const HWND parent = static_cast<HWND>(request.parent);
  const DWORD style =
      (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | (request.visible ? WS_VISIBLE : 0);
  const HWND window = CreateWindowExW(0, className.c_str(), Wide(request.text).c_str(), style, 0, 0,
                                      200, 100, parent, nullptr, GetModuleHandleW(nullptr),
                                      reinterpret_cast<void*>(request.procedure));
  if (window && !parent) g_made.push_back(window);
  return window;
}

void DestroyWindow(os::Window window) { ::DestroyWindow(static_cast<HWND>(window)); }

bool IsMinimized(os::Window window) { return IsIconic(static_cast<HWND>(window)) != FALSE; }

std::uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

std::string MakeFolder() {
  char base[MAX_PATH];
  if (GetTempPathA(MAX_PATH, base) == 0) return "";
  static int made = 0;
  const std::string folder = std::string(base) + "vorpex-os-contract-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
  return CreateDirectoryA(folder.c_str(), nullptr) ? folder : "";
}

std::string PathIn(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

void RemoveFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (os::ListFiles(folder, "*", &names)) {
    for (const std::string& name : names) DeleteFileA(PathIn(folder, name).c_str());
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace os_contract

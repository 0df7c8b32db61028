// A plugin library that exports only the call-window-procedure-return hook. Each call marks the
// window that processed the message with the id of the process the hook runs in, so that a test
// sees the hook ran inside the IDE process and on which window.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    OnHookCallbackComplete(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call->message == WM_USER + 77) {
      SetPropW(call->hwnd, L"VorpexTest.HookProcess",
               reinterpret_cast<HANDLE>(static_cast<INT_PTR>(GetCurrentProcessId())));
      INT_PTR count = reinterpret_cast<INT_PTR>(GetPropW(call->hwnd, L"VorpexTest.HookCalls"));
      SetPropW(call->hwnd, L"VorpexTest.HookCalls", reinterpret_cast<HANDLE>(count + 1));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

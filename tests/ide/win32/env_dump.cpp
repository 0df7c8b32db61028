// standin_env_dump.exe: a program for the IDE to start (as its tool host or through "Run
// program"). It appends one line to the file named by STANDIN_TEST_LOG with what it inherited:
//   started NAME PB_TOOL_MainWindow=V STANDIN_FROM_TEST=V STANDIN_SET_IN_IDE=V   (- when unset)
#include <windows.h>

#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  if (length == 0 || length >= 1024) return L"-";
  return std::wstring(value, length);
}

}  // namespace

int wmain() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  const std::wstring line = L"started " + name + L" PB_TOOL_MainWindow=" +
                            Variable(L"PB_TOOL_MainWindow") + L" STANDIN_FROM_TEST=" +
                            Variable(L"STANDIN_FROM_TEST") + L" STANDIN_SET_IN_IDE=" +
                            Variable(L"STANDIN_SET_IN_IDE") + L"\n";
  const std::wstring log = Variable(L"STANDIN_TEST_LOG");
  if (log == L"-") return 1;
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  char bytes[4096];
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                       bytes, sizeof bytes, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  return 0;
}

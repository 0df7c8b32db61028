#include "live_runner.h"

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "core/ascii.h"
#include "core/paths.h"
#include "core/property_names.h"
#include "host/host_gui.h"
#include "iface/scintilla.h"
#include "key_names.h"
#include "live_probe.h"
#include "os/os.h"
#include "os/win32/wide_text.h"
#include "scenario_file.h"

namespace live {
namespace {

using os::Wide;
using replay::ShowText;

constexpr long long kDefaultTypingDelay = 60;
constexpr int kStartTimeout = 20000;  // the IDE's window, the host, the hooks
constexpr int kIdleTimeout = 5000;    // the IDE settles after a command
constexpr int kSettledFor = 120;      // text and caret unchanged this long: the editor is idle
constexpr int kInputTimeout = 3000;   // a key press taken from the IDE's queue
constexpr DWORD kModifierLead = 80;   // Ctrl down before the key of a chord

// Stops a scenario that cannot go on: the IDE or the host did not do what it must.
struct Broken {
  std::string message;
};
// Stops a scenario at a command that its text cannot carry out (bad input, exit code 2).
struct BadInput {
  std::string message;
};

// A Linux path as Wine sees it (Z:\...); other paths unchanged.
std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string result = "Z:" + path;
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

bool WaitFor(int milliseconds, const std::function<bool()>& condition) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() > end) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(2);
  }
}

long long Number(const std::string& word) {
  long long value = 0;
  replay::ParseInteger(word, &value);
  return value;
}

// The environment of this process without the date variables, as a block for CreateProcessW.
std::wstring EnvironmentWithoutDates() {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; entry && *entry; entry += wcslen(entry) + 1) {
    if (_wcsnicmp(entry, L"CURRENT_", 8) == 0) continue;
    block += entry;
    block += L'\0';
  }
  if (strings) FreeEnvironmentStringsW(strings);
  block += L'\0';
  return block;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visible;
  HWND found;
};

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visible) {
  WindowSearch search{processId, className, visible, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) WINAPI -> BOOL {
        auto* search = reinterpret_cast<WindowSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = L"";
        GetClassNameW(window, name, 64);
        if (owner == search->processId && lstrcmpiW(name, search->className) == 0 &&
            (!search->visible || IsWindowVisible(window))) {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ModuleLoaded(DWORD processId, const wchar_t* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  bool found = false;
  for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
       more = Module32NextW(snapshot, &module))
    found = lstrcmpiW(module.szModule, name) == 0;
  CloseHandle(snapshot);
  return found;
}

// A private copy of the tool folder: the host there reads no preferences from an earlier run.
class ToolFolder {
 public:
  bool Create(const std::string& source, std::string* error) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"vorpex-live-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    for (const wchar_t* name : {L"toolhost.exe", L"Zentrel.dll"}) {
      const std::wstring from = Wide(WindowsPath(source)) + L"\\" + name;
      const std::wstring to = folder_ + L"\\" + name;
      if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        *error = "cannot copy " + WindowsPath(source) + "\\" +
                 std::string(name, name + wcslen(name)) + " to the private tool folder";
        return false;
      }
      copied_.push_back(to);
    }
    return true;
  }
  // A first run: no preferences file.
  void Forget() const { DeleteFileW((folder_ + L"\\toolhost.ini").c_str()); }
  const std::wstring& Path() const { return folder_; }
  ~ToolFolder() {
    Forget();
    for (const std::wstring& file : copied_) DeleteFileW(file.c_str());
    if (!folder_.empty()) RemoveDirectoryW(folder_.c_str());
  }

 private:
  std::wstring folder_;
  std::vector<std::wstring> copied_;
};

// The runner's own window: the probe's answers arrive here as WM_COPYDATA.
struct AnswerBox {
  HWND window = nullptr;
  std::string answer;
  bool answered = false;
};
AnswerBox g_answers;

LRESULT CALLBACK AnswerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA && lParam) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    g_answers.answer.assign(static_cast<const char*>(data->lpData), data->cbData);
    g_answers.answered = true;
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND AnswerWindow() {
  if (g_answers.window) return g_answers.window;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = AnswerProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VorpexLiveRunner";
  RegisterClassW(&windowClass);
  g_answers.window = CreateWindowExW(0, L"VorpexLiveRunner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
  return g_answers.window;
}

// What the probe reports about the IDE: whether its queue holds work, and the active editor.
struct EditorState {
  bool busy = true;
  long caret = -1;
  long anchor = -1;
  std::string text;
  bool operator==(const EditorState& other) const {
    return busy == other.busy && caret == other.caret && anchor == other.anchor &&
           text == other.text;
  }
};

class LiveScenario {
 public:
  LiveScenario(const replay::Scenario& scenario, const LiveOptions& options, const ToolFolder& tool,
               std::ostream& out)
      : scenario_(scenario), options_(options), tool_(tool), out_(out) {}

  ~LiveScenario() { Stop(); }

  std::vector<std::string> Run() {
    Start();
    for (const replay::Command& command : scenario_.commands) {
      if (options_.trace)
        out_ << "> " << scenario_.file << ":" << command.line << ": " << command.name
             << (command.rest.empty() ? "" : " " + command.rest) << std::endl;
      Execute(command);
      if (command.name.compare(0, 6, "expect") != 0) WaitQueueEmpty();
    }
    if (options_.print) printed_ = "  editor:\n" + ShowText(Settled().text, Settled().caret);
    Stop();
    if (!stopProblem_.empty()) failures_.push_back(stopProblem_);
    return failures_;
  }

  int SkippedSent() const { return skippedSent_; }
  const std::string& Printed() const { return printed_; }

 private:
  // --- start and end -------------------------------------------------------------------------

  void Start() {
    tool_.Forget();
    const std::wstring program = Wide(WindowsPath(options_.ideProgram));
    std::wstring commandLine =
        L"\"" + program + L"\" --tool-folder \"" + tool_.Path() + L"\" --start-tool";
    std::wstring environment = EnvironmentWithoutDates();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, &environment[0], nullptr, &startup, &process_))
      throw Broken{"cannot start " + WindowsPath(options_.ideProgram) + " (error " +
                   std::to_string(GetLastError()) + ")"};
    if (!WaitFor(kStartTimeout, [&] {
          ide_ = FindProcessWindow(process_.dwProcessId, L"StandinIDE", true);
          return ide_ != nullptr;
        }))
      throw Broken{"the IDE showed no main window"};
    ideThread_ = GetWindowThreadProcessId(ide_, nullptr);
    const std::int64_t handle = core::HandleValue(ide_);

    // The host: its tool window published, then its hooks in place (the plugin library is
    // loaded into the IDE at the first hook call, so the IDE is given messages until it is).
    if (!WaitFor(kStartTimeout, [&] {
          const std::intptr_t tool = os::GetProp(ide_, core::ToolPropertyName(handle));
          toolWindow_ = tool > 0 ? reinterpret_cast<HWND>(tool) : nullptr;
          return toolWindow_ != nullptr;
        }))
      throw Broken{"the tool host did not start (no .Plugin.Tool on the IDE window)"};
    hostProcessId_ = static_cast<DWORD>(os::GetProp(ide_, core::ProcessIdPropertyName(handle)));
    if (!WaitFor(kStartTimeout, [&] {
          DWORD_PTR result = 0;
          SendMessageTimeoutW(ide_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
          return ModuleLoaded(process_.dwProcessId, L"Zentrel.dll");
        }))
      throw Broken{"the host's hook did not load Zentrel.dll into the IDE"};

    // The probe, hooked into the IDE's GUI thread.
    probeModule_ = LoadLibraryW(Wide(WindowsPath(options_.probeLibrary)).c_str());
    auto* hook = probeModule_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                    GetProcAddress(probeModule_, kProbeHookExport)))
                              : nullptr;
    if (!hook) throw Broken{"cannot load the probe library " + WindowsPath(options_.probeLibrary)};
    probeHook_ = SetWindowsHookExW(WH_GETMESSAGE, hook, probeModule_, ideThread_);
    if (!probeHook_) throw Broken{"cannot hook the probe into the IDE"};
    if (!WaitFor(kStartTimeout, [&] {
          PostMessageW(ide_, WM_NULL, 0, 0);
          probe_ = FindProcessWindow(process_.dwProcessId, kProbeWindowClass, false);
          return probe_ != nullptr;
        }))
      throw Broken{"the probe did not start in the IDE"};

    SetForegroundWindow(ide_);
    if (!WaitFor(3000, [&] { return GetForegroundWindow() == ide_; }))
      throw Broken{"the IDE did not come to the foreground"};
    editorTabs_["main"] = 0;
    WaitQueueEmpty();
  }

  void Stop() {
    if (!process_.hProcess) return;
    // The host first, through its menu's Exit, as a user ends it.
    if (toolWindow_ && IsWindow(toolWindow_)) {
      PostMessageW(toolWindow_, WM_COMMAND, kToolMenuCloseWindow, 0);
      HANDLE host = hostProcessId_ ? OpenProcess(SYNCHRONIZE, FALSE, hostProcessId_) : nullptr;
      if (host) {
        if (WaitForSingleObject(host, 10000) != WAIT_OBJECT_0)
          stopProblem_ = "the tool host did not end after Exit";
        CloseHandle(host);
      }
    }
    if (probeHook_) UnhookWindowsHookEx(probeHook_);
    probeHook_ = nullptr;
    // Then the IDE, with nothing to save: every editor is marked saved first.
    if (IsWindow(ide_)) {
      EnumChildWindows(
          ide_,
          [](HWND window, LPARAM) WINAPI -> BOOL {
            wchar_t name[32] = L"";
            GetClassNameW(window, name, 32);
            if (lstrcmpiW(name, L"Scintilla") == 0)
              SendMessageW(window, sci::SCI_SETSAVEPOINT, 0, 0);
            return TRUE;
          },
          0);
      PostMessageW(ide_, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      if (stopProblem_.empty()) stopProblem_ = "the IDE did not close";
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    if (probeModule_) FreeLibrary(probeModule_);
    probeModule_ = nullptr;
  }

  // --- the probe -----------------------------------------------------------------------------

  LRESULT Ask(ProbeRequest request, const std::string& argument = "",
              std::string* answer = nullptr) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(request);
    data.cbData = static_cast<DWORD>(argument.size());
    data.lpData = const_cast<char*>(argument.data());
    g_answers.answered = false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(probe_, WM_COPYDATA, reinterpret_cast<WPARAM>(AnswerWindow()),
                             reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &result))
      throw Broken{"the IDE does not answer (probe request " +
                   std::to_string(static_cast<int>(request)) + ")"};
    if (answer) {
      if (!g_answers.answered) throw Broken{"the probe gave no answer"};
      *answer = g_answers.answer;
    }
    return static_cast<LRESULT>(result);
  }

  EditorState State() {
    std::string answer;
    Ask(ProbeRequest::kState, "", &answer);
    EditorState state;
    const std::size_t newline = answer.find('\n');
    std::istringstream head(answer.substr(0, newline));
    int busy = 1;
    head >> busy >> state.caret >> state.anchor;
    state.busy = busy != 0;
    if (newline != std::string::npos) state.text = answer.substr(newline + 1);
    return state;
  }

  // Everything queued (input, the IDE's posted commands, painting) has been handled.
  void WaitQueueEmpty() {
    int calm = 0;
    if (!WaitFor(kIdleTimeout, [&] {
          calm = State().busy ? 0 : calm + 1;
          return calm >= 2;
        }))
      throw Broken{"the IDE did not go idle"};
  }

  // The editor is idle: its queue is empty and its text and caret stay unchanged for a while.
  EditorState Settled() {
    EditorState last = State();
    ULONGLONG since = GetTickCount64();
    const ULONGLONG end = since + kIdleTimeout;
    for (;;) {
      Sleep(10);
      EditorState now = State();
      if (!(now == last)) {
        last = now;
        since = GetTickCount64();
      } else if (!now.busy && GetTickCount64() - since >= static_cast<ULONGLONG>(kSettledFor)) {
        return now;
      }
      if (GetTickCount64() > end) throw Broken{"the editor did not settle"};
    }
  }

  HWND Editor() {
    HWND found = nullptr;
    EnumChildWindows(
        ide_,
        [](HWND window, LPARAM data) WINAPI -> BOOL {
          wchar_t name[32] = L"";
          GetClassNameW(window, name, 32);
          if (lstrcmpiW(name, L"Scintilla") == 0 && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (!found) throw Broken{"the IDE shows no editor"};
    return found;
  }

  LRESULT EditorMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Editor(), message, wParam, lParam, SMTO_NORMAL, 10000, &result))
      throw Broken{"the editor does not answer message " + std::to_string(message)};
    return static_cast<LRESULT>(result);
  }

  // --- input ---------------------------------------------------------------------------------

  INPUT KeyInput(WORD virtualKey, wchar_t unit, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = unit ? unit : static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (unit ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0) |
                       (!unit && IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
  }

  // One user's key press: the typing delay after the previous press, then its key events one
  // at a time, as fingers make them: each is taken from the IDE's queue and what it caused is
  // handled before the next comes (so Ctrl is still down while the IDE handles Ctrl+Enter).
  void Press(const std::vector<std::pair<WORD, bool>>& keys, wchar_t unit = 0) {
    if (lastPress_ != 0) {
      const ULONGLONG due = lastPress_ + static_cast<ULONGLONG>(typingDelay_);
      const ULONGLONG now = GetTickCount64();
      if (due > now) Sleep(static_cast<DWORD>(due - now));
    }
    if (GetForegroundWindow() != ide_) {
      SetForegroundWindow(ide_);
      WaitFor(1000, [&] { return GetForegroundWindow() == ide_; });
    }
    lastPress_ = GetTickCount64();
    std::vector<INPUT> inputs;
    if (unit) {
      inputs.push_back(KeyInput(0, unit, false));
      inputs.push_back(KeyInput(0, unit, true));
    } else {
      for (const auto& [key, up] : keys) inputs.push_back(KeyInput(key, 0, up));
    }
    for (INPUT& input : inputs) {
      ++inputCount_;
      input.ki.dwExtraInfo = static_cast<ULONG_PTR>(
          kInputMarkBase | (static_cast<std::uint32_t>(inputCount_) & kInputCountMask));
      SendInput(1, &input, sizeof(INPUT));
      if (!WaitFor(kInputTimeout, [&] { return Ask(ProbeRequest::kLastInput) >= inputCount_; }))
        throw Broken{"the IDE did not take a key event from its queue"};
      WaitQueueEmpty();
      // A finger on a modifier is down a moment before the key: Wine answers GetAsyncKeyState
      // from a cache that may be up to 50 ms old, and the plugin reads the modifiers that way.
      const WORD pressed = input.ki.wVk;
      if (!unit && (pressed == VK_CONTROL || pressed == VK_SHIFT || pressed == VK_MENU) &&
          !(input.ki.dwFlags & KEYEVENTF_KEYUP))
        Sleep(kModifierLead);
    }
  }

  static WORD ModifierKey(int modifier) {
    return modifier == ide::kModShift ? VK_SHIFT : modifier == ide::kModAlt ? VK_MENU : VK_CONTROL;
  }

  // A chord's modifiers go down before its key and up after it, unless they are held.
  void PressChord(ide::KeyChord chord) {
    const WORD key = static_cast<WORD>(VirtualKeyOf(chord));
    std::vector<WORD> modifiers;
    for (int modifier : {ide::kModCtrl, ide::kModShift, ide::kModAlt})
      if ((chord.modifiers & modifier) != 0 && (heldModifiers_ & modifier) == 0)
        modifiers.push_back(ModifierKey(modifier));
    std::vector<std::pair<WORD, bool>> keys;
    for (WORD modifier : modifiers) keys.push_back({modifier, false});
    keys.push_back({key, false});
    keys.push_back({key, true});
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) keys.push_back({*it, true});
    Press(keys);
  }

  void TypeText(const std::string& text) {
    const std::wstring units = Wide(text);
    for (wchar_t unit : units) {
      if (unit == L'\t') {
        PressChord({ide::kKeyTab, 0});
      } else if ((heldModifiers_ & ide::kModCtrl) != 0 && unit < 0x80 && std::isalpha(unit)) {
        PressChord({std::toupper(static_cast<int>(unit)), ide::kModCtrl});
      } else {
        Press({}, unit);
      }
    }
  }

  // --- settings, as the host's settings window publishes them --------------------------------

  std::string PropertyName(const std::string& suffix) const {
    return core::PropertyPrefix(core::HandleValue(ide_)) + suffix;
  }

  // The value first, then the stamp that tells the plugin to read the settings again.
  void Stamp() {
    const std::string name = core::UpdateDatePropertyName(core::HandleValue(ide_));
    std::intptr_t stamp = static_cast<std::intptr_t>(os::MillisecondClock());
    const std::intptr_t previous = os::GetProp(ide_, name);
    if (stamp <= previous) stamp = previous + 1;
    os::SetProp(ide_, name, stamp);
  }

  // --- commands ------------------------------------------------------------------------------

  std::string LineEnd() const { return eolMode_ == sci::SC_EOL_LF ? "\n" : "\r\n"; }

  std::string Where(const replay::Command& command) const {
    return scenario_.file + ":" + std::to_string(command.line) + ": ";
  }

  void Fail(const replay::Command& command, const std::string& message) {
    failures_.push_back(Where(command) + message);
  }

  // Lines of the editor's text with their byte offsets.
  static std::vector<std::pair<long, std::string>> Lines(const std::string& text) {
    std::vector<std::pair<long, std::string>> lines;
    std::size_t start = 0;
    for (;;) {
      std::size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back({static_cast<long>(start), text.substr(start)});
        return lines;
      }
      lines.push_back({static_cast<long>(start), text.substr(start, end - start)});
      start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
  }

  long Position(const replay::Command& command, long long line, long long column) {
    const auto lines = Lines(Settled().text);
    if (line > static_cast<long long>(lines.size()))
      throw BadInput{Where(command) + "line " + std::to_string(line) + " is outside the text (" +
                     std::to_string(lines.size()) + " lines)"};
    const auto& [start, text] = lines[static_cast<std::size_t>(line - 1)];
    std::vector<long> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
        starts.push_back(start + static_cast<long>(i));
    const auto characters = static_cast<long long>(starts.size());
    if (column - 1 > characters)
      throw BadInput{Where(command) + "column " + std::to_string(column) + " is outside line " +
                     std::to_string(line) + " (" + std::to_string(characters) + " characters)"};
    return column - 1 == characters ? start + static_cast<long>(text.size())
                                    : starts[static_cast<std::size_t>(column - 1)];
  }

  void Execute(const replay::Command& c) {
    const std::string& name = c.name;
    if (name == "eol") {
      eolMode_ = c.words[0] == "lf" ? sci::SC_EOL_LF : sci::SC_EOL_CRLF;
      EditorMessage(sci::SCI_SETEOLMODE, static_cast<WPARAM>(eolMode_));
    } else if (name == "set") {
      const std::string& setting = c.words[0];
      const std::size_t dot = setting.find('.');
      const std::string group = setting.substr(0, dot);
      const long long value = disabledGroups_.count(group) ? 0 : Number(c.words[1]);
      os::SetProp(
          ide_, core::SettingPropertyName(core::HandleValue(ide_), group, setting.substr(dot + 1)),
          static_cast<std::intptr_t>(value));
      Stamp();
    } else if (name == "disable") {
      disabledGroups_.insert(c.words[0]);
      const std::string prefix = PropertyName(".Settings." + c.words[0] + ".");
      for (const os::PropertyEntry& entry : os::EnumProps(ide_))
        if (entry.name.size() > prefix.size() &&
            core::EqualsIgnoreCase(entry.name.substr(0, prefix.size()), prefix))
          os::SetProp(ide_, entry.name, 0);
      Stamp();
    } else if (name == "text") {
      long caret = -1;
      const std::string text = replay::JoinBlock(c.block, LineEnd(), &caret);
      if (!Ask(ProbeRequest::kSetText, std::to_string(caret < 0 ? 0 : caret) + "\n" + text))
        throw Broken{"the probe could not set the text"};
    } else if (name == "type") {
      TypeText(c.rest);
    } else if (name == "key") {
      ide::KeyChord chord;
      ide::ParseKeyChord(c.words[0], &chord);
      PressChord(chord);
    } else if (name == "paste") {
      const std::string text = replay::ClipboardOrPasteText(c);
      if (!Ask(ProbeRequest::kPaste, text)) throw Broken{"the probe could not paste"};
    } else if (name == "clipboard") {
      const std::string text = replay::ClipboardOrPasteText(c);
      if (!Ask(ProbeRequest::kSetClipboard, text))
        throw Broken{"the probe could not set the clipboard"};
    } else if (name == "caret") {
      EditorMessage(sci::SCI_GOTOPOS,
                    static_cast<WPARAM>(Position(c, Number(c.words[0]), Number(c.words[1]))));
    } else if (name == "select") {
      const long anchor = Position(c, Number(c.words[0]), Number(c.words[1]));
      const long caret = Position(c, Number(c.words[2]), Number(c.words[3]));
      EditorMessage(sci::SCI_SETSEL, static_cast<WPARAM>(anchor), caret);
    } else if (name == "focus") {
      if (!Ask(ProbeRequest::kFocus)) throw Broken{"the editor did not receive the focus"};
    } else if (name == "editor") {
      SwitchEditor(c.words[0]);
    } else if (name == "typing-delay") {
      typingDelay_ = Number(c.words[0]);
    } else if (name == "wait") {
      Sleep(static_cast<DWORD>(Number(c.words[0])));
    } else if (name == "hold" || name == "release") {
      const int modifier = c.words[0] == "Shift" ? ide::kModShift
                           : c.words[0] == "Alt" ? ide::kModAlt
                                                 : ide::kModCtrl;
      const bool hold = name == "hold";
      heldModifiers_ = hold ? heldModifiers_ | modifier : heldModifiers_ & ~modifier;
      Press({{ModifierKey(modifier), !hold}});
    } else if (name == "ignore-key") {
      ide::KeyChord chord;
      ide::ParseKeyChord(c.words[0], &chord);
      const bool ctrl = (chord.modifiers & ide::kModCtrl) != 0;
      Ask(ProbeRequest::kIgnoreKey, std::to_string(VirtualKeyOf(chord)) + " " + (ctrl ? "1" : "0"));
    } else if (name == "undo") {
      PressChord({'Z', ide::kModCtrl});
      long caret = -1;
      const std::string expected = replay::JoinBlock(c.block, LineEnd(), &caret);
      const std::string actual = Settled().text;
      if (actual != expected)
        Fail(c, "undo: one Ctrl+Z gives another text\n  expected:\n" + ShowText(expected, -1) +
                    "  actual:\n" + ShowText(actual, -1));
    } else {
      ExecuteExpectation(c);
    }
  }

  void SwitchEditor(const std::string& editorName) {
    const auto known = editorTabs_.find(editorName);
    if (known != editorTabs_.end()) {
      if (!Ask(ProbeRequest::kSelectEditor, std::to_string(known->second)))
        throw Broken{"the IDE did not switch to editor " + editorName};
      return;
    }
    const LRESULT before = Ask(ProbeRequest::kEditorCount);
    Ask(ProbeRequest::kNewEditor);
    if (!WaitFor(kIdleTimeout, [&] { return Ask(ProbeRequest::kEditorCount) > before; }))
      throw Broken{"the IDE opened no new editor"};
    editorTabs_[editorName] = static_cast<int>(before);
    WaitQueueEmpty();
    EditorMessage(sci::SCI_SETEOLMODE, static_cast<WPARAM>(eolMode_));
  }

  void ExecuteExpectation(const replay::Command& c) {
    const std::string& name = c.name;
    if (name == "expect-sent") {
      ++skippedSent_;  // what the plugin sent inside the IDE is not observable from outside
      return;
    }
    const EditorState state = Settled();
    if (name == "expect") {
      long caret = -1;
      const std::string expected = replay::JoinBlock(c.block, LineEnd(), &caret);
      const std::string why = replay::JudgeText(expected, caret, state.text, state.caret);
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-line") {
      const auto lines = Lines(state.text);
      const std::string why = replay::JudgeLine(
          Number(c.words[0]), c.rest, static_cast<long long>(lines.size()),
          [&lines](long long n) { return lines[static_cast<std::size_t>(n - 1)].second; });
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-prop") {
      const std::string property = PropertyName(c.words[0]);
      bool present = false;
      for (const os::PropertyEntry& entry : os::EnumProps(ide_))
        present = present || core::EqualsIgnoreCase(entry.name, property);
      const std::string why = replay::JudgeProperty(property, c.words[1], present,
                                                    present ? os::GetProp(ide_, property) : 0);
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-env") {
      std::string answer;
      Ask(ProbeRequest::kEnvironment, c.words[0], &answer);
      const bool set = !answer.empty() && answer[0] == '1';
      const std::string value = set ? answer.substr(1) : "";
      const std::string why = replay::JudgeEnvironment(c.words[0], c.words[1], set, value);
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-sci") {
      std::uint32_t message = 0;
      replay::ParseMessage(c.words[0], &message);
      const LRESULT actual = EditorMessage(message, static_cast<WPARAM>(Number(c.words[1])));
      if (actual != Number(c.words[2]))
        Fail(c, "expect-sci " + c.words[0] + " " + c.words[1] + ": expected " + c.words[2] +
                    ", actual " + std::to_string(actual));
    }
  }

  const replay::Scenario& scenario_;
  const LiveOptions& options_;
  const ToolFolder& tool_;
  std::ostream& out_;
  PROCESS_INFORMATION process_{};
  HWND ide_ = nullptr;
  DWORD ideThread_ = 0;
  HWND toolWindow_ = nullptr;
  DWORD hostProcessId_ = 0;
  HMODULE probeModule_ = nullptr;
  HHOOK probeHook_ = nullptr;
  HWND probe_ = nullptr;
  std::map<std::string, int> editorTabs_;
  std::set<std::string> disabledGroups_;
  std::vector<std::string> failures_;
  std::string stopProblem_;
  std::string printed_;
  int eolMode_ = sci::SC_EOL_CRLF;
  long long typingDelay_ = kDefaultTypingDelay;
  ULONGLONG lastPress_ = 0;
  LRESULT inputCount_ = 0;
  int heldModifiers_ = 0;  // ide::kModCtrl, kModShift, kModAlt held down by `hold`
  int skippedSent_ = 0;
};

}  // namespace

int RunLiveScenarioFiles(const std::vector<std::string>& files, const LiveOptions& options,
                         std::ostream& out, std::ostream& err) {
  ToolFolder tool;
  std::string error;
  if (!tool.Create(options.toolFolder, &error)) {
    err << "zentrel-replay: " << error << "\n";
    return 2;
  }
  AnswerWindow();
  int exitCode = 0;
  int passed = 0;
  int failed = 0;
  for (const std::string& file : files) {
    std::string text;
    std::vector<replay::Scenario> scenarios;
    if (!os::ReadWholeFile(WindowsPath(file), &text)) {
      err << file << ": cannot read the file\n";
      exitCode = 2;
      continue;
    }
    if (!replay::ParseScenarioFile(file, text, &scenarios, &error)) {
      err << error << "\n";
      exitCode = 2;
      continue;
    }
    for (const replay::Scenario& scenario : scenarios) {
      std::vector<std::string> failures;
      int skipped = 0;
      std::string printed;
      {
        LiveScenario run(scenario, options, tool, out);
        try {
          failures = run.Run();
        } catch (const BadInput& bad) {
          err << bad.message << "\n";
          failures.push_back(bad.message);
          exitCode = 2;
        } catch (const Broken& broken) {
          failures.push_back("the live run stopped: " + broken.message);
        } catch (const std::exception& e) {
          failures.push_back(std::string("the live run stopped: ") + e.what());
        }
        skipped = run.SkippedSent();
        printed = run.Printed();
      }
      const std::string note =
          skipped ? " (" + std::to_string(skipped) + " expect-sent skipped live)" : "";
      if (failures.empty()) {
        ++passed;
        out << "PASS " << scenario.name << note << "\n";
      } else {
        ++failed;
        out << "FAIL " << scenario.name << note << ": " << failures.front() << "\n";
        for (std::size_t i = 1; i < failures.size(); ++i) out << "  and: " << failures[i] << "\n";
        if (exitCode == 0) exitCode = 1;
      }
      out << printed << std::flush;
    }
  }
  out << passed << " passed, " << failed << " failed\n";
  return exitCode;
}

int LiveMain(int argc, char** argv) {
  LiveOptions options;
  options.ideProgram = VORPEX_LIVE_IDE_PROGRAM;
  options.toolFolder = VORPEX_LIVE_TOOL_FOLDER;
  {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    options.probeLibrary = core::FolderOf(path) + "\\zentrel-live-probe.dll";
  }
  bool live = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--live") {
      live = true;
    } else if (argument == "--print") {
      options.print = true;
    } else if (argument == "--trace") {
      options.trace = true;
    } else if ((argument == "--ide" || argument == "--tool-folder") && i + 1 < argc) {
      (argument == "--ide" ? options.ideProgram : options.toolFolder) = argv[++i];
    } else if (argument.size() > 1 && argument[0] == '-') {
      std::cerr << "zentrel-replay: unknown option " << argument << "\n";
      return 2;
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty() || !live) {
    std::cerr << "usage: zentrel-replay --live [--print] [--trace] [--ide EXE] [--tool-folder DIR] "
                 "SCENARIO...\n"
                 "(this Windows build runs scenarios live only; the headless run is the native "
                 "build's)\n";
    return 2;
  }
  return RunLiveScenarioFiles(files, options, std::cout, std::cerr);
}

}  // namespace live

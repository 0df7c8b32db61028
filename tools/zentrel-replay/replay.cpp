#include "replay.h"

#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "core/ascii.h"
#include "core/property_names.h"
#include "ide/headless/headless_ide.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"
#include "scenario_file.h"

namespace replay {
namespace {

constexpr std::int64_t kStartClock = 1000000;  // a non-zero clock, as on a running machine
constexpr long long kDefaultTypingDelay = 60;

struct SentMessage {
  os::Window window;
  std::uint32_t message;
  os::WParam wParam;
  os::LParam lParam;
};

// What the hook wrapper and the observers share while a scenario runs.
struct RunState {
  const ReplayPlugin* plugin = nullptr;
  bool trace = false;
  std::ostream* out = nullptr;
  int hookDepth = 0;
  std::vector<SentMessage> sent;  // by the plugin, during the last command
  std::map<os::Window, std::string> editorNames;
};
RunState* g_run = nullptr;

std::string WindowName(os::Window window) {
  const auto found = g_run->editorNames.find(window);
  if (found != g_run->editorNames.end()) return found->second;
  std::ostringstream name;
  name << "window " << window;
  return name.str();
}

std::string NotificationName(std::uint32_t code) {
  switch (code) {
    case sci::SCN_STYLENEEDED:
      return "SCN_STYLENEEDED";
    case sci::SCN_CHARADDED:
      return "SCN_CHARADDED";
    case sci::SCN_UPDATEUI:
      return "SCN_UPDATEUI";
    case sci::SCN_MODIFIED:
      return "SCN_MODIFIED";
    case sci::SCN_FOCUSIN:
      return "SCN_FOCUSIN";
    case sci::SCN_FOCUSOUT:
      return "SCN_FOCUSOUT";
    default:
      return std::to_string(code);
  }
}

void TraceNotification(const os::CallWndRetRecord& record) {
  const auto& scn = *reinterpret_cast<const sci::Notification*>(record.lParam);
  std::ostream& out = *g_run->out;
  out << "  notify " << WindowName(scn.nmhdr.hwndFrom) << " " << NotificationName(scn.nmhdr.code);
  switch (scn.nmhdr.code) {
    case sci::SCN_MODIFIED:
      out << " position=" << scn.position << " type=0x" << std::hex << scn.modificationType
          << std::dec << " length=" << scn.length << " linesAdded=" << scn.linesAdded;
      break;
    case sci::SCN_CHARADDED:
      out << " ch=" << scn.ch;
      break;
    case sci::SCN_UPDATEUI:
      out << " updated=" << scn.updated;
      break;
    case sci::SCN_STYLENEEDED:
      out << " position=" << scn.position;
      break;
    default:
      break;
  }
  out << "\n";
}

// The installed hook: runs the plugin's procedure and notes that the plugin is at work, so that
// the messages sent meanwhile are known as the plugin's.
os::LResult VORPEX_STDCALL PluginHook(int code, os::WParam wParam, os::LParam lParam) {
  if (g_run->trace && code == os::kHC_ACTION) {
    const auto& record = *reinterpret_cast<const os::CallWndRetRecord*>(lParam);
    if (record.message == os::kWM_NOTIFY && record.lParam != 0) TraceNotification(record);
  }
  ++g_run->hookDepth;
  const os::LResult result = g_run->plugin->hook(code, wParam, lParam);
  --g_run->hookDepth;
  return result;
}

void ObserveSend(os::Window window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
  if (!g_run || g_run->hookDepth == 0) return;
  g_run->sent.push_back({window, message, wParam, lParam});
  if (g_run->trace) {
    *g_run->out << "  send " << WindowName(window) << " " << message << " " << wParam << " "
                << lParam << "\n";
  }
}

void ReportUnknown(os::Window window, std::uint32_t message) {
  if (g_run && g_run->trace)
    *g_run->out << "  unknown message " << message << " to " << WindowName(window)
                << " (answered 0)\n";
}

// Stops a scenario at a command that its text cannot carry out (bad input, exit code 2).
struct BadInput {
  std::string message;
};

class ScenarioRun {
 public:
  ScenarioRun(const Scenario& scenario, RunState& run) : scenario_(scenario), run_(run) {
    os::sim::Reset();
    os::sim::SetClock(kStartClock);
    ide_ = std::make_unique<headless::Ide>();
    NameEditor("main");
    os::sim::SetSendObserver(&ObserveSend);
    os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, &PluginHook, nullptr, os::sim::GuiThreadId());
    if (run.plugin->publishDefaultSettings) run.plugin->publishDefaultSettings(ide_->MainWindow());
    Stamp();
    ide_->Idle();
  }

  ~ScenarioRun() {
    os::sim::SetSendObserver(nullptr);
    ide_.reset();
    os::sim::Reset();
  }

  // Runs every command; returns the failures (empty when every expectation held).
  std::vector<std::string> Run() {
    for (const Command& command : scenario_.commands) {
      const bool expectation = command.name.compare(0, 6, "expect") == 0;
      if (!expectation) run_.sent.clear();
      if (run_.trace) {
        *run_.out << "> " << scenario_.file << ":" << command.line << ": " << command.name
                  << (command.rest.empty() ? "" : " " + command.rest) << "\n";
      }
      Execute(command);
      ide_->Idle();
    }
    return failures_;
  }

  std::string PrintEditors() {
    std::string printed;
    for (const auto& [window, name] : run_.editorNames) {
      headless::Editor* editor = headless::EditorFromWindow(window);
      if (!editor) continue;
      printed +=
          "  editor " + name + ":\n" + ShowText(editor->Text(), static_cast<long>(editor->Caret()));
    }
    return printed;
  }

 private:
  headless::Editor& Editor() { return ide_->Current(); }

  void NameEditor(const std::string& name) { run_.editorNames[ide_->Find(name)->Window()] = name; }

  std::string Where(const Command& command) const {
    return scenario_.file + ":" + std::to_string(command.line) + ": ";
  }

  void Fail(const Command& command, const std::string& message) {
    failures_.push_back(Where(command) + message);
  }

  os::LResult Message(std::uint32_t message, std::int64_t wParam = 0, std::int64_t lParam = 0) {
    return Editor().Message(message, static_cast<os::WParam>(wParam),
                            static_cast<os::LParam>(lParam));
  }

  // The host's update stamp: a clock reading, always a new value, also after a stamp the
  // plugin wrote (as the host does, it steps past the value the property holds).
  void Stamp() {
    const std::string name = core::UpdateDatePropertyName(core::HandleValue(ide_->MainWindow()));
    const std::int64_t published = os::GetProp(ide_->MainWindow(), name);
    lastStamp_ = std::max<std::int64_t>({os::MillisecondClock(), lastStamp_ + 1, published + 1});
    os::SetProp(ide_->MainWindow(), name, static_cast<std::intptr_t>(lastStamp_));
  }

  std::string PropertyName(const std::string& suffix) const {
    return core::PropertyPrefix(core::HandleValue(ide_->MainWindow())) + suffix;
  }

  // A user's key press: the typing delay passes before every press but the first.
  template <typename Press>
  void PressInput(Press press) {
    if (pressedBefore_) os::sim::AdvanceClock(typingDelay_);
    pressedBefore_ = true;
    press();
    ide_->Idle();
  }

  // A chord's modifiers go down before its key and up after it, unless they are held.
  void PressChord(headless::KeyChord chord) {
    const int pressed = chord.modifiers & ~heldModifiers_;
    chord.modifiers |= heldModifiers_;
    PressInput([&] {
      SetModifierKeys(pressed, true);
      ide_->PressKey(chord);
      ide_->Idle();
      SetModifierKeys(pressed, false);
    });
  }

  static void SetModifierKeys(int modifiers, bool down) {
    if (modifiers & headless::kModCtrl) os::sim::SetKeyDown(os::kVK_CONTROL, down);
    if (modifiers & headless::kModShift) os::sim::SetKeyDown(os::kVK_SHIFT, down);
    if (modifiers & headless::kModAlt) os::sim::SetKeyDown(os::kVK_MENU, down);
  }

  static int ModifierOfName(const std::string& name) {
    return name == "Shift" ? headless::kModShift
           : name == "Alt" ? headless::kModAlt
                           : headless::kModCtrl;
  }

  std::int64_t Position(const Command& command, long long line, long long column) {
    const std::int64_t lines = Message(sci::SCI_GETLINECOUNT);
    if (line > lines) {
      throw BadInput{Where(command) + "line " + std::to_string(line) + " is outside the text (" +
                     std::to_string(lines) + " lines)"};
    }
    const std::int64_t start = Message(sci::SCI_POSITIONFROMLINE, line - 1);
    const std::int64_t end = Message(sci::SCI_GETLINEENDPOSITION, line - 1);
    const std::string text = Editor().TextRange(start, end);
    std::int64_t position = start;
    long long characters = 0;
    std::vector<std::int64_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
        starts.push_back(start + static_cast<std::int64_t>(i));
    }
    characters = static_cast<long long>(starts.size());
    if (column - 1 > characters) {
      throw BadInput{Where(command) + "column " + std::to_string(column) + " is outside line " +
                     std::to_string(line) + " (" + std::to_string(characters) + " characters)"};
    }
    position = column - 1 == characters ? end : starts[static_cast<std::size_t>(column - 1)];
    return position;
  }

  static long long Number(const std::string& word) {
    long long value = 0;
    ParseInteger(word, &value);
    return value;
  }

  std::string LineEnd() const { return eolMode_ == sci::SC_EOL_LF ? "\n" : "\r\n"; }

  void Execute(const Command& c) {
    const std::string& name = c.name;
    if (name == "eol") {
      eolMode_ = c.words[0] == "lf" ? sci::SC_EOL_LF : sci::SC_EOL_CRLF;
      Message(sci::SCI_SETEOLMODE, eolMode_);
    } else if (name == "set") {
      const std::string& setting = c.words[0];
      const std::size_t dot = setting.find('.');
      const std::string group = setting.substr(0, dot);
      const std::string key = setting.substr(dot + 1);
      const long long value = disabledGroups_.count(group) ? 0 : Number(c.words[1]);
      os::SetProp(ide_->MainWindow(),
                  core::SettingPropertyName(core::HandleValue(ide_->MainWindow()), group, key),
                  static_cast<std::intptr_t>(value));
      Stamp();
    } else if (name == "disable") {
      disabledGroups_.insert(c.words[0]);
      const std::string prefix = PropertyName(".Settings." + c.words[0] + ".");
      for (const os::PropertyEntry& entry : os::EnumProps(ide_->MainWindow())) {
        if (entry.name.size() > prefix.size() &&
            core::EqualsIgnoreCase(entry.name.substr(0, prefix.size()), prefix))
          os::SetProp(ide_->MainWindow(), entry.name, 0);
      }
      Stamp();
    } else if (name == "text") {
      long caret = -1;
      const std::string text = JoinBlock(c.block, LineEnd(), &caret);
      Message(sci::SCI_SETTEXT, 0, reinterpret_cast<std::intptr_t>(text.c_str()));
      Message(sci::SCI_EMPTYUNDOBUFFER);
      Message(sci::SCI_GOTOPOS, caret < 0 ? 0 : caret);
    } else if (name == "type") {
      std::size_t i = 0;
      while (i < c.rest.size()) {
        std::size_t length = 1;
        while (i + length < c.rest.size() &&
               (static_cast<unsigned char>(c.rest[i + length]) & 0xC0) == 0x80)
          ++length;
        const std::string character = c.rest.substr(i, length);
        i += length;
        if (character == "\t") {
          PressChord({headless::kKeyTab, 0});
        } else {
          PressInput([&] { ide_->TypeCharacter(character); });
        }
      }
    } else if (name == "key") {
      headless::KeyChord chord;
      headless::ParseKeyChord(c.words[0], &chord);
      PressChord(chord);
    } else if (name == "paste") {
      const std::string text = ClipboardOrPasteText(c);
      PressInput([&] { ide_->Paste(text); });
    } else if (name == "clipboard") {
      const std::string text = ClipboardOrPasteText(c);
      headless::SetClipboardText(text);
    } else if (name == "caret") {
      const std::int64_t position = Position(c, Number(c.words[0]), Number(c.words[1]));
      Message(sci::SCI_GOTOPOS, position);
    } else if (name == "select") {
      const std::int64_t anchor = Position(c, Number(c.words[0]), Number(c.words[1]));
      const std::int64_t caret = Position(c, Number(c.words[2]), Number(c.words[3]));
      Message(sci::SCI_SETSEL, anchor, caret);
    } else if (name == "focus") {
      ide_->Focus();
    } else if (name == "editor") {
      const bool created = ide_->Find(c.words[0]) == nullptr;
      ide_->Switch(c.words[0]);
      NameEditor(c.words[0]);
      if (created) Message(sci::SCI_SETEOLMODE, eolMode_);
    } else if (name == "typing-delay") {
      typingDelay_ = Number(c.words[0]);
    } else if (name == "wait") {
      os::sim::AdvanceClock(Number(c.words[0]));
    } else if (name == "hold" || name == "release") {
      const int modifier = ModifierOfName(c.words[0]);
      heldModifiers_ = name == "hold" ? heldModifiers_ | modifier : heldModifiers_ & ~modifier;
      SetModifierKeys(modifier, name == "hold");
    } else if (name == "ignore-key") {
      headless::KeyChord chord;
      headless::ParseKeyChord(c.words[0], &chord);
      ide_->IgnoreKey(chord);
    } else if (name == "undo") {
      PressChord({'Z', headless::kModCtrl});
      long caret = -1;
      const std::string expected = JoinBlock(c.block, LineEnd(), &caret);
      const std::string actual = Editor().Text();
      if (actual != expected) {
        Fail(c, "undo: one Ctrl+Z gives another text\n  expected:\n" + ShowText(expected, -1) +
                    "  actual:\n" + ShowText(actual, -1));
      }
    } else {
      ExecuteExpectation(c);
    }
  }

  void ExecuteExpectation(const Command& c) {
    ide_->Idle();
    const std::string& name = c.name;
    if (name == "expect") {
      long caret = -1;
      const std::string expected = JoinBlock(c.block, LineEnd(), &caret);
      const std::string why =
          JudgeText(expected, caret, Editor().Text(), static_cast<long>(Editor().Caret()));
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-line") {
      const std::string why = JudgeLine(
          Number(c.words[0]), c.rest, Message(sci::SCI_GETLINECOUNT), [this](long long n) {
            return Editor().TextRange(Message(sci::SCI_POSITIONFROMLINE, n - 1),
                                      Message(sci::SCI_GETLINEENDPOSITION, n - 1));
          });
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-prop") {
      const std::string property = PropertyName(c.words[0]);
      bool present = false;
      for (const os::PropertyEntry& entry : os::EnumProps(ide_->MainWindow()))
        present = present || core::EqualsIgnoreCase(entry.name, property);
      const std::string why = JudgeProperty(
          property, c.words[1], present, present ? os::GetProp(ide_->MainWindow(), property) : 0);
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-env") {
      std::string value;
      const bool set = os::GetEnvironmentVariable(c.words[0], &value);
      const std::string why = JudgeEnvironment(c.words[0], c.words[1], set, value);
      if (!why.empty()) Fail(c, why);
    } else if (name == "expect-sent") {
      std::uint32_t message = 0;
      ParseMessage(c.words[0], &message);
      const auto wParam = static_cast<os::WParam>(Number(c.words[1]));
      const auto lParam = static_cast<os::LParam>(Number(c.words[2]));
      std::string seen;
      for (const SentMessage& sent : run_.sent) {
        if (sent.window != Editor().Window() || sent.message != message) continue;
        if (sent.wParam == wParam && sent.lParam == lParam) return;
        seen += " (" + std::to_string(static_cast<std::intptr_t>(sent.wParam)) + ", " +
                std::to_string(sent.lParam) + ")";
      }
      Fail(c, "expect-sent: the plugin did not send " + c.words[0] + " with " + c.words[1] + ", " +
                  c.words[2] +
                  (seen.empty() ? std::string(" (not sent at all)") : "; it sent" + seen));
    } else if (name == "expect-sci") {
      std::uint32_t message = 0;
      ParseMessage(c.words[0], &message);
      const os::LResult actual = Message(message, Number(c.words[1]));
      if (actual != Number(c.words[2]))
        Fail(c, "expect-sci " + c.words[0] + " " + c.words[1] + ": expected " + c.words[2] +
                    ", actual " + std::to_string(actual));
    }
  }

  const Scenario& scenario_;
  RunState& run_;
  std::unique_ptr<headless::Ide> ide_;
  std::vector<std::string> failures_;
  std::set<std::string> disabledGroups_;
  int eolMode_ = sci::SC_EOL_CRLF;
  long long typingDelay_ = kDefaultTypingDelay;
  bool pressedBefore_ = false;
  int heldModifiers_ = 0;  // kModCtrl, kModShift, kModAlt held down by `hold`
  std::int64_t lastStamp_ = 0;
};

}  // namespace

int RunScenarioFiles(const std::vector<std::string>& files, const ReplayOptions& options,
                     const ReplayPlugin& plugin, std::ostream& out, std::ostream& err) {
  int exitCode = 0;
  int passed = 0;
  int failed = 0;
  for (const std::string& file : files) {
    std::string text;
    std::vector<Scenario> scenarios;
    std::string error;
    if (!os::ReadWholeFile(file, &text)) {
      err << file << ": cannot read the file\n";
      exitCode = 2;
      continue;
    }
    if (!ParseScenarioFile(file, text, &scenarios, &error)) {
      err << error << "\n";
      exitCode = 2;
      continue;
    }
    for (const Scenario& scenario : scenarios) {
      RunState run;
      run.plugin = &plugin;
      run.trace = options.trace;
      run.out = &out;
      g_run = &run;
      headless::SetUnknownMessageReporter(&ReportUnknown);
      if (options.trace) out << "scenario " << scenario.name << "\n";
      std::vector<std::string> failures;
      std::string printed;
      try {
        ScenarioRun scenarioRun(scenario, run);
        failures = scenarioRun.Run();
        if (options.print) printed = scenarioRun.PrintEditors();
      } catch (const BadInput& bad) {
        err << bad.message << "\n";
        failures.push_back(bad.message);
        exitCode = 2;
      } catch (const std::exception& e) {
        failures.push_back(std::string("the run stopped: ") + e.what());
      }
      headless::SetUnknownMessageReporter(nullptr);
      g_run = nullptr;
      if (failures.empty()) {
        ++passed;
        out << "PASS " << scenario.name << "\n";
      } else {
        ++failed;
        out << "FAIL " << scenario.name << ": " << failures.front() << "\n";
        for (std::size_t i = 1; i < failures.size(); ++i) out << "  and: " << failures[i] << "\n";
        if (exitCode == 0) exitCode = 1;
      }
      out << printed;
    }
  }
  out << passed << " passed, " << failed << " failed\n";
  return exitCode;
}

int ReplayMain(int argc, char** argv, const ReplayPlugin& plugin) {
  ReplayOptions options;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--print") {
      options.print = true;
    } else if (argument == "--trace") {
      options.trace = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      std::cerr << "zentrel-replay: unknown option " << argument << "\n";
      return 2;
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty()) {
    std::cerr << "usage: zentrel-replay [--print] [--trace] SCENARIO...\n";
    return 2;
  }
  if (!plugin.hook) {
    std::cerr << "zentrel-replay: no plugin hook procedure is linked\n";
    return 2;
  }
  return RunScenarioFiles(files, options, plugin, std::cout, std::cerr);
}

}  // namespace replay

#include "tools/zentrel-format/format_tool.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "core/ascii.h"
#include "core/integer_text.h"
#include "core/property_names.h"
#include "core/utf.h"
#include "host/fragment_defaults.h"
#include "host/preferences.h"
#include "ide/headless/headless_ide.h"
#include "iface/scintilla.h"
#include "os/os.h"
#include "os/sim/sim.h"
#include "plugin/exports.h"
#include "plugin/helpers.h"
#include "plugin/hook_context.h"
#include "plugin/plugin_frame.h"

namespace zentrel_format {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "zentrel-format";
const std::string kByteOrderMark = "\xEF\xBB\xBF";

const char* const kUsage =
    "usage: zentrel-format [--ini FILE] [--set Group.Key=VALUE]... [--check | -i] [FILE...]";

// A whole decimal (or $hex, %binary) number and nothing else.
bool ReadWholeInteger(const std::string& text, std::int64_t* value) {
  std::size_t consumed = 0;
  *value = core::ReadIntegerText(text, &consumed);
  return consumed > 0 && consumed == text.size();
}

bool ParseSet(const std::string& text, Options* options, std::string* error) {
  const std::size_t dot = text.find('.');
  const std::size_t equals = text.find('=');
  if (dot == std::string::npos || equals == std::string::npos || dot == 0 || equals < dot + 2) {
    *error = "--set needs Group.Key=VALUE, not '" + text + "'";
    return false;
  }
  std::int64_t value = 0;
  if (!ReadWholeInteger(text.substr(equals + 1), &value)) {
    *error = "--set value is not an integer: '" + text + "'";
    return false;
  }
  options->sets[{text.substr(0, dot), text.substr(dot + 1, equals - dot - 1)}] = value;
  return true;
}

std::string Reason(const std::error_code& code) { return code.message(); }

// Paths are UTF-8 text in this program; std::filesystem holds them in the system's own form
// (UTF-16 on Windows, where a plain std::string would be read in the ANSI code page).
fs::path PathOf(const std::string& text) { return fs::u8path(text); }
std::string TextOf(const fs::path& path) { return path.u8string(); }

const char* const kTooLarge = "2 GiB or larger, more than the editor holds; not formatted";

// Standard input, refused whole once it grows past the largest input.
bool ReadStandardInput(std::istream& in, std::string* bytes, std::string* reason) {
  bytes->clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes->append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes->size() > kLargestInput) {
      bytes->clear();
      *reason = kTooLarge;
      return false;
    }
  }
  if (in.bad()) {
    *reason = "cannot read";
    return false;
  }
  return true;
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

}  // namespace

bool SettingKey::operator<(const SettingKey& other) const {
  const int byGroup = core::CompareIgnoreCase(group, other.group);
  if (byGroup != 0) return byGroup < 0;
  return core::CompareIgnoreCase(key, other.key) < 0;
}

bool ParseArguments(const std::vector<std::string>& arguments, Options* options,
                    std::string* error) {
  bool filesOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (filesOnly || argument == "-" || argument.empty() || argument[0] != '-') {
      options->files.push_back(argument);
    } else if (argument == "--") {
      filesOnly = true;
    } else if (argument == "--check") {
      options->check = true;
    } else if (argument == "-i") {
      options->inPlace = true;
    } else if (argument == "--ini" || argument == "--set") {
      if (i + 1 >= arguments.size()) {
        *error = argument + " needs a value";
        return false;
      }
      const std::string& value = arguments[++i];
      if (argument == "--ini") {
        options->iniPath = value;
      } else if (!ParseSet(value, options, error)) {
        return false;
      }
    } else {
      *error = "unknown option '" + argument + "'";
      return false;
    }
  }
  if (options->check && options->inPlace) {
    *error = "--check and -i exclude each other";
    return false;
  }
  if (options->inPlace) {
    if (options->files.empty()) {
      *error = "-i needs at least one file";
      return false;
    }
    for (const std::string& file : options->files) {
      if (file == "-") {
        *error = "-i cannot rewrite standard input";
        return false;
      }
    }
  }
  return true;
}

// Every option of the plugin's settings catalogue at its default, read with the host's own code
// (splice, parse, walk) as a first-run host reads and publishes them. Empty when the catalogue
// does not parse.
Settings CatalogueDefaults() {
  Settings settings;
  for (const DefaultSetting& setting :
       ReadFragmentDefaults(core::Utf16ToUtf8(zentrel::RetrievePluginXMLDialog()))) {
    settings[{setting.group, setting.key}] = setting.value;
  }
  return settings;
}

void ApplyPreferences(const std::string& bytes, Settings* settings) {
  const PreferencesDocument document = ParsePreferences(bytes);
  for (auto& [name, value] : *settings)
    value = ReadPreference(document, name.group, name.key, value);
  // A disabled group publishes every one of its settings as 0.
  for (auto& [name, value] : *settings) {
    if (ReadPreference(document, "InstalledPlugins", name.group, 1) == 0) value = 0;
  }
}

struct Formatter::World {
  std::unique_ptr<headless::Ide> ide;
  HookContext context;
};

Formatter::Formatter(const Settings& settings) : world_(std::make_unique<World>()) {
  os::sim::Reset();
  world_->ide = std::make_unique<headless::Ide>();
  const os::Window ideWindow = world_->ide->MainWindow();
  const std::int64_t handle = core::HandleValue(ideWindow);
  for (const auto& [name, value] : settings) {
    os::SetProp(ideWindow, core::SettingPropertyName(handle, name.group, name.key),
                static_cast<std::intptr_t>(value));
  }
  world_->context.ideWindow = ideWindow;
  world_->context.editor = world_->ide->Current().Window();
  // No one here watches the edits or undoes them: the control neither reports them (each
  // report is a message to the IDE's window, two for every edit the formatting makes) nor
  // records them.
  world_->ide->Current().Message(sci::SCI_SETMODEVENTMASK, 0, 0);
  world_->ide->Current().Message(sci::SCI_SETUNDOCOLLECTION, 0, 0);
}

Formatter::~Formatter() {
  world_->ide.reset();
  os::sim::Reset();
}

std::string Formatter::Format(const std::string& bytes) {
  const bool hasMark = bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
  const std::string text = hasMark ? bytes.substr(kByteOrderMark.size()) : bytes;

  headless::Editor& editor = world_->ide->Current();
  // The text goes in by length: a NUL byte must not cut it short.
  editor.Message(sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(""));
  editor.Message(sci::SCI_ADDTEXT, text.size(), reinterpret_cast<os::LParam>(text.data()));
  editor.Message(sci::SCI_EMPTYUNDOBUFFER, 0, 0);
  world_->ide->Idle();  // the IDE paints: the text is styled by its lexer

  const std::int64_t lines = editor.Message(sci::SCI_GETLINECOUNT, 0, 0);
  {
    // The settings are fixed for the whole text: each is read once, not at every rule applied.
    const SettingsCallScope settingsReadOnce;
    for (std::int64_t line = 0; line < lines; ++line) FormatLines(world_->context, line, line);
  }

  std::string result = editor.Text();
  editor.Message(sci::SCI_EMPTYUNDOBUFFER, 0, 0);
  return hasMark ? kByteOrderMark + result : result;
}

bool ReadFile(const std::string& path, std::string* bytes, std::string* reason) {
  std::error_code code;
  const fs::path file = PathOf(path);
  const fs::file_status status = fs::status(file, code);
  if (code || !fs::exists(status)) {
    *reason = code && code != std::errc::no_such_file_or_directory ? Reason(code) : "no such file";
    return false;
  }
  if (fs::is_directory(status)) {
    *reason = "is a directory";
    return false;
  }
  if (fs::is_regular_file(status) && fs::file_size(file, code) > kLargestInput && !code) {
    *reason = kTooLarge;
    return false;
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    *reason = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  return ReadStandardInput(stream, bytes, reason);  // also a file that grows while it is read
}

std::string TemporaryPath(const std::string& path, int attempt) {
  const fs::path file = PathOf(path);
  return TextOf(file.parent_path() /
                PathOf("." + TextOf(file.filename()) + ".zentrel-format." +
                       std::to_string(ProcessId()) + "." + std::to_string(attempt)));
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* reason) {
  std::error_code code;
  // Through a symbolic link the file itself is replaced, not the link.
  const fs::path target = fs::canonical(PathOf(path), code);
  if (code) {
    *reason = Reason(code);
    return false;
  }
  const fs::perms permissions = fs::status(target, code).permissions();
  if (code) {
    *reason = Reason(code);
    return false;
  }
  const fs::perms writeBits =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  bool writable = (permissions & writeBits) != fs::perms::none;
#ifndef _WIN32
  writable = writable && ::access(target.c_str(), W_OK) == 0;
#endif
  if (!writable) {
    *reason = "file is read-only";
    return false;
  }

  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    switch (os::ReplaceFileThrough(TextOf(target), TemporaryPath(TextOf(target), attempt), bytes,
                                   reason)) {
      case os::ReplaceOutcome::kReplaced:
        return true;
      case os::ReplaceOutcome::kFailed:
        return false;
      case os::ReplaceOutcome::kNameTaken:
        break;
    }
  }
  *reason = "cannot create a temporary file in " + TextOf(target.parent_path()) +
            ": every name tried is taken";
  return false;
}

int FormatMain(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& err) {
  auto fail = [&err](const std::string& message) {
    err << kProgram << ": " << message << "\n";
    return kExitError;
  };
  Options options;
  std::string error;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      out << kUsage << "\n";
      return kExitOk;
    }
  }
  if (!ParseArguments(arguments, &options, &error)) return fail(error + " (see --help)");

  Settings settings = CatalogueDefaults();
  if (settings.empty()) return fail("the settings catalogue cannot be read");
  if (!options.iniPath.empty()) {
    std::string bytes;
    if (!ReadFile(options.iniPath, &bytes, &error)) return fail(options.iniPath + ": " + error);
    ApplyPreferences(bytes, &settings);
  }
  for (const auto& [name, value] : options.sets) settings[name] = value;

  Formatter formatter(settings);
  if (options.files.empty()) options.files.push_back("-");

  bool failed = false;
  bool wouldChange = false;
  for (const std::string& file : options.files) {
    std::string bytes;
    if (file == "-") {
      if (!ReadStandardInput(in, &bytes, &error)) {
        failed = true;
        fail("standard input: " + error);
        continue;
      }
    } else if (!ReadFile(file, &bytes, &error)) {
      failed = true;
      fail(file + ": " + error);
      continue;
    }
    const std::string formatted = formatter.Format(bytes);
    if (options.check) {
      wouldChange = wouldChange || formatted != bytes;
    } else if (options.inPlace) {
      if (formatted != bytes && !ReplaceFileAtomically(file, formatted, &error)) {
        failed = true;
        fail(file + ": " + error);
      }
    } else {
      out.write(formatted.data(), static_cast<std::streamsize>(formatted.size()));
    }
  }
  out.flush();
  if (!out) return fail("cannot write the output");
  if (failed) return kExitError;
  return wouldChange ? kExitWouldChange : kExitOk;
}

}  // namespace zentrel_format

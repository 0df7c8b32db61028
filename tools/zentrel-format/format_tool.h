// zentrel-format: formats files of the dialect as the plugin's beautifier does in the IDE.
//
// The plugin's FormatLines runs on the headless IDE (so styles come from the stand-in lexer) over
// every line, with the settings a host would publish: the catalogue defaults, then the groups of
// a preferences file in the host's format (--ini), then --set values.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zentrel_format {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitWouldChange = 1;  // --check: a file would change
constexpr int kExitError = 2;        // bad usage, unreadable input, unwritable target

struct SettingKey {
  std::string group;
  std::string key;
  bool operator<(const SettingKey& other) const;  // without regard to ASCII case
};
using Settings = std::map<SettingKey, std::int64_t>;

struct Options {
  std::string iniPath;  // empty: none
  Settings sets;        // --set, in addition to the catalogue and the preferences file
  bool check = false;
  bool inPlace = false;
  std::vector<std::string> files;  // none: standard input to standard output; "-" also
};

// Parses the arguments after the program name; false with a one-line message on bad usage.
bool ParseArguments(const std::vector<std::string>& arguments, Options* options,
                    std::string* error);

// The option values a first-run host publishes (every group of the plugin's catalogue).
Settings CatalogueDefaults();

// Applies a preferences file (its bytes) over `settings`: every key the file gives for a group
// already in `settings` replaces the value; a group disabled in "InstalledPlugins" reads 0.
void ApplyPreferences(const std::string& bytes, Settings* settings);

// Formats whole texts on one headless IDE with fixed settings. Line ends (LF, CR LF, CR) and a
// UTF-8 byte-order mark are kept; every other byte that is not a blank of the code stays.
class Formatter {
 public:
  explicit Formatter(const Settings& settings);
  ~Formatter();
  Formatter(const Formatter&) = delete;
  Formatter& operator=(const Formatter&) = delete;

  std::string Format(const std::string& bytes);

 private:
  struct World;
  std::unique_ptr<World> world_;
};

// The largest input: the editor's positions are 32-bit. A larger one is refused whole.
constexpr std::uint64_t kLargestInput = 0x7FFFFFFF;

// Reads a whole file; false with the reason ("no such file", "is a directory", ...).
bool ReadFile(const std::string& path, std::string* bytes, std::string* reason);

// The names tried, in turn, for the temporary file beside `path`.
constexpr int kTemporaryAttempts = 100;
std::string TemporaryPath(const std::string& path, int attempt);
// Replaces the file's content through a temporary file beside it and a rename (through a
// symbolic link the file it names), keeping its owner and permissions. A read-only file, a
// hard-linked one, or a folder where no temporary file can be made, is left as it is and false
// is returned with the reason.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* reason);

// The whole program. Returns the exit code.
int FormatMain(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace zentrel_format

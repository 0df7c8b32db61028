// zentrel-format [--ini FILE] [--set Group.Key=VALUE]... [--check | -i] [FILE...]

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

#include "core/utf.h"
#endif

#include "tools/zentrel-format/format_tool.h"

namespace {

int Run(const std::vector<std::string>& arguments) {
  std::ios::sync_with_stdio(false);
  return zentrel_format::FormatMain(arguments, std::cin, std::cout, std::cerr);
}

}  // namespace

#ifdef _WIN32
// The arguments as UTF-16 (a path may hold any character), passed on as UTF-8. Redirected
// standard streams carry the bytes as they are: in text mode the C runtime would turn LF into
// CR LF on the way out, CR LF into LF on the way in, and stop reading at a Ctrl+Z. Typing into
// the console keeps text mode, where Ctrl+Z ends the input.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.push_back(core::Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(argv[i]), std::wcslen(argv[i]))));
  }
  if (!_isatty(_fileno(stdin))) _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif

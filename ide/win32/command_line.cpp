#include "ide/win32/command_line.h"

namespace standin {

bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLine* result,
                      std::wstring* error) {
  CommandLine parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == L"--start-tool") {
      parsed.startTool = true;
    } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
      parsed.help = true;
    } else if (argument == L"--tool-folder" || argument == L"--run" || argument == L"--open") {
      if (!hasValue) {
        *error = argument + L" needs a value";
        return false;
      }
      const std::wstring& value = arguments[++i];
      if (argument == L"--tool-folder") {
        parsed.toolFolder = value;
      } else if (argument == L"--run") {
        parsed.programs.push_back(value);
      } else {
        parsed.files.push_back(value);
      }
    } else if (argument.size() > 1 && argument[0] == L'-' && argument[1] == L'-') {
      *error = L"unknown option " + argument;
      return false;
    } else {
      parsed.files.push_back(argument);
    }
  }
  *result = parsed;
  return true;
}

}  // namespace standin

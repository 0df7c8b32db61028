// The stand-in IDE's command line.
//
//   standin-ide.exe [--tool-folder DIR] [--start-tool] [--run COMMANDLINE]... [--open FILE]...
//                   [FILE]...
//
// --tool-folder  where toolhost.exe lives (default: the folder "tool" beside the IDE's folder)
// --start-tool   start the tool host at start-up, as Tools > Start tool host does
// --run          start a program at start-up with the IDE's environment, as Tools > Run program
// --open, FILE   open a file in a tab of its own
// --help         show this usage
#pragma once

#include <string>
#include <vector>

namespace standin {

struct CommandLine {
  std::wstring toolFolder;  // empty: the default
  bool startTool = false;
  bool help = false;
  std::vector<std::wstring> programs;
  std::vector<std::wstring> files;
};

// Parses the arguments after the program name. On bad usage returns false with `error` set.
bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLine* result,
                      std::wstring* error);

}  // namespace standin

// zentrel-format [--ini FILE] [--set Group.Key=VALUE]... [--check | -i] [FILE...]

#include <iostream>
#include <string>
#include <vector>

#include "tools/zentrel-format/format_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return zentrel_format::FormatMain(arguments, std::cin, std::cout, std::cerr);
}

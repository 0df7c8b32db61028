// Prints the plugin's settings fragment as UTF-8 (for screenshots and for reading it).
#include <cstdio>
#include <string>

#include "core/utf.h"
#include "plugin/settings_catalogue.h"

int main() {
  const std::string text = core::Utf16ToUtf8(SettingsCatalogue());
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

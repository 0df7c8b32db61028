#include "targets.h"

#include "core/utf.h"
#include "plugin/exports.h"

namespace fuzz {

const std::vector<DefaultSetting>& CatalogueSettings() {
  static const std::vector<DefaultSetting> settings =
      ReadFragmentDefaults(core::Utf16ToUtf8(zentrel::RetrievePluginXMLDialog()));
  return settings;
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"formatter", "lines formatted", RunFormatter, GenerateFormatterInput},
      {"sessions", "keystrokes", RunSession, GenerateSessionInput},
      {"host", "host inputs (fragments and preferences files)", RunHostInput, GenerateHostInput},
  };
  return targets;
}

const Target* FindTarget(std::string_view name) {
  for (const Target& target : Targets())
    if (name == target.name) return &target;
  return nullptr;
}

void AppendWord(std::string& out, std::size_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void AppendText(std::string& out, const std::string& text) {
  const std::size_t size = text.size() < 0xFFFF ? text.size() : 0xFFFF;
  AppendWord(out, size);
  out.append(text, 0, size);
}

}  // namespace fuzz

// The plugin's settings fragment: eight option groups as dialog description containers.
#pragma once

#include <string_view>

// The whole fragment (UTF-16, the text RetrievePluginXMLDialog returns), for native tools that
// read the catalogue's defaults without loading the library.
std::u16string_view SettingsCatalogue() noexcept;

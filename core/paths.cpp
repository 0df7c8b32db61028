#include "core/paths.h"

namespace core {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '\\' || last == '/') return folder + name;
  // Keep the folder's own separator style.
  char separator =
      folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos ? '/' : '\\';
  return folder + separator + name;
}

}  // namespace core

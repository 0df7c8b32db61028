// Windows paths as texts: the folder of a file and a name inside a folder. Both separators,
// "\" and "/", are taken.
#pragma once

#include <string>

namespace core {

// Folder part of a path (up to and without the last "\" or "/"), "." when there is none.
std::string FolderOf(const std::string& path);
// `name` inside `folder`, with the folder's own separator ("\" unless it uses "/" alone).
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace core

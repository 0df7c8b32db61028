#include "host/splice.h"

#include "core/ascii.h"

std::string TagFragment(const std::string& fragment, int library, std::int64_t ideHandle) {
  static const std::string kOpening = "<container ";
  const std::string replacement = "<container library='" + std::to_string(library) + "' ide='" +
                                  std::to_string(ideHandle) + "' ";
  const std::string lower = core::AsciiToLower(fragment);
  std::string out;
  out.reserve(fragment.size() + 64);
  std::size_t start = 0;
  for (std::size_t found; (found = lower.find(kOpening, start)) != std::string::npos;
       start = found + kOpening.size()) {
    out.append(fragment, start, found - start);
    out += replacement;
  }
  out.append(fragment, start, std::string::npos);
  out += "\n";
  return out;
}

std::string SpliceFragment(const std::string& description, const std::string& taggedFragment) {
  static const std::string kClosing = "</multibox>";
  std::string out;
  out.reserve(description.size() + taggedFragment.size() + 16);
  std::size_t start = 0;
  for (std::size_t found; (found = description.find(kClosing, start)) != std::string::npos;
       start = found + kClosing.size()) {
    out.append(description, start, found - start);
    out += taggedFragment + "\n" + kClosing;
  }
  out.append(description, start, std::string::npos);
  return out;
}

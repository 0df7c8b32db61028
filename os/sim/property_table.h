// A window's properties: names compared without regard to case (they are atoms on Windows),
// kept in insertion order for EnumProps, found by a case-insensitive hash so that a hook
// reading settings on every message costs a hash and one comparison, not a tree walk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace os::sim::detail {

class PropertyTable {
 public:
  struct Entry {
    std::string name;  // as first set
    std::intptr_t value;
    std::uint32_t hash;
  };

  const Entry* Find(std::string_view name) const noexcept;
  void Set(std::string_view name, std::intptr_t value);
  // False when absent; otherwise the value is stored in `*value` and the entry removed.
  bool Remove(std::string_view name, std::intptr_t* value);
  const std::vector<Entry>& Entries() const noexcept { return entries_; }

 private:
  static std::uint32_t Hash(std::string_view name) noexcept;
  std::size_t SlotOf(std::string_view name, std::uint32_t hash) const noexcept;
  void Reindex();

  std::vector<Entry> entries_;       // insertion order
  std::vector<std::int32_t> slots_;  // open addressing: index into entries_, -1 when free
};

}  // namespace os::sim::detail

#include "os/sim/property_table.h"

#include "core/ascii.h"

namespace os::sim::detail {

std::uint32_t PropertyTable::Hash(std::string_view name) noexcept {
  std::uint32_t hash = 2166136261u;  // FNV-1a over the lower-case form
  for (char c : name) {
    hash ^= static_cast<unsigned char>(core::AsciiLower(c));
    hash *= 16777619u;
  }
  return hash;
}

// The slot holding `name`, or the free slot where it would go.
std::size_t PropertyTable::SlotOf(std::string_view name, std::uint32_t hash) const noexcept {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::int32_t index = slots_[slot];
    if (index < 0) return slot;
    const Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.hash == hash && (entry.name == name || core::EqualsIgnoreCase(entry.name, name))) {
      return slot;
    }
  }
}

const PropertyTable::Entry* PropertyTable::Find(std::string_view name) const noexcept {
  if (entries_.empty()) return nullptr;
  const std::int32_t index = slots_[SlotOf(name, Hash(name))];
  return index < 0 ? nullptr : &entries_[static_cast<std::size_t>(index)];
}

void PropertyTable::Set(std::string_view name, std::intptr_t value) {
  const std::uint32_t hash = Hash(name);
  if (!slots_.empty()) {
    const std::int32_t index = slots_[SlotOf(name, hash)];
    if (index >= 0) {
      entries_[static_cast<std::size_t>(index)].value = value;
      return;
    }
  }
  entries_.push_back({std::string(name), value, hash});
  if (entries_.size() * 2 > slots_.size()) {
    Reindex();
  } else {
    slots_[SlotOf(name, hash)] = static_cast<std::int32_t>(entries_.size() - 1);
  }
}

bool PropertyTable::Remove(std::string_view name, std::intptr_t* value) {
  if (entries_.empty()) return false;
  const std::int32_t index = slots_[SlotOf(name, Hash(name))];
  if (index < 0) return false;
  if (value) *value = entries_[static_cast<std::size_t>(index)].value;
  entries_.erase(entries_.begin() + index);
  Reindex();  // rare (shutdown); keeps the table free of tombstones
  return true;
}

void PropertyTable::Reindex() {
  std::size_t capacity = 8;
  while (capacity < entries_.size() * 2) capacity *= 2;
  slots_.assign(capacity, -1);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    slots_[SlotOf(entries_[i].name, entries_[i].hash)] = static_cast<std::int32_t>(i);
  }
}

}  // namespace os::sim::detail

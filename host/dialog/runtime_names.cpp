#include "host/dialog/runtime_names.h"

#include <cmath>
#include <cstring>

#include "host/dialog/element_tree.h"

namespace dialog {

namespace {

void Register(RuntimeNameTable& table, std::string_view name, const RuntimeEntry& entry) {
  table.entries[LowerAscii(name)] = entry;
}

std::int64_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2233720368547758e18) return INT64_MAX;
  if (value <= -9.2233720368547758e18) return INT64_MIN;
  return static_cast<std::int64_t>(value);  // conversion truncates toward zero
}

template <typename T>
T ReadVariable(const void* variable) {
  T value;
  std::memcpy(&value, variable, sizeof value);
  return value;
}

bool ReadNumber(const RuntimeEntry& entry, std::int64_t* value) {
  switch (entry.kind) {
    case RuntimeEntryKind::kInteger:
      *value = entry.integer;
      return true;
    case RuntimeEntryKind::kFloat:
      *value = Truncate(entry.real);
      return true;
    case RuntimeEntryKind::kProcedure:
      return false;
    case RuntimeEntryKind::kByte:
      *value = ReadVariable<std::int8_t>(entry.variable);
      return true;
    case RuntimeEntryKind::kWord:
      *value = ReadVariable<std::int16_t>(entry.variable);
      return true;
    case RuntimeEntryKind::kLong:
      *value = ReadVariable<std::int32_t>(entry.variable);
      return true;
    case RuntimeEntryKind::kFloatVariable:
      *value = Truncate(ReadVariable<float>(entry.variable));
      return true;
    case RuntimeEntryKind::kDoubleVariable:
      *value = Truncate(ReadVariable<double>(entry.variable));
      return true;
    case RuntimeEntryKind::kCharacter:
      *value = ReadVariable<std::uint16_t>(entry.variable);
      return true;
  }
  return false;
}

}  // namespace

void RegisterInteger(RuntimeNameTable& table, std::string_view name, std::int64_t value) {
  RuntimeEntry entry;
  entry.kind = RuntimeEntryKind::kInteger;
  entry.integer = value;
  Register(table, name, entry);
}

void RegisterFloat(RuntimeNameTable& table, std::string_view name, double value) {
  RuntimeEntry entry;
  entry.kind = RuntimeEntryKind::kFloat;
  entry.real = value;
  Register(table, name, entry);
}

void RegisterProcedure(RuntimeNameTable& table, std::string_view name, RuntimeProcedure procedure) {
  RuntimeEntry entry;
  entry.kind = RuntimeEntryKind::kProcedure;
  entry.procedure = procedure;
  Register(table, name, entry);
}

void RegisterVariable(RuntimeNameTable& table, std::string_view name, RuntimeEntryKind kind,
                      const void* variable) {
  if (variable == nullptr || kind == RuntimeEntryKind::kInteger ||
      kind == RuntimeEntryKind::kFloat || kind == RuntimeEntryKind::kProcedure)
    return;  // not a variable reference
  RuntimeEntry entry;
  entry.kind = kind;
  entry.variable = variable;
  Register(table, name, entry);
}

const RuntimeEntry* FindRuntimeName(const RuntimeNameTable& table, std::string_view name) {
  auto found = table.entries.find(LowerAscii(name));
  return found != table.entries.end() ? &found->second : nullptr;
}

bool LookupRuntimeInteger(const RuntimeNameTable& table, std::string_view name,
                          std::int64_t* value) {
  const RuntimeEntry* entry = FindRuntimeName(table, name);
  if (entry == nullptr) return false;
  if (entry->kind == RuntimeEntryKind::kProcedure) {
    *value = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(entry->procedure));
    return true;
  }
  return ReadNumber(*entry, value);
}

bool LookupRuntimeNumber(const RuntimeNameTable& table, std::string_view name,
                         std::int64_t* value) {
  const RuntimeEntry* entry = FindRuntimeName(table, name);
  return entry != nullptr && ReadNumber(*entry, value);
}

RuntimeProcedure LookupRuntimeProcedure(const RuntimeNameTable& table, std::string_view name) {
  const RuntimeEntry* entry = FindRuntimeName(table, name);
  if (entry == nullptr || entry->kind != RuntimeEntryKind::kProcedure) return nullptr;
  return entry->procedure;
}

}  // namespace dialog

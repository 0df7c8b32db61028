// The runtime name table: names that dialog descriptions may use for numbers and procedures.
//
// Keys keep the "#" of constants and the "()" of procedures ("#ToolWindow",
// "OnChangeToolListIcon()") and are looked up without regard to case. A variable entry is read
// at the moment of each lookup, so a description sees the variable's current value.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace dialog {

using RuntimeProcedure = int (*)();

enum class RuntimeEntryKind {
  kInteger,    // integer constant
  kFloat,      // floating-point constant, read as an integer by truncation
  kProcedure,  // entry point of a procedure
  kByte,       // variable references: signed 8 bits
  kWord,       // signed 16 bits
  kLong,       // signed 32 bits
  kFloatVariable,
  kDoubleVariable,
  kCharacter,  // unsigned 16 bits (a UTF-16 unit)
};

struct RuntimeEntry {
  RuntimeEntryKind kind = RuntimeEntryKind::kInteger;
  std::int64_t integer = 0;
  double real = 0;
  RuntimeProcedure procedure = nullptr;
  const void* variable = nullptr;
};

struct RuntimeNameTable {
  std::map<std::string, RuntimeEntry> entries;  // key: the name in lower case
};

void RegisterInteger(RuntimeNameTable& table, std::string_view name, std::int64_t value);
void RegisterFloat(RuntimeNameTable& table, std::string_view name, double value);
void RegisterProcedure(RuntimeNameTable& table, std::string_view name, RuntimeProcedure procedure);
// `kind` is one of the variable kinds; `variable` must outlive the table's use.
void RegisterVariable(RuntimeNameTable& table, std::string_view name, RuntimeEntryKind kind,
                      const void* variable);

const RuntimeEntry* FindRuntimeName(const RuntimeNameTable& table, std::string_view name);
// The entry's value as an integer: constants and variables (floats truncated toward zero, values
// outside the 64-bit range clamped); a procedure gives its entry point's address. False when
// the name is not in the table.
bool LookupRuntimeInteger(const RuntimeNameTable& table, std::string_view name,
                          std::int64_t* value);
// Numeric entries only (constants and variables); false for procedures and unknown names.
bool LookupRuntimeNumber(const RuntimeNameTable& table, std::string_view name, std::int64_t* value);
// The procedure of that name, or null when the name is absent or is not a procedure.
RuntimeProcedure LookupRuntimeProcedure(const RuntimeNameTable& table, std::string_view name);

}  // namespace dialog

// Reading the host attributes of the parsed window description: every named container of a
// plugin fragment becomes an OptionContainer, every named control inside is attributed to it.
#pragma once

#include "host/dialog/element_tree.h"
#include "host/dialog/runtime_names.h"
#include "host/plugin_registry.h"

struct DialogTreeWalk {
  PluginTable& table;
  const dialog::RuntimeNameTable& names;
  int& generatedNameCounter;           // raised before each use, never reset
  OptionContainer* current = nullptr;  // most recently registered container, in document order
};

// Visits the children of `node` in document order, each before its own children; generated
// names are written back into the tree.
void ReadDialogTree(DialogTreeWalk& walk, dialog::Element& node);

// `value`: a runtime name's value, else the integer text; kept as a single-precision number and
// rounded to the nearest integer (ties to even) as the host always has.
std::int64_t ReadValueAttribute(const dialog::RuntimeNameTable& names, const std::string& text);

#pragma once
// The process-wide constants: name to PropertyValue, empty at start, filled
// from constants.xml while resources load and read for the rest of the run.
//
// Reading a name that was never defined enters it as Int 0 and yields 0.
// Not locked: it is written on the loading thread before the main thread's
// screens read it, and otherwise used by the main thread only.

#include <cstdint>
#include <string_view>

#include "foundation/expression/variables.h"

VariableMap& ConstantsMap();

// A copy of the entry; an absent name is entered as Int 0.
PropertyValue GetConstant(std::wstring_view name);
// ToInt of the entry; an absent name is entered as Int 0.
int32_t GetConstantInt(std::wstring_view name);

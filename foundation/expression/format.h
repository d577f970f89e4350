#pragma once
// The text of the expression function format(pattern, a1, a2, ...).
//
// The pattern is cut at each "%" into segments; "%%" gives one "%", and
// every other segment takes the next unused argument through its one
// conversion (flags "-+ #0", a width, a precision, then one of d i o u x X
// e E f g G c s; C length letters are accepted and ignored). The argument is
// converted to the kind the conversion names, and a missing one reads as 0
// or the empty text. A segment that is no such conversion ("%n", "*", an
// unknown letter, a width or precision above 1024) appears as it stands.
// Pattern text never reaches the C library as a format.

#include <span>
#include <string>
#include <string_view>

#include "foundation/values/property_value.h"

std::wstring FormatWithArguments(std::wstring_view pattern, std::span<const PropertyValue> args);

#pragma once
// The variable maps expressions read, and the hook through which an
// expression reaches the script variables of a widget it holds.
//
// A VariableMap is ordered by name; operator[] is the insert-on-read lookup
// (an absent name is entered as Int 0), find and contains only test.
// Names compare by character value, which is UTF-16 code-unit order for
// every character below U+10000: the order std::less gives wide strings,
// compared in line because names are short and looked up every frame.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "foundation/values/property_value.h"

struct NameLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            if (a[i] != b[i]) return a[i] < b[i];
        }
        return a.size() < b.size();
    }
};

using VariableMap = std::map<std::wstring, PropertyValue, NameLess>;

// Mixed into the widgets that run scene scripts, so that w[name] and
// exists(w, name) can see their script variables without this layer
// knowing the widget classes.
class ScriptVariableOwner {
public:
    virtual ~ScriptVariableOwner() = default;
    virtual const VariableMap& ScriptVariables() const = 0;
};

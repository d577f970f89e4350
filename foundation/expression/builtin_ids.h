#pragma once
// The built-in functions of the expression language by number, so a compiled
// call finds its function once. Internal to this folder.

class PropertyValue;

namespace expression_detail {

enum class Builtin {
    Int,
    Real,
    Bool,
    String,
    Color,
    Image,
    Sqrt,
    Dist,
    Mod,
    Pow,
    Ln,
    Log,
    Abs,
    Sign,
    Min,
    Max,
    Sin,
    Cos,
    Tan,
    Atan,
    Rand,
    Noise,
    Substring,
    Strlen,
    Constant,
    Localize,
    IntPtr,
    RealPtr,
    Global,
    SysValue,
    Sound,
    Track,
    Eval,
    Format,
    Exists,
};

// What exists() of one value gives: whether it refers to a widget still alive.
bool RefersToLiveWidget(const PropertyValue& v);

}  // namespace expression_detail

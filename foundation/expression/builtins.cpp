// The built-in functions of the expression language. Missing arguments read
// as Int 0 (format reads them as 0 or the empty text); nothing reads past the
// argument list.

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "foundation/expression/builtin_ids.h"
#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "foundation/expression/format.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/app_services.h"
#include "foundation/system/noise.h"
#include "foundation/system/random.h"
#include "foundation/values/field_handle.h"

using expression_detail::Builtin;
using expression_detail::RefersToLiveWidget;

namespace {

using Tag = PropertyValue::Tag;
using Args = std::span<const PropertyValue>;

const std::unordered_map<std::wstring_view, Builtin>& BuiltinNames() {
    static const std::unordered_map<std::wstring_view, Builtin> names = {
        {L"int", Builtin::Int},
        {L"real", Builtin::Real},
        {L"bool", Builtin::Bool},
        {L"string", Builtin::String},
        {L"color", Builtin::Color},
        {L"image", Builtin::Image},
        {L"sqrt", Builtin::Sqrt},
        {L"dist", Builtin::Dist},
        {L"mod", Builtin::Mod},
        {L"pow", Builtin::Pow},
        {L"ln", Builtin::Ln},
        {L"log", Builtin::Log},
        {L"abs", Builtin::Abs},
        {L"sign", Builtin::Sign},
        {L"min", Builtin::Min},
        {L"max", Builtin::Max},
        {L"sin", Builtin::Sin},
        {L"cos", Builtin::Cos},
        {L"tan", Builtin::Tan},
        {L"atan", Builtin::Atan},
        {L"rand", Builtin::Rand},
        {L"noise", Builtin::Noise},
        {L"substring", Builtin::Substring},
        {L"strlen", Builtin::Strlen},
        {L"constant", Builtin::Constant},
        {L"localize", Builtin::Localize},
        {L"intptr", Builtin::IntPtr},
        {L"realptr", Builtin::RealPtr},
        {L"global", Builtin::Global},
        {L"sysvalue", Builtin::SysValue},
        {L"sound", Builtin::Sound},
        {L"track", Builtin::Track},
        {L"eval", Builtin::Eval},
        {L"format", Builtin::Format},
        {L"exists", Builtin::Exists},
    };
    return names;
}

const PropertyValue& Arg(const Args& args, size_t i) {
    static const PropertyValue kMissing;
    return i < args.size() ? args[i] : kMissing;
}

bool EitherReal(const PropertyValue& a, const PropertyValue& b) { return a.Is(Tag::Real) || b.Is(Tag::Real); }

// Degrees to radians, narrowed to float before the function as the scripts were tuned with.
double Radians(const PropertyValue& degrees) {
    return static_cast<float>(static_cast<double>(degrees.ToReal()) * 3.1415927 / 180.0);
}

// Text length and cuts count UTF-16 code units, as the scripts were written for.
std::u16string ToUtf16Units(const std::wstring& s) {
    std::u16string units;
    units.reserve(s.size());
    for (wchar_t c : s) {
        auto cp = static_cast<uint32_t>(c);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
    }
    return units;
}

std::wstring FromUtf16Units(std::u16string_view units) {
    std::wstring s;
    s.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        }
        s.push_back(static_cast<wchar_t>(c));
    }
    return s;
}

bool HasSupplementary(const std::wstring& s) {
    for (wchar_t c : s) {
        if (static_cast<uint32_t>(c) >= 0x10000) return true;
    }
    return false;
}

PropertyValue Substring(const Args& args) {
    std::wstring text = Arg(args, 0).ToString();
    int32_t start = Arg(args, 1).ToInt();
    int32_t length = args.size() >= 3 ? args[2].ToInt() : -1;
    if (!HasSupplementary(text)) {
        if (start < 0 || static_cast<size_t>(start) >= text.size()) return PropertyValue(std::wstring());
        return PropertyValue(text.substr(start, length < 0 ? std::wstring::npos : static_cast<size_t>(length)));
    }
    std::u16string units = ToUtf16Units(text);
    if (start < 0 || static_cast<size_t>(start) >= units.size()) return PropertyValue(std::wstring());
    return PropertyValue(FromUtf16Units(
        std::u16string_view(units).substr(start, length < 0 ? std::u16string::npos : static_cast<size_t>(length))));
}

PropertyValue Strlen(const PropertyValue& a) {
    std::wstring text = a.ToString();
    size_t units = text.size();
    for (wchar_t c : text) {
        if (static_cast<uint32_t>(c) >= 0x10000 && static_cast<uint32_t>(c) <= 0x10FFFF) ++units;
    }
    return PropertyValue(static_cast<int>(units));
}

PropertyValue MinMax(const Args& args, bool wantMax) {
    const PropertyValue& a = Arg(args, 0);
    const PropertyValue& b = Arg(args, 1);
    // On a tie the second argument wins.
    if (EitherReal(a, b)) {
        float x = a.ToReal(), y = b.ToReal();
        return PropertyValue(wantMax ? (x > y ? x : y) : (x < y ? x : y));
    }
    int32_t x = a.ToInt(), y = b.ToInt();
    return PropertyValue(static_cast<int>(wantMax ? (x > y ? x : y) : (x < y ? x : y)));
}

PropertyValue Abs(const PropertyValue& a) {
    if (a.Is(Tag::Int)) {
        int32_t v = a.ToInt();
        // The least integer stays itself, as two's complement wraps.
        return v < 0 ? PropertyValue(0).Subtract(a) : PropertyValue(static_cast<int>(v));
    }
    return PropertyValue(std::fabs(a.ToReal()));
}

PropertyValue Mod(const Args& args) {
    int32_t a = Arg(args, 0).ToInt(), b = Arg(args, 1).ToInt();
    if (b == 0 || b == -1) return PropertyValue(0);
    return PropertyValue(static_cast<int>(a % b));
}

PropertyValue Log(const Args& args) {
    if (args.size() == 1) return PropertyValue(std::log10(static_cast<double>(args[0].ToReal())));
    if (args.size() != 2) return PropertyValue(L"log");
    float num = static_cast<float>(std::log(static_cast<double>(args[0].ToReal())));
    float den = static_cast<float>(std::log(static_cast<double>(args[1].ToReal())));
    return PropertyValue(static_cast<double>(num) / static_cast<double>(den));
}

PropertyValue Rand(const Args& args) {
    const PropertyValue& a = args[0];
    if (args.size() == 1) {
        if (a.Is(Tag::Real)) return PropertyValue(RandomFloat(a.ToReal()));
        return PropertyValue(static_cast<int>(RandomInt(a.ToInt())));
    }
    const PropertyValue& b = args[1];
    if (EitherReal(a, b)) return PropertyValue(RandomFloatRange(a.ToReal(), b.ToReal()));
    return PropertyValue(static_cast<int>(RandomRange(a.ToInt(), b.ToInt())));
}

PropertyValue ColorOf(const Args& args) {
    auto c = [&](size_t i) { return static_cast<int>(Arg(args, i).ToInt()); };
    if (args.size() == 3) return PropertyValue(Color::FromRGB(c(0), c(1), c(2)));
    return PropertyValue(Color::FromRGBA(c(0), c(1), c(2), c(3)));
}

PropertyValue ImageOf(const PropertyValue& a, bool collectMode) {
    if (a.Is(Tag::Image)) return a;
    if (ExtendedPropertyInterface* image = FindImageByName(a.ToString())) return PropertyValue::FromImage(image);
    return collectMode ? a : PropertyValue::FromImage(nullptr);
}

// Only handles registered by a field's owner are read; any other value,
// or a handle whose owner is gone, reads 0.
int32_t HandleId(const PropertyValue& a) { return a.Is(Tag::Int) ? a.ToInt() : 0; }

PropertyValue Global(const PropertyValue& a) {
    VariableMap* symbols = CurrentPlayerSymbols();
    if (!symbols) return PropertyValue(0);
    return (*symbols)[a.ToString()];
}

const VariableMap* ScriptVariablesOf(const PropertyValue& w) {
    if (!w.Is(Tag::Widget)) return nullptr;
    auto* owner = dynamic_cast<ScriptVariableOwner*>(w.ToPropertyInterface());
    return owner ? &owner->ScriptVariables() : nullptr;
}

PropertyValue Exists(const Args& args) {
    if (args.size() == 1) return PropertyValue(RefersToLiveWidget(args[0]));
    if (args.size() != 2) return PropertyValue(L"exists");
    const VariableMap* vars = ScriptVariablesOf(args[0]);
    if (!vars) return PropertyValue(false);
    auto it = vars->find(args[1].ToString());
    return PropertyValue(it != vars->end() && it->second.Is(Tag::Widget));
}

}  // namespace

namespace expression_detail {

// A widget reference whose widget is gone no longer exists.
bool RefersToLiveWidget(const PropertyValue& v) { return v.Is(Tag::Widget) && v.ToPropertyInterface() != nullptr; }

}  // namespace expression_detail

int ExpressionEvaluator::FindBuiltin(std::wstring_view name) {
    const auto& names = BuiltinNames();
    auto found = names.find(name);
    return found == names.end() ? -1 : static_cast<int>(found->second);
}

PropertyValue ExpressionEvaluator::CallBuiltin(std::wstring_view name, Args args) {
    return CallBuiltin(FindBuiltin(name), name, args);
}

PropertyValue ExpressionEvaluator::CallBuiltin(int builtin, std::wstring_view name, Args args) {
    if (builtin < 0) return PropertyValue(name);
    const PropertyValue& a0 = args[0];  // a call always has at least one argument
    switch (static_cast<Builtin>(builtin)) {
        case Builtin::Int: return PropertyValue(static_cast<int>(a0.ToInt()));
        case Builtin::Real: return PropertyValue(a0.ToReal());
        case Builtin::Bool: return PropertyValue(a0.ToBool());
        case Builtin::String: return PropertyValue(a0.ToString());
        case Builtin::Color: return ColorOf(args);
        case Builtin::Image: return ImageOf(a0, collectMode);
        case Builtin::Sqrt: return PropertyValue(std::sqrt(static_cast<double>(a0.ToReal())));
        case Builtin::Dist: {
            double dx = a0.Subtract(Arg(args, 2)).ToReal();
            double dy = Arg(args, 1).Subtract(Arg(args, 3)).ToReal();
            return PropertyValue(std::sqrt(dx * dx + dy * dy));
        }
        case Builtin::Mod: return Mod(args);
        case Builtin::Pow:
            return PropertyValue(
                std::pow(static_cast<double>(a0.ToReal()), static_cast<double>(Arg(args, 1).ToReal())));
        case Builtin::Ln: return PropertyValue(std::log(static_cast<double>(a0.ToReal())));
        case Builtin::Log: return Log(args);
        case Builtin::Abs: return Abs(a0);
        case Builtin::Sign: {
            float v = a0.ToReal();
            return PropertyValue(v > 0.0f ? 1 : (v < 0.0f ? -1 : 0));
        }
        case Builtin::Min: return MinMax(args, false);
        case Builtin::Max: return MinMax(args, true);
        case Builtin::Sin: return PropertyValue(std::sin(Radians(a0)));
        case Builtin::Cos: return PropertyValue(std::cos(Radians(a0)));
        case Builtin::Tan: return PropertyValue(std::tan(Radians(a0)));
        case Builtin::Atan: {
            float radians = static_cast<float>(
                std::atan2(static_cast<double>(a0.ToReal()), static_cast<double>(Arg(args, 1).ToReal())));
            return PropertyValue(static_cast<double>(radians) * 57.2957763671875);
        }
        case Builtin::Rand: return Rand(args);
        case Builtin::Noise: return PropertyValue(GradientNoise1D(a0.ToReal()));
        case Builtin::Substring: return Substring(args);
        case Builtin::Strlen: return Strlen(a0);
        case Builtin::Constant: return GetConstant(a0.ToString());
        case Builtin::Localize: return PropertyValue(LocalizeLookup(a0.ToString()));
        case Builtin::IntPtr: return PropertyValue(static_cast<int>(FieldHandle::ReadInt(HandleId(a0))));
        case Builtin::RealPtr: return PropertyValue(FieldHandle::ReadReal(HandleId(a0)));
        case Builtin::Global: return Global(a0);
        case Builtin::SysValue: return GetSystemValue(a0.ToString());
        case Builtin::Sound: return PropertyValue(FindSoundId(a0.ToString()));
        case Builtin::Track: return PropertyValue(FindTrackId(a0.ToString()));
        case Builtin::Eval: {
            std::wstring text = a0.ToString();
            ExpressionEvaluator nested(*variables_, depth_);
            PropertyValue result = nested.Evaluate(text);
            if (nested.tooDeep_) {
                tooDeep_ = true;
                position_ = source_.size();
            }
            return result;
        }
        case Builtin::Format:
            return PropertyValue(FormatWithArguments(a0.ToString(), std::span<const PropertyValue>(args).subspan(1)));
        case Builtin::Exists: return Exists(args);
    }
    return PropertyValue(name);
}

#include "foundation/expression/expression.h"

#include <cstdint>
#include <iterator>

#include "foundation/expression/binary_operators.h"
#include "foundation/expression/compiled_expression.h"
#include "foundation/expression/typed_program_run.h"
#include "foundation/system/app_services.h"

using namespace std::string_view_literals;
using namespace expression_detail;

namespace {

// The classic ASCII classes; every code unit above 255 is in none of them.
bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsNameChar(wchar_t c) { return IsDigit(c) || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; }

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

PropertyValue EmptyText() { return PropertyValue(std::wstring()); }

// The typed steps' result, when they are laid out for the names as they stand.
bool RunTypedIfReady(const ScalarProgram& program, const VariableMap& variables, ScalarValue& out) {
    return program.typed.state == TypedProgram::State::Ready && program.BoundTo(variables) &&
           typed_program::RunTypedProgram(program.typed, out);
}

}  // namespace

void ExpressionEvaluator::Reset(std::wstring_view text) {
    source_ = text;
    position_ = 0;
    tooDeep_ = false;
}

PropertyValue ExpressionEvaluator::Evaluate(std::wstring_view text, uint64_t serial) {
    // The text evaluated last is known by what the evaluator holds itself.
    const CompiledNode* root = nullptr;
    int depth = 0;
    if ((serial != 0 && serial == lastSerial_) || IsLast(text)) {
        if (serial != 0) lastSerial_ = serial;
        // A condition on numbers alone whose steps are laid out for its
        // names as they stand is their result: nothing below is needed, as
        // the steps read no text, call nothing and go no deeper.
        ScalarValue scalar;
        if (lastProgram_ != nullptr && depth_ + lastDepth_ <= kMaxDepth && !reread_ &&
            RunTypedIfReady(*lastProgram_, *variables_, scalar)) {
            return scalar.ToValue();
        }
        root = lastRoot_;
        depth = lastDepth_;
    } else if (Compiled(text, serial) != nullptr) {
        // The tree remembered last is now this text's, and what the
        // evaluator keeps of it stands for the text's record.
        root = lastRoot_;
        depth = lastDepth_;
        if (serial != 0) lastSerial_ = serial;
    }
    Reset(text);
    ++running_;
    // A condition on numbers alone is its program's result, reached without
    // a call through the tree for every evaluation. The tree is always the
    // one remembered last, so the reading kept of it stands for it.
    ScalarValue scalar;
    PropertyValue result;
    if (root == nullptr || depth_ + depth > kMaxDepth) {
        result = ParseTernary();
    } else if (lastRead_ == nullptr || reread_ || !ReadKeptMember(result)) {
        result = !root->tryScalar || reread_         ? Run(*root)
                 : RunProgram(root->program, scalar) ? scalar.ToValue()
                                                     : Run(*root, false);
    }
    if (reread_) {
        // Such a tree changes nothing, so reading the text now gives what
        // reading it in the first place would have.
        reread_ = false;
        Reset(text);
        result = ParseTernary();
    }
    --running_;
    // One named result on every way out, so it is built in the caller's place.
    if (tooDeep_) result = EmptyText();
    return result;
}

std::vector<PropertyValue> ExpressionEvaluator::EvaluateList(std::wstring_view text) {
    Reset(text);
    std::vector<PropertyValue> values = ParseArgumentList();
    if (tooDeep_) return {EmptyText()};
    return values;
}

std::vector<PropertyValue> ExpressionEvaluator::SplitList(std::wstring_view text) {
    std::wstring closed(text);
    closed += L')';
    Reset(closed);
    std::vector<PropertyValue> pieces;
    while (position_ < source_.size()) pieces.emplace_back(Trim(ReadRawArgument(true)));
    source_ = {};
    return pieces;
}

// Every nesting level passes through here. Beyond the cap the rest of the
// text is skipped, so the enclosing levels unwind at once.
bool ExpressionEvaluator::Enter() {
    if (tooDeep_ || depth_ >= kMaxDepth) {
        tooDeep_ = true;
        position_ = source_.size();
        return false;
    }
    ++depth_;
    return true;
}

void ExpressionEvaluator::SkipSpace() {
    while (position_ < source_.size() && IsSpace(source_[position_])) ++position_;
}

bool ExpressionEvaluator::MatchChar(wchar_t c) {
    SkipSpace();
    if (position_ < source_.size() && source_[position_] == c) {
        ++position_;
        return true;
    }
    return false;
}

bool ExpressionEvaluator::MatchOperator(wchar_t first, wchar_t second) {
    SkipSpace();
    if (position_ + 2 <= source_.size() && source_[position_] == first && source_[position_ + 1] == second) {
        position_ += 2;
        return true;
    }
    return false;
}

std::wstring_view ExpressionEvaluator::ReadName(bool allowPercent) {
    size_t start = position_;
    while (position_ < source_.size() &&
           (IsNameChar(source_[position_]) || (allowPercent && source_[position_] == L'%'))) {
        ++position_;
    }
    return source_.substr(start, position_ - start);
}

// From after "(" to the ")" that closes it (nested pairs counted), or to a
// "," at the first level; the terminator is consumed. Unterminated text runs
// to the end.
std::wstring_view ExpressionEvaluator::ReadRawArgument(bool stopAtComma) {
    size_t start = position_;
    int depth = 1;
    for (; position_ < source_.size(); ++position_) {
        wchar_t c = source_[position_];
        if (c == L'(') {
            ++depth;
        } else if (c == L')') {
            if (--depth == 0) break;
        } else if (c == L',' && stopAtComma && depth == 1) {
            break;
        }
    }
    std::wstring_view raw = source_.substr(start, position_ - start);
    if (position_ < source_.size()) ++position_;
    return raw;
}

std::vector<PropertyValue> ExpressionEvaluator::ParseArgumentList() {
    std::vector<PropertyValue> args;
    for (;;) {
        args.push_back(ParseTernary());
        SkipSpace();
        if (position_ >= source_.size()) break;
        if (source_[position_++] != L',') break;
    }
    return args;
}

PropertyValue ExpressionEvaluator::ParseTernary() {
    if (!Enter()) return EmptyText();
    PropertyValue cond = ParseBinary(1);
    if (MatchChar(L'?')) {
        PropertyValue then = ParseBinary(1);
        MatchChar(L':');
        PropertyValue otherwise = ParseTernary();
        cond = cond.ToBool() ? std::move(then) : std::move(otherwise);
    }
    Leave();
    return cond;
}

// Precedence climbing: one loop for every binary level. Both operands are
// always evaluated, the left one first.
PropertyValue ExpressionEvaluator::ParseBinary(int minLevel) {
    PropertyValue v = ParseUnary();
    for (;;) {
        SkipSpace();
        OperatorAt at = PeekOperator(source_, position_);
        if (at.op == BinaryOp::None || at.level < minLevel) return v;
        position_ += static_cast<size_t>(at.length);
        PropertyValue r = ParseBinary(at.level + 1);
        ApplyBinary(at.op, v, r);
    }
}

PropertyValue ExpressionEvaluator::ParseUnary() {
    if (!Enter()) return EmptyText();
    SkipSpace();
    wchar_t c = position_ < source_.size() ? source_[position_] : L'\0';
    if (c == L'-' || c == L'!') {
        ++position_;
        PropertyValue operand = ParseUnary();
        Leave();
        return c == L'-' ? operand.Negate() : PropertyValue(!operand.ToBool());
    }
    if (c == L'+') ++position_;
    PropertyValue v = ParsePostfix();
    Leave();
    return v;
}

PropertyValue ExpressionEvaluator::ParsePostfix() {
    PropertyValue v = ParsePrimary();
    while (v.IsPropertyHolder()) {
        if (MatchChar(L'.')) {
            std::wstring_view name = ReadName(false);
            ExtendedPropertyInterface* object = v.ToPropertyInterface();
            // A holder whose object is gone has no properties left to read.
            v = object ? object->GetProperty(name) : PropertyValue(false);
        } else if (MatchChar(L'[')) {
            PropertyValue index = ParseTernary();
            MatchChar(L']');
            v = ReadIndexed(v, index);
        } else {
            break;
        }
    }
    return v;
}

PropertyValue ExpressionEvaluator::ReadIndexed(const PropertyValue& holder, const PropertyValue& index) {
    ExtendedPropertyInterface* object = holder.ToPropertyInterface();
    if (!object) return PropertyValue(false);
    std::wstring key = index.ToString();
    if (holder.Is(PropertyValue::Tag::Widget)) {
        if (auto* owner = dynamic_cast<ScriptVariableOwner*>(object)) {
            const VariableMap& vars = owner->ScriptVariables();
            auto it = vars.find(key);
            if (it != vars.end()) return it->second;
        }
    }
    return object->GetProperty(key);
}

PropertyValue ExpressionEvaluator::ParsePrimary() {
    if (MatchChar(L'(')) {
        PropertyValue v = ParseTernary();
        MatchChar(L')');
        return v;
    }
    if (position_ >= source_.size()) return EmptyText();
    wchar_t c = source_[position_];
    if (IsDigit(c) || c == L'.') return ParseNumber();

    std::wstring_view name = ReadName(true);
    if (name == L"true"sv) return PropertyValue(true);
    if (name == L"false"sv) return PropertyValue(false);
    if (MatchChar(L'(')) return ParseCall(name);
    auto it = variables_->find(name);
    if (it != variables_->end()) return it->second;
    return PropertyValue(name);
}

// Digits and dots; no sign, exponent or hexadecimal form ("0x10" reads 0).
PropertyValue ExpressionEvaluator::ParseNumber() {
    size_t start = position_;
    int dots = 0;
    while (position_ < source_.size() && (IsDigit(source_[position_]) || source_[position_] == L'.')) {
        if (source_[position_] == L'.') ++dots;
        ++position_;
    }
    std::wstring_view token = source_.substr(start, position_ - start);
    if (dots == 0) {
        uint32_t value = 0;  // wraps modulo 2^32 by design
        for (wchar_t d : token) value = value * 10u + static_cast<uint32_t>(d - L'0');
        return PropertyValue(static_cast<int>(static_cast<int32_t>(value)));
    }
    if (position_ < source_.size() && source_[position_] == L'f') ++position_;
    if (dots > 1) return PropertyValue(0.0f);
    double value = 0.0, weight = 1.0;
    bool fraction = false;
    for (wchar_t d : token) {
        if (d == L'.') {
            fraction = true;
        } else if (!fraction) {
            value = value * 10.0 + (d - L'0');
        } else {
            weight /= 10.0;
            value += (d - L'0') * weight;
        }
    }
    return PropertyValue(value);
}

PropertyValue ExpressionEvaluator::ParseCall(std::wstring_view name) {
    if (name == L"literal"sv) return PropertyValue(ReadRawArgument(false));
    if (name == L"defined"sv) return PropertyValue(variables_->contains(ReadRawArgument(true)));
    if (name == L"globaldefined"sv) {
        std::wstring_view raw = ReadRawArgument(true);
        VariableMap* symbols = CurrentPlayerSymbols();
        return PropertyValue(symbols != nullptr && symbols->contains(raw));
    }
    // Up to four arguments live on the stack; longer lists move to the heap.
    constexpr size_t kInline = 4;
    PropertyValue inlineArgs[kInline];
    std::vector<PropertyValue> more;
    size_t count = 0;
    for (;;) {
        PropertyValue arg = ParseTernary();
        if (count < kInline) {
            inlineArgs[count] = std::move(arg);
        } else {
            if (count == kInline)
                more.assign(std::make_move_iterator(inlineArgs), std::make_move_iterator(inlineArgs + kInline));
            more.push_back(std::move(arg));
        }
        ++count;
        SkipSpace();
        if (position_ >= source_.size()) break;
        if (source_[position_++] != L',') break;
    }
    return CallBuiltin(name, count <= kInline ? std::span<const PropertyValue>(inlineArgs, count)
                                              : std::span<const PropertyValue>(more));
}

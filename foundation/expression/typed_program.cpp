// A number program laid out again for the kinds its names hold: the general
// steps ask every value its kind at every step, though a condition's names
// keep theirs from one evaluation to the next. Here the kind of every place
// on the stack is found once, when the steps are laid out, and each step does
// only its own arithmetic; the names are checked to hold the same kinds as
// they are read. The results are those of ScalarValue's operators, which
// convert both operands to a Real when either is one and compute whole
// numbers otherwise (a Bool being 0 or 1).
#include <algorithm>

#include "foundation/expression/compiled_expression.h"
#include "foundation/expression/typed_program_run.h"

using namespace typed_program;

namespace {

using Tag = PropertyValue::Tag;
using General = ScalarStep::Code;

// The operators in BinaryOp's order, then min and max of two.
constexpr int kOperators = static_cast<int>(General::Larger) + 1;
enum class Family : uint8_t { Logical, Compare, Arithmetic, Divide, MinMax };

struct OperatorForm {
    Family family;
    Code whole;  // on whole numbers, and the logical operators' only form
    Code real;
};

constexpr OperatorForm kForms[kOperators] = {
    {Family::Logical, Code::Or, Code::Or},
    {Family::Logical, Code::And, Code::And},
    {Family::Logical, Code::Xor, Code::Xor},
    {Family::Compare, Code::EqualI, Code::EqualR},
    {Family::Compare, Code::NotEqualI, Code::NotEqualR},
    {Family::Compare, Code::LessEqualI, Code::LessEqualR},
    {Family::Compare, Code::GreaterEqualI, Code::GreaterEqualR},
    {Family::Compare, Code::LessI, Code::LessR},
    {Family::Compare, Code::GreaterI, Code::GreaterR},
    {Family::Arithmetic, Code::AddI, Code::AddR},
    {Family::Arithmetic, Code::SubtractI, Code::SubtractR},
    {Family::Arithmetic, Code::MultiplyI, Code::MultiplyR},
    {Family::Divide, Code::DivideI, Code::DivideR},
    {Family::MinMax, Code::LesserI, Code::LesserR},
    {Family::MinMax, Code::LargerI, Code::LargerR},
};

TypedStep Typed(Code code) {
    TypedStep step;
    step.code = code;
    return step;
}

class TypedBuilder {
public:
    explicit TypedBuilder(std::vector<TypedStep>& steps) : steps_(steps) {}

    bool Translate(const ScalarStep& step) {
        if (step.read != ScalarStep::Read::Nothing && !Load(step)) return false;
        switch (step.code) {
            case General::Push: {
                TypedStep push = Typed(Code::Push);
                push.bits = step.value.bits();
                Emit(push);
                kinds_.push_back(step.value.tag());
                return true;
            }
            case General::Operand: return true;
            case General::Negate:
                // A Real stays one; anything else becomes an Int.
                if (Top() == Tag::Real) return Unary(Code::NegateR, Tag::Real, Tag::Real);
                return Unary(Code::NegateI, Top(), Tag::Int);
            case General::Not:
                if (Top() == Tag::Real) Emit(Typed(Code::TruthR));
                return Unary(Code::Not, Tag::Bool, Tag::Bool);
            case General::Int:
            case General::Real:
            case General::Bool:
            case General::Abs: return step.count == 1 && Conversion(step.code);
            default: break;
        }
        const int op = static_cast<int>(step.code);
        if (op >= kOperators || (step.popRight ? kinds_.size() < 2 : kinds_.empty())) return false;
        Binary(kForms[op], step.popRight, step.value);
        if (step.then != ScalarStep::Then::Nothing) {
            if (kinds_.size() < 2) return false;
            const General join = step.then == ScalarStep::Then::And ? General::And : General::Or;
            Binary(kForms[static_cast<int>(join)], true, step.value);
        }
        return true;
    }

    // The one place left holds the result.
    bool Finish(Tag& result) const {
        if (kinds_.size() != 1) return false;
        result = kinds_.back();
        return true;
    }

private:
    Tag Top() const { return kinds_.empty() ? Tag::String : kinds_.back(); }

    bool Load(const ScalarStep& step) {
        if (step.source == nullptr) return false;
        TypedStep load = Typed(Code::Load);
        load.source = step.source;
        const Tag kind = step.source->GetTag();
        switch (kind) {
            case Tag::Bool: load.read = Read::Bool; break;
            case Tag::Int: load.read = Read::Int; break;
            case Tag::Real: load.read = Read::Real; break;
            default: return false;
        }
        Emit(load);
        kinds_.push_back(kind);
        return true;
    }

    // A step on the top alone, which it leaves of kind `result`; `from`
    // guards that the top is a number at all.
    bool Unary(Code code, Tag from, Tag result) {
        if (kinds_.empty() || from == Tag::String) return false;
        Emit(Typed(code));
        kinds_.back() = result;
        return true;
    }

    // int(), real(), bool() and abs() of one argument.
    bool Conversion(General code) {
        if (kinds_.empty()) return false;
        const Tag top = Top();
        switch (code) {
            case General::Int:
                if (top == Tag::Real) Emit(Typed(Code::TruncateR));
                kinds_.back() = Tag::Int;
                return true;
            case General::Real:
                if (top != Tag::Real) Emit(Typed(Code::RealTop));
                kinds_.back() = Tag::Real;
                return true;
            case General::Bool:
                Emit(Typed(top == Tag::Real ? Code::TruthR : Code::TruthI));
                kinds_.back() = Tag::Bool;
                return true;
            default:
                // An Int stays one; anything else becomes a Real.
                if (top == Tag::Int) return Unary(Code::AbsI, top, Tag::Int);
                if (top != Tag::Real) Emit(Typed(Code::RealTop));
                return Unary(Code::AbsR, Tag::Real, Tag::Real);
        }
    }

    // One binary operator: the right operand is the top when `popRight`, else
    // `constant`; the operands are first brought to the kind it computes in.
    void Binary(const OperatorForm& form, bool popRight, const ScalarValue& constant) {
        const Tag left = popRight ? kinds_[kinds_.size() - 2] : kinds_.back();
        const Tag right = popRight ? kinds_.back() : constant.tag();
        TypedStep step;
        step.popRight = popRight;
        step.bits = constant.bits();
        Tag result = Tag::Bool;
        if (form.family == Family::Logical) {
            if (popRight && left == Tag::Real) Emit(Typed(Code::TruthBelow));
            if (popRight && right == Tag::Real) Emit(Typed(Code::TruthR));
            if (!popRight && left == Tag::Real) Emit(Typed(Code::TruthR));
            if (!popRight) step.bits = B(constant.ToBool());
            step.code = form.whole;
            result = form.whole == Code::Xor ? Tag::Int : Tag::Bool;
        } else {
            const bool real = left == Tag::Real || right == Tag::Real;
            if (real) {
                if (popRight && left != Tag::Real) Emit(Typed(Code::RealBelow));
                if (popRight && right != Tag::Real) Emit(Typed(Code::RealTop));
                if (!popRight && left != Tag::Real) Emit(Typed(Code::RealTop));
                if (!popRight) step.bits = R(constant.ToReal());
            }
            step.code = real ? form.real : form.whole;
            const Tag computed = real ? Tag::Real : Tag::Int;
            if (form.family != Family::Compare) result = computed;
            // A zero divisor leaves the left operand as it was.
            step.zeroGivesUp = form.family == Family::Divide && left != computed;
        }
        Emit(step);
        if (popRight) kinds_.pop_back();
        kinds_.back() = result;
    }

    void Emit(const TypedStep& step) { steps_.push_back(step); }

    std::vector<TypedStep>& steps_;
    std::vector<Tag> kinds_;
};

// Joins steps where one can do the work of two: a whole number read and made
// a Real at once, a read made by the step that uses it, and an operator's
// result joined to the value below it by the && or || that follows.
void Join(std::vector<TypedStep>& steps) {
    std::vector<TypedStep> joined;
    joined.reserve(steps.size());
    for (const TypedStep& step : steps) {
        if (!joined.empty()) {
            TypedStep& last = joined.back();
            const bool bare = step.read == Read::Nothing && step.then == ScalarStep::Then::Nothing;
            if (last.code == Code::Load && step.code == Code::RealTop && bare &&
                (last.read == Read::Int || last.read == Read::Bool)) {
                last.read = last.read == Read::Int ? Read::IntAsReal : Read::BoolAsReal;
                continue;
            }
            if (last.code == Code::Load && bare) {
                TypedStep merged = step;
                merged.read = last.read;
                merged.source = last.source;
                last = merged;
                continue;
            }
            if ((step.code == Code::And || step.code == Code::Or) && step.popRight && bare &&
                last.then == ScalarStep::Then::Nothing && last.code != Code::Load && last.code != Code::Push) {
                last.then = step.code == Code::And ? ScalarStep::Then::And : ScalarStep::Then::Or;
                continue;
            }
        }
        joined.push_back(step);
    }
    steps.swap(joined);
}

// Joins the steps and gives each its function, the last one ending the run;
// false when they are too many or one is of a form no function takes.
bool Thread(std::vector<TypedStep>& steps, Tag result) {
    Join(steps);
    if (steps.size() >= kMaxTypedSteps) return false;
    for (TypedStep& step : steps) {
        step.run = TypedHandler(step.code, step.read, step.popRight, step.then != ScalarStep::Then::Nothing);
        if (step.run == nullptr) return false;
    }
    TypedStep end;
    end.bits = static_cast<uint32_t>(result);
    end.run = TypedEnd();
    steps.push_back(end);
    return true;
}

}  // namespace

bool BuildTypedProgram(const ScalarProgram& program) {
    TypedProgram& typed = program.typed;
    typed.steps.clear();
    TypedBuilder builder(typed.steps);
    const bool built = std::all_of(program.steps.begin(), program.steps.end(),
                                   [&](const ScalarStep& step) { return builder.Translate(step); });
    if (built && builder.Finish(typed.result) && Thread(typed.steps, typed.result)) return true;
    typed.steps.clear();
    return false;
}

// A pure subtree laid out flat and run on a small stack of numbers: one loop
// instead of a call per node. It computes exactly what the PropertyValue
// operators compute for Bool, Int and Real values and gives up as soon as a
// value met is anything else; the caller then evaluates the subtree the
// general way with the same result. Nothing here changes state, so a ternary
// reads only the branch it picks.
#include <algorithm>
#include <cstdint>

#include "foundation/expression/builtin_ids.h"
#include "foundation/expression/compiled_expression.h"
#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "foundation/expression/typed_program_run.h"
#include "foundation/system/app_services.h"

using namespace expression_detail;

namespace {

using Node = CompiledNode;
using Kind = CompiledNode::Kind;
using Code = ScalarStep::Code;

constexpr size_t kInlineArgs = 4;
// How often a program's typed steps may give up before it keeps to its own
// steps until its names change.
constexpr uint8_t kTypedMisses = 8;

ScalarStep Step(Code code, const Node* node = nullptr, uint32_t count = 0) {
    ScalarStep step;
    step.code = code;
    step.node = node;
    step.count = count;
    return step;
}

ScalarStep WithValue(Code code, const ScalarValue& value) {
    ScalarStep step;
    step.code = code;
    step.value = value;
    return step;
}

// A step that first reads the variable `operand` or the constant() call it is.
ScalarStep Reading(Code code, const Node& operand) {
    ScalarStep step = Step(code, &operand);
    step.read = operand.kind == Kind::Word ? ScalarStep::Read::Word : ScalarStep::Read::ConstantOf;
    return step;
}

class ProgramBuilder {
public:
    explicit ProgramBuilder(std::vector<ScalarStep>& steps) : steps_(steps) {}

    void Emit(const Node& node) {
        const auto& child = node.children;
        switch (node.kind) {
            case Kind::Constant: {
                ScalarValue value = ScalarValue::Int(0);
                Add(WithValue(ScalarValue::From(node.value, value) ? Code::Push : Code::Fail, value), 1);
                return;
            }
            case Kind::Word: Add(Reading(Code::Operand, node), 1); return;
            case Kind::Defined: Add(Step(Code::Defined, &node), 1); return;
            case Kind::GlobalDefined: Add(Step(Code::GlobalDefined, &node), 1); return;
            case Kind::Ternary: {
                Emit(*child[0]);
                const size_t unless = steps_.size();
                Add(Step(Code::JumpUnless), -1);
                Emit(*child[1]);
                const size_t past = steps_.size();
                Add(Step(Code::Jump), -1);  // the other branch starts as deep
                steps_[unless].count = static_cast<uint32_t>(steps_.size());
                Emit(*child[2]);
                steps_[past].count = static_cast<uint32_t>(steps_.size());
                return;
            }
            case Kind::Binary: EmitOperator(ScalarStep::ForOperator(node.op), *child[0], *child[1]); return;
            case Kind::Negate:
            case Kind::Not:
                Emit(*child[0]);
                Add(Step(node.kind == Kind::Negate ? Code::Negate : Code::Not), 0);
                return;
            case Kind::Call: EmitCall(node); return;
            case Kind::Member:
            case Kind::Index: Add(Step(Code::Fail), 1); return;  // never laid out: no object is a number
        }
    }

    int MaxDepth() const { return maxDepth_; }

private:
    void EmitCall(const Node& node) {
        const auto& child = node.children;
        // The call answers its own name as text, or holds more arguments
        // than a step takes.
        if (node.builtin < 0 || child.size() > kInlineArgs) {
            Add(Step(Code::Fail), 1);
            return;
        }
        const auto builtin = static_cast<Builtin>(node.builtin);
        if (IsConstantOf(node)) {
            Add(Reading(Code::Operand, node), 1);
            return;
        }
        if (builtin == Builtin::Exists && child.size() == 1 && child[0]->kind == Kind::Word) {
            Add(Step(Code::ExistsWord, child[0].get()), 1);
            return;
        }
        if ((builtin == Builtin::Min || builtin == Builtin::Max) && child.size() == 2) {
            EmitOperator(builtin == Builtin::Min ? Code::Lesser : Code::Larger, *child[0], *child[1]);
            return;
        }
        for (const auto& arg : child) Emit(*arg);
        Code code = Code::Builtin;
        switch (builtin) {
            case Builtin::Int: code = Code::Int; break;
            case Builtin::Real: code = Code::Real; break;
            case Builtin::Bool: code = Code::Bool; break;
            case Builtin::Min: code = Code::Min; break;
            case Builtin::Max: code = Code::Max; break;
            case Builtin::Abs: code = Code::Abs; break;
            default: break;
        }
        const int n = static_cast<int>(child.size());
        Add(Step(code, &node, static_cast<uint32_t>(n)), 1 - n);
    }

    // Whether the steps of `node` end with the operator step EmitOperator made for it.
    static bool EndsInOperator(const Node& node) {
        if (node.kind == Kind::Binary) return true;
        return node.kind == Kind::Call && node.children.size() == 2 &&
               (node.builtin == static_cast<int>(Builtin::Min) || node.builtin == static_cast<int>(Builtin::Max));
    }

    static bool IsConstantOf(const Node& node) {
        return node.kind == Kind::Call && node.builtin == static_cast<int>(Builtin::Constant) &&
               node.children.size() <= kInlineArgs && node.children[0]->kind == Kind::Word;
    }

    // "name op number", the commonest condition, is one step.
    void EmitOperator(Code code, const Node& left, const Node& right) {
        ScalarStep step = Step(code);
        if (right.kind != Kind::Constant || !ScalarValue::From(right.value, step.value)) {
            Emit(left);
            Emit(right);
            // The right operand's last step is its own operator, which no
            // jump passes over: it can do the joining.
            if ((code == Code::And || code == Code::Or) && EndsInOperator(right) &&
                steps_.back().then == ScalarStep::Then::Nothing) {
                steps_.back().then = code == Code::And ? ScalarStep::Then::And : ScalarStep::Then::Or;
                --depth_;
                return;
            }
            step.popRight = true;
            Add(step, -1);
        } else if (left.kind == Kind::Word || IsConstantOf(left)) {
            ScalarStep reading = Reading(code, left);
            reading.value = step.value;
            Add(reading, 1);
        } else {
            Emit(left);
            Add(step, 0);
        }
    }

    void Add(const ScalarStep& step, int change) {
        steps_.push_back(step);
        depth_ += change;
        maxDepth_ = std::max(maxDepth_, depth_);
    }

    std::vector<ScalarStep>& steps_;
    int depth_ = 0;
    int maxDepth_ = 0;
};

// constant(name) of the call `call`. A name no variable holds is looked up as
// it is, without making a text of it first.
bool ReadConstantOf(const VariableMap& variables, const Node& call, ScalarValue& out) {
    const Node& word = *call.children[0];
    const PropertyValue* variable = FindName(variables, word.name, word.slot);
    if (variable) {
        ScalarValue name;
        return ScalarValue::From(*variable, name) && ScalarValue::From(GetConstant(name.ToValue().ToString()), out);
    }
    // An absent constant is entered as Int 0, which GetConstant does.
    // The call's slot only ever holds the constants, once they were looked in.
    const VariableMap& constants = call.slot.map ? *call.slot.map : ConstantsMap();
    const PropertyValue* value = FindName(constants, word.name, call.slot);
    return value ? ScalarValue::From(*value, out) : ScalarValue::From(GetConstant(word.name), out);
}

template <Code code>
[[gnu::always_inline]] inline void Combine(ScalarValue& left, const ScalarValue& right) {
    if constexpr (code == Code::Lesser || code == Code::Larger) {
        left = ScalarValue::MinMax(left, right, code == Code::Larger);
    } else {
        left.Apply<static_cast<BinaryOp>(static_cast<int>(code) + static_cast<int>(BinaryOp::Or))>(right);
    }
}

// One operator on the program's stack: its top held apart in `top`, place
// p below the top (0 at the bottom) in `below[p + 1]`, `depth` places in use
// with the top. The top and the depth are the caller's locals, so the
// compiler keeps them in registers: most steps then change only the top, and
// a step need not wait for the one before it to store its result and load it
// back.
template <Code code>
[[gnu::always_inline]] inline void Operator(const ScalarStep& step, ScalarValue& top, const ScalarValue* below,
                                            size_t& depth) {
    if (step.popRight) {
        ScalarValue left = below[depth - 1];
        Combine<code>(left, top);
        top = left;
        --depth;
    } else {
        Combine<code>(top, step.value);
    }
    if (step.then != ScalarStep::Then::Nothing) {
        ScalarValue left = below[depth - 1];
        if (step.then == ScalarStep::Then::And) {
            Combine<Code::And>(left, top);
        } else {
            Combine<Code::Or>(left, top);
        }
        top = left;
        --depth;
    }
}

// Finds again where each step reads its value. A constant() of a name some
// variable holds depends on that variable's value, and an absent constant is
// entered only when its step runs (a branch not taken enters nothing): both
// are left to be looked up as the step runs.
void Bind(const ScalarProgram& program, const VariableMap& variables) {
    const VariableMap& constants = ConstantsMap();
    for (const ScalarStep& step : program.steps) {
        if (step.code == Code::ExistsWord) step.source = FindName(variables, step.node->name, step.node->slot);
        if (step.read == ScalarStep::Read::Nothing) continue;
        const Node& word = step.read == ScalarStep::Read::Word ? *step.node : *step.node->children[0];
        const PropertyValue* variable = FindName(variables, word.name, word.slot);
        if (step.read == ScalarStep::Read::Word) {
            step.source = variable;
        } else {
            step.source = variable ? nullptr : FindName(constants, word.name, step.node->slot);
        }
    }
    program.typed.state = TypedProgram::State::Unbuilt;
    program.typed.misses = 0;
    program.variables = &variables;
    program.constants = &constants;
    program.variablesGeneration = variables.Generation();
    program.constantsGeneration = constants.Generation();
}

}  // namespace

bool BuildScalarProgram(CompiledNode& root) {
    ProgramBuilder builder(root.program.steps);
    builder.Emit(root);
    if (builder.MaxDepth() <= static_cast<int>(kScalarStack)) return true;
    root.program.steps.clear();
    root.program.steps.shrink_to_fit();
    return false;
}

bool ExpressionEvaluator::RunProgram(const ScalarProgram& program, ScalarValue& out) {
    if (!program.BoundTo(*variables_)) Bind(program, *variables_);
    TypedProgram& typed = program.typed;
    if (typed.state == TypedProgram::State::Unbuilt) {
        typed.state = BuildTypedProgram(program) ? TypedProgram::State::Ready : TypedProgram::State::None;
    }
    if (typed.state == TypedProgram::State::Ready) {
        if (typed_program::RunTypedProgram(typed, out)) return true;
        // A name now holds another kind: the steps are laid out again for the
        // next run, unless the kinds keep changing.
        typed.state = ++typed.misses < kTypedMisses ? TypedProgram::State::Unbuilt : TypedProgram::State::None;
    }
    ScalarValue below[kScalarStack + 1];
    ScalarValue top = ScalarValue::Int(0);
    size_t depth = 0;
    auto push = [&](const ScalarValue& v) {
        below[depth] = top;
        top = v;
        ++depth;
    };
    // Held in locals: the stores below could otherwise be the vector's own.
    const ScalarStep* const steps = program.steps.data();
    const size_t end = program.steps.size();
    for (size_t at = 0; at < end; ++at) {
        const ScalarStep& step = steps[at];
        if (step.read != ScalarStep::Read::Nothing) {
            ScalarValue read;
            bool ok = false;
            if (step.source) {
                ok = ScalarValue::From(*step.source, read);
            } else if (step.read == ScalarStep::Read::ConstantOf) {
                ok = ReadConstantOf(*variables_, *step.node, read);
            }
            if (!ok) return false;
            push(read);
        }
        switch (step.code) {
            case Code::Push: push(step.value); break;
            case Code::Operand: break;
            case Code::Defined:
                push(ScalarValue::Bool(FindName(*variables_, step.node->name, step.node->slot) != nullptr));
                break;
            case Code::ExistsWord:
                // An absent name reads as its own text, which is no widget.
                push(ScalarValue::Bool(step.source != nullptr && RefersToLiveWidget(*step.source)));
                break;
            case Code::GlobalDefined: {
                VariableMap* symbols = CurrentPlayerSymbols();
                push(ScalarValue::Bool(symbols != nullptr && symbols->contains(step.node->name)));
                break;
            }
            case Code::Or: Operator<Code::Or>(step, top, below, depth); break;
            case Code::And: Operator<Code::And>(step, top, below, depth); break;
            case Code::Xor: Operator<Code::Xor>(step, top, below, depth); break;
            case Code::Equal: Operator<Code::Equal>(step, top, below, depth); break;
            case Code::NotEqual: Operator<Code::NotEqual>(step, top, below, depth); break;
            case Code::LessEqual: Operator<Code::LessEqual>(step, top, below, depth); break;
            case Code::GreaterEqual: Operator<Code::GreaterEqual>(step, top, below, depth); break;
            case Code::Less: Operator<Code::Less>(step, top, below, depth); break;
            case Code::Greater: Operator<Code::Greater>(step, top, below, depth); break;
            case Code::Add: Operator<Code::Add>(step, top, below, depth); break;
            case Code::Subtract: Operator<Code::Subtract>(step, top, below, depth); break;
            case Code::Multiply: Operator<Code::Multiply>(step, top, below, depth); break;
            case Code::Divide: Operator<Code::Divide>(step, top, below, depth); break;
            case Code::Lesser: Operator<Code::Lesser>(step, top, below, depth); break;
            case Code::Larger: Operator<Code::Larger>(step, top, below, depth); break;
            case Code::Negate: top = top.Negated(); break;
            case Code::Not: top = ScalarValue::Bool(!top.ToBool()); break;
            case Code::Int:
            case Code::Real:
            case Code::Bool:
            case Code::Min:
            case Code::Max:
            case Code::Abs:
            case Code::Builtin: {
                // The arguments are the top `count` places; a missing one reads as Int 0.
                const size_t count = step.count;
                // The top `count` places in order, laid out in `below` as one run.
                below[depth] = top;
                const ScalarValue* args = &below[depth + 1 - count];
                const ScalarValue a = count >= 1 ? args[0] : ScalarValue::Int(0);
                const ScalarValue b = count >= 2 ? args[1] : ScalarValue::Int(0);
                ScalarValue result;
                switch (step.code) {
                    case Code::Int: result = ScalarValue::Int(a.ToInt()); break;
                    case Code::Real: result = ScalarValue::Real(a.ToReal()); break;
                    case Code::Bool: result = ScalarValue::Bool(a.ToBool()); break;
                    case Code::Min:
                    case Code::Max: result = ScalarValue::MinMax(a, b, step.code == Code::Max); break;
                    case Code::Abs: result = a.Absolute(); break;
                    default:
                        if (!RunScalarBuiltin(*step.node, std::span<const ScalarValue>(args, count), result)) {
                            return false;
                        }
                        break;
                }
                // The arguments give way to the result: the place under them
                // becomes the top's neighbour again.
                depth -= count;
                top = result;
                ++depth;
                break;
            }
            case Code::JumpUnless: {
                const bool go = top.ToBool();
                top = below[depth - 1];
                --depth;
                if (!go) at = step.count - 1;
            } break;
            case Code::Jump: at = step.count - 1; break;
            case Code::Fail: return false;
        }
    }
    out = top;
    return true;
}

bool ExpressionEvaluator::RunScalarBuiltin(const CompiledNode& node, std::span<const ScalarValue> args,
                                           ScalarValue& out) {
    PropertyValue values[kInlineArgs];
    for (size_t i = 0; i < args.size(); ++i) values[i] = args[i].ToValue();
    return ScalarValue::From(CallBuiltin(node.builtin, node.name, std::span<const PropertyValue>(values, args.size())),
                             out);
}

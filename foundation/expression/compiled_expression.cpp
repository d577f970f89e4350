// The compiled form of an expression: the same reading as the evaluator's
// parser, producing a tree instead of values, and the tree's evaluation.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "foundation/expression/builtin_ids.h"
#include "foundation/expression/compiled_expression.h"
#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "foundation/expression/scalar_value.h"
#include "foundation/system/app_services.h"

using namespace std::string_view_literals;
using namespace expression_detail;

namespace {

using Node = CompiledNode;
using Kind = CompiledNode::Kind;

std::unique_ptr<Node> Constant(PropertyValue value) {
    auto node = std::make_unique<Node>(Kind::Constant);
    node->value = std::move(value);
    return node;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// rand draws, eval may draw, and global enters the name it reads among the
// player's symbols, which a later globaldefined sees: evaluating any of them
// twice could differ from evaluating it once.
bool ChangesSomething(int builtin) {
    return builtin == static_cast<int>(Builtin::Rand) || builtin == static_cast<int>(Builtin::Eval) ||
           builtin == static_cast<int>(Builtin::Global);
}

bool MarkPure(Node& node) {
    bool pure = node.kind != Kind::Call || !ChangesSomething(node.builtin);
    bool reads = node.kind == Kind::Member || node.kind == Kind::Index;
    for (auto& child : node.children) {
        pure = MarkPure(*child) && pure;
        reads = reads || child->reads;
    }
    node.pure = pure;
    node.reads = reads;
    return pure;
}

// Numbers are tried at the top of each pure subtree only, so a subtree that
// meets a text is evaluated at most twice, never once per level. An object
// is never a number: a subtree reading from one is no place to try, though
// its parts may be, save the object itself.
void MarkScalarRoots(Node& node, bool parentTries) {
    const bool tries = node.pure && !node.reads;
    node.tryScalar = tries && !parentTries && node.kind != Kind::Constant && BuildScalarProgram(node);
    const bool read = node.kind == Kind::Member || node.kind == Kind::Index;
    for (size_t i = 0; i < node.children.size(); ++i) MarkScalarRoots(*node.children[i], tries || (read && i == 0));
}

}  // namespace

std::unique_ptr<ExpressionEvaluator::MemberRead> ExpressionEvaluator::MemberReadOf(const CompiledNode* root) {
    const CompiledNode* member = root;
    const bool negate = member != nullptr && member->kind == Kind::Not && !member->tryScalar;
    if (negate) member = member->children[0].get();
    if (member == nullptr || member->kind != Kind::Member || member->tryScalar ||
        member->children[0]->kind != Kind::Word || member->name.size() > MemberRead::kName) {
        return nullptr;
    }
    auto read = std::make_unique<MemberRead>();
    read->word = member->children[0].get();
    read->negate = negate;
    read->size = static_cast<uint8_t>(member->name.size());
    std::copy(member->name.begin(), member->name.end(), read->property.begin());
    return read;
}

void ExpressionEvaluator::RememberLast(std::wstring_view text, const CompiledText* compiled) {
    if (compiled == nullptr) {
        RememberLast(text, nullptr, nullptr, nullptr, 0);
    } else {
        RememberLast(text, compiled, compiled->root.get(), compiled->read.get(), compiled->depth);
    }
}

void ExpressionEvaluator::RememberLast(std::wstring_view text, const CompiledText* compiled, const CompiledNode* root,
                                       MemberRead* read, int depth) {
    last_ = compiled;
    lastSerial_ = 0;
    lastRoot_ = root;
    lastDepth_ = depth;
    lastProgram_ = root != nullptr && root->tryScalar ? &root->program : nullptr;
    lastRead_ = read;
    lastSize_ = text.size();
    if (text.size() <= kInlineText) {
        std::copy(text.begin(), text.end(), lastInline_.begin());
        lastText_.clear();
    } else {
        lastText_.assign(text);
    }
}

const ExpressionEvaluator::CompiledText* ExpressionEvaluator::Compiled(std::wstring_view text, uint64_t serial) {
    SerialSlot* slot = nullptr;
    if (serial != 0) {
        if (!bySerial_) bySerial_ = std::make_unique<std::array<SerialSlot, kSerialSlots>>();
        slot = &(*bySerial_)[serial % kSerialSlots];
        // A number stands for one text as long as it lives.
        if (slot->serial == serial) {
            RememberLast(text, slot->compiled, slot->root, slot->read, slot->depth);
            return last_;
        }
    }
    auto it = compiled_.find(text);
    if (it == compiled_.end()) {
        // Texts built at run time would grow the cache without end. A tree
        // being run is never dropped: an evaluation reached from inside
        // another one reads its text instead when the cache is full.
        if (compiled_.size() >= kCachedTexts) {
            if (running_ > 0) return nullptr;
            compiled_.clear();
            if (bySerial_) bySerial_->fill({});
            RememberLast({}, nullptr);
        }
        auto entry = std::make_unique<CompiledText>();
        Reset(text);
        compileDepth_ = compileMaxDepth_ = 0;
        compileFailed_ = false;
        std::unique_ptr<Node> root = CompileTernary();
        // A tree that gives up reading must be free to read the text instead.
        if (!compileFailed_ && !MarkPure(*root) && root->reads) compileFailed_ = true;
        if (!compileFailed_) {
            MarkScalarRoots(*root, false);
            entry->read = MemberReadOf(root.get());
            entry->root = std::move(root);
            entry->depth = compileMaxDepth_;
        }
        it = compiled_.emplace(std::wstring(text), std::move(entry)).first;
    }
    const CompiledText& compiled = *it->second;
    if (slot != nullptr) *slot = {serial, &compiled, compiled.root.get(), compiled.read.get(), compiled.depth};
    RememberLast(text, &compiled);
    return last_;
}

// The parser's Enter: the same levels count towards the same cap.
bool ExpressionEvaluator::EnterCompile() {
    if (compileFailed_ || compileDepth_ >= kMaxDepth) {
        compileFailed_ = true;
        return false;
    }
    compileMaxDepth_ = std::max(compileMaxDepth_, ++compileDepth_);
    return true;
}

std::unique_ptr<CompiledNode> ExpressionEvaluator::CompileTernary() {
    if (!EnterCompile()) return nullptr;
    std::unique_ptr<Node> cond = CompileBinary(1);
    if (MatchChar(L'?')) {
        auto node = std::make_unique<Node>(Kind::Ternary);
        node->children.push_back(std::move(cond));
        node->children.push_back(CompileBinary(1));
        MatchChar(L':');
        node->children.push_back(CompileTernary());
        cond = std::move(node);
    }
    --compileDepth_;
    return cond;
}

std::unique_ptr<CompiledNode> ExpressionEvaluator::CompileBinary(int minLevel) {
    std::unique_ptr<Node> v = CompileUnary();
    for (;;) {
        SkipSpace();
        OperatorAt at = PeekOperator(source_, position_);
        if (at.op == BinaryOp::None || at.level < minLevel || compileFailed_) return v;
        position_ += static_cast<size_t>(at.length);
        auto node = std::make_unique<Node>(Kind::Binary);
        node->op = at.op;
        node->children.push_back(std::move(v));
        node->children.push_back(CompileBinary(at.level + 1));
        v = std::move(node);
    }
}

std::unique_ptr<CompiledNode> ExpressionEvaluator::CompileUnary() {
    if (!EnterCompile()) return nullptr;
    SkipSpace();
    wchar_t c = position_ < source_.size() ? source_[position_] : L'\0';
    std::unique_ptr<Node> v;
    if (c == L'-' || c == L'!') {
        ++position_;
        v = std::make_unique<Node>(c == L'-' ? Kind::Negate : Kind::Not);
        v->children.push_back(CompileUnary());
    } else {
        if (c == L'+') ++position_;
        v = CompilePostfix(CompilePrimary());
    }
    --compileDepth_;
    return v;
}

// The reads after an operand, as the parser takes them from an object value.
std::unique_ptr<CompiledNode> ExpressionEvaluator::CompilePostfix(std::unique_ptr<CompiledNode> operand) {
    std::unique_ptr<Node> v = std::move(operand);
    for (;;) {
        SkipSpace();
        if (compileFailed_ || position_ >= source_.size()) return v;
        const wchar_t c = source_[position_];
        if (c != L'.' && c != L'[') return v;
        // A number, a truth value or a text is never an object: the reading
        // stops before the "." and goes on in a way the tree does not follow.
        if (v->kind == Kind::Constant) {
            compileFailed_ = true;
            return v;
        }
        ++position_;
        auto node = std::make_unique<Node>(c == L'.' ? Kind::Member : Kind::Index);
        node->children.push_back(std::move(v));
        if (c == L'.') {
            node->name.assign(ReadName(false));
        } else {
            node->children.push_back(CompileTernary());
            MatchChar(L']');
        }
        v = std::move(node);
    }
}

std::unique_ptr<CompiledNode> ExpressionEvaluator::CompilePrimary() {
    if (MatchChar(L'(')) {
        std::unique_ptr<Node> v = CompileTernary();
        MatchChar(L')');
        return v;
    }
    if (position_ >= source_.size()) return Constant(PropertyValue(std::wstring()));
    wchar_t c = source_[position_];
    if (IsDigit(c) || c == L'.') return Constant(ParseNumber());

    std::wstring_view name = ReadName(true);
    if (name == L"true"sv) return Constant(PropertyValue(true));
    if (name == L"false"sv) return Constant(PropertyValue(false));
    if (MatchChar(L'(')) return CompileCall(name);
    auto word = std::make_unique<Node>(Kind::Word);
    word->name.assign(name);
    word->value = PropertyValue(name);
    return word;
}

std::unique_ptr<CompiledNode> ExpressionEvaluator::CompileCall(std::wstring_view name) {
    if (name == L"literal"sv) return Constant(PropertyValue(ReadRawArgument(false)));
    if (name == L"defined"sv || name == L"globaldefined"sv) {
        auto node = std::make_unique<Node>(name == L"defined"sv ? Kind::Defined : Kind::GlobalDefined);
        node->name.assign(ReadRawArgument(true));
        return node;
    }
    auto call = std::make_unique<Node>(Kind::Call);
    call->name.assign(name);
    call->builtin = FindBuiltin(name);
    call->depth = compileDepth_;
    for (;;) {
        call->children.push_back(CompileTernary());
        SkipSpace();
        if (position_ >= source_.size()) break;
        if (source_[position_++] != L',') break;
    }
    return call;
}

bool ExpressionEvaluator::LastMemberReading(const ExpressionText& text, MemberReading& out) const {
    // A text known again runs its kept reading whenever the variable holds
    // a reference (Evaluate, ReadKeptMember): at the top level no depth is
    // spent and no text is read afresh.
    if (lastRead_ == nullptr || lastRoot_ == nullptr || lastDepth_ > kMaxDepth) return false;
    if ((text.Serial() == 0 || text.Serial() != lastSerial_) && !IsLast(text.str())) return false;
    out = {lastRead_->word->name, {lastRead_->property.data(), lastRead_->size}, lastRead_->negate};
    return true;
}

// What Run gives for the kept tree: the same reading, without its nodes.
bool ExpressionEvaluator::ReadKeptMember(PropertyValue& out) {
    // The object may evaluate texts of its own with this evaluator, which
    // then remembers another text; the reading itself stays where it is, as
    // no tree is dropped while an evaluation runs.
    MemberRead& read = *lastRead_;
    const PropertyValue* holder = FindName(*variables_, read.word->name, read.slot);
    if (holder == nullptr || !holder->IsPropertyHolder()) return false;
    // A holder whose object is gone has no properties left to read.
    ExtendedPropertyInterface* object = holder->ToPropertyInterface();
    if (object == nullptr) {
        out = PropertyValue(read.negate);
        return true;
    }
    out = object->GetProperty(std::wstring_view(read.property.data(), read.size));
    if (read.negate) out = PropertyValue(!out.ToBool());
    return true;
}

PropertyValue ExpressionEvaluator::Run(const CompiledNode& node, bool tryScalar) {
    // An eval() nested past the cap ends the reading where it stands: every
    // operand after it reads as the empty String, no operator after it is
    // read, the calls around it still run with the arguments read so far, and
    // the whole evaluation yields the empty String.
    if (tooDeep_ || reread_) return PropertyValue(std::wstring());
    if (tryScalar && node.tryScalar) {
        ScalarValue scalar;
        if (RunProgram(node.program, scalar)) return scalar.ToValue();
    }
    const auto& child = node.children;
    switch (node.kind) {
        case Kind::Constant: return node.value;
        case Kind::Word: {
            const PropertyValue* value = FindName(*variables_, node.name, node.slot);
            return value ? *value : node.value;
        }
        case Kind::Ternary: {
            PropertyValue cond = Run(*child[0]);
            if (tooDeep_) return cond;
            PropertyValue then = Run(*child[1]);
            PropertyValue otherwise = Run(*child[2]);
            return cond.ToBool() ? then : otherwise;
        }
        case Kind::Binary: {
            PropertyValue v = Run(*child[0]);
            if (tooDeep_) return v;
            PropertyValue r = Run(*child[1]);
            ApplyBinary(node.op, v, r);
            return v;
        }
        case Kind::Negate: return Run(*child[0]).Negate();
        case Kind::Not: return PropertyValue(!Run(*child[0]).ToBool());
        case Kind::Defined: return PropertyValue(FindName(*variables_, node.name, node.slot) != nullptr);
        case Kind::GlobalDefined: {
            VariableMap* symbols = CurrentPlayerSymbols();
            return PropertyValue(symbols != nullptr && symbols->contains(node.name));
        }
        case Kind::Call: {
            // Up to four arguments live on the stack, as in the parser.
            constexpr size_t kInline = 4;
            PropertyValue inlineArgs[kInline];
            std::vector<PropertyValue> more;
            size_t count = 0;
            for (const auto& arg : child) {
                PropertyValue value = Run(*arg);
                if (count < kInline) {
                    inlineArgs[count] = std::move(value);
                } else {
                    if (count == kInline) {
                        more.assign(std::make_move_iterator(inlineArgs), std::make_move_iterator(inlineArgs + kInline));
                    }
                    more.push_back(std::move(value));
                }
                ++count;
                if (tooDeep_) break;
            }
            if (reread_) return PropertyValue(std::wstring());
            // A nested eval() starts as deep as the parser would be here.
            depth_ += node.depth;
            PropertyValue result = CallBuiltin(node.builtin, node.name,
                                               count <= kInline ? std::span<const PropertyValue>(inlineArgs, count)
                                                                : std::span<const PropertyValue>(more));
            depth_ -= node.depth;
            return result;
        }
        case Kind::Member:
        case Kind::Index: {
            // A variable's object is read where it stands: a copy would count
            // its anchor up and down again for every read.
            PropertyValue copy;
            const PropertyValue* holder = &copy;
            if (child[0]->kind == Kind::Word) {
                holder = FindName(*variables_, child[0]->name, child[0]->slot);
                if (holder == nullptr) holder = &child[0]->value;
            } else {
                copy = Run(*child[0]);
            }
            if (reread_ || !holder->IsPropertyHolder()) {
                reread_ = true;
                return PropertyValue(std::wstring());
            }
            if (node.kind == Kind::Index) {
                PropertyValue index = Run(*child[1]);
                return reread_ ? PropertyValue(std::wstring()) : ReadIndexed(*holder, index);
            }
            // A holder whose object is gone has no properties left to read.
            ExtendedPropertyInterface* object = holder->ToPropertyInterface();
            return object ? object->GetProperty(node.name) : PropertyValue(false);
        }
    }
    return PropertyValue(std::wstring());
}

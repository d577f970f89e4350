#pragma once
// The expression language of scene scripts, conditions, curve formulas,
// constants and bound values.
//
// An ExpressionEvaluator reads a text once into a small tree and keeps the
// trees of the texts it evaluated last (a bounded number), so a condition
// checked every frame is not parsed again. The tree computes exactly what
// reading the text left to right computes; a text that nests too deep is read
// afresh each time. Only a widget or object value reads on past a "." or "[";
// the tree takes the operand before one to be such a value, and when it meets
// any other value it gives up and the text is read afresh, which therefore
// must not change anything: a text holding a "." or "[" and a rand, eval or
// global is read afresh each time.
// A part of the tree that changes nothing when evaluated (no rand, eval or
// global) is laid out as flat steps and first computed on plain numbers; when
// it meets a text or an object it is evaluated again as values, with the same
// result. A tree remembers where it found each name in the variables and the
// constants and looks again only when the map's names changed (its
// Generation()), so a value written in place is always read afresh; the
// steps are then laid out once more for the kinds the names hold, each read
// checked to find its kind still.
// Every operator is the PropertyValue operator of that name; both
// operands are always evaluated, left before right (this matters for rand).
// Nothing is ever reported: malformed text still yields a value, an
// undefined bare word is its own text, text after the expression is ignored.
// Nesting (parentheses, prefix operators, eval) is capped; beyond the cap the
// whole evaluation yields the empty String instead of exhausting the stack.
//
// The evaluator is bound for its whole life to one variable map, which it
// does not own and which must outlive it. One thread at a time per evaluator.

#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/expression/expression_text.h"
#include "foundation/expression/variables.h"

struct CompiledNode;
struct ScalarProgram;
struct ScalarValue;

class ExpressionEvaluator {
public:
    explicit ExpressionEvaluator(VariableMap& variables) : variables_(&variables) {}

    // One conditional expression; the rest of the text is ignored.
    PropertyValue Evaluate(std::wstring_view text) { return Evaluate(text, 0); }
    PropertyValue Evaluate(const wchar_t* text) { return Evaluate(text ? std::wstring_view(text) : L"", 0); }
    // The same; the text evaluated last is known again by its number alone.
    PropertyValue Evaluate(const ExpressionText& text) { return Evaluate(text.str(), text.Serial()); }
    // Expressions separated by "," as the arguments of a call are read.
    std::vector<PropertyValue> EvaluateList(std::wstring_view text);
    // Top-level comma-separated pieces, trimmed and not evaluated.
    std::vector<PropertyValue> SplitList(std::wstring_view text);

    // What evaluating `text` reads, when its tree is one reading of one
    // property of a variable's object ("owner.busy", "!owner.busy"): while
    // the variable holds a reference, evaluating the text at the top level
    // answers the object's property, as a Bool negated when `negate`, or Bool
    // `negate` once the object is gone. Known only of the text evaluated
    // last (false otherwise); the views last until the next evaluation.
    struct MemberReading {
        std::wstring_view variable;
        std::wstring_view property;
        bool negate = false;
    };
    bool LastMemberReading(const ExpressionText& text, MemberReading& out) const;

    // Set only by the asset collector: image() of an unregistered name then
    // answers its argument instead of a null image.
    bool collectMode = false;

    // How deep parentheses, prefix operators and eval() may nest.
    static constexpr int kMaxDepth = 200;
    // How many texts keep their tree; the next one starts the cache afresh.
    static constexpr size_t kCachedTexts = 64;
    // How long a last text the evaluator keeps in itself.
    static constexpr size_t kInlineText = 32;

private:
    ExpressionEvaluator(VariableMap& variables, int depth) : variables_(&variables), depth_(depth) {}

    // A tree that reads one property of a variable's object ("owner.busy"
    // or "!owner.busy"): the reading laid out when the tree is made, so a
    // condition checked every frame by each of thousands of widgets touches
    // none of its tree's nodes, each a likely cache miss, and the variable's
    // place found once stays found while the names stand.
    struct MemberRead {
        static constexpr size_t kName = 24;
        const CompiledNode* word = nullptr;  // the variable's node
        NameSlot slot;                       // the variable's place, kept as the node keeps its own
        bool negate = false;
        uint8_t size = 0;
        std::array<wchar_t, kName> property{};
    };
    struct CompiledText {
        std::shared_ptr<const CompiledNode> root;  // none: read the text every time
        int depth = 0;                             // nesting levels the reading enters
        std::unique_ptr<MemberRead> read;          // the reading, when the tree is one
    };
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>()(text); }
    };

    // `serial`: the ExpressionText's number, 0 for any other text.
    PropertyValue Evaluate(std::wstring_view text, uint64_t serial);
    // None when the text is to be read afresh this time. `serial` as for
    // Evaluate; the caller has found the text is not the last one.
    const CompiledText* Compiled(std::wstring_view text, uint64_t serial);
    std::unique_ptr<CompiledNode> CompileTernary();
    std::unique_ptr<CompiledNode> CompileBinary(int minLevel);
    std::unique_ptr<CompiledNode> CompileUnary();
    std::unique_ptr<CompiledNode> CompilePrimary();
    std::unique_ptr<CompiledNode> CompileCall(std::wstring_view name);
    std::unique_ptr<CompiledNode> CompilePostfix(std::unique_ptr<CompiledNode> operand);
    bool EnterCompile();
    // `tryScalar` false: the node's own program was already tried and gave up.
    PropertyValue Run(const CompiledNode& node, bool tryScalar = true);

    void Reset(std::wstring_view text);
    bool Enter();
    void Leave() { --depth_; }

    PropertyValue ParseTernary();
    // The binary operators whose level is at least `minLevel`, left-associative.
    PropertyValue ParseBinary(int minLevel);
    PropertyValue ParseUnary();
    PropertyValue ParsePostfix();
    PropertyValue ParsePrimary();
    PropertyValue ParseNumber();
    PropertyValue ParseCall(std::wstring_view name);
    PropertyValue ReadIndexed(const PropertyValue& holder, const PropertyValue& index);
    PropertyValue CallBuiltin(std::wstring_view name, std::span<const PropertyValue> args);
    // `builtin` from FindBuiltin; -1 (no such function) answers the name as text.
    PropertyValue CallBuiltin(int builtin, std::wstring_view name, std::span<const PropertyValue> args);
    static int FindBuiltin(std::wstring_view name);
    bool RunProgram(const ScalarProgram& program, ScalarValue& out);
    bool RunScalarBuiltin(const CompiledNode& node, std::span<const ScalarValue> args, ScalarValue& out);

    void SkipSpace();
    bool MatchChar(wchar_t c);
    bool MatchOperator(wchar_t first, wchar_t second);
    std::wstring_view ReadName(bool allowPercent);
    std::wstring_view ReadRawArgument(bool stopAtComma);
    std::vector<PropertyValue> ParseArgumentList();

    // The caller's text, alive for the duration of one public call.
    std::wstring_view source_;
    size_t position_ = 0;
    VariableMap* variables_;
    int depth_ = 0;
    bool tooDeep_ = false;
    bool reread_ = false;  // a tree met a value it cannot read on from: read the text instead
    int running_ = 0;      // evaluations under way, which keep the cache from being cleared

    // The text evaluated last and its tree, checked before hashing. A short
    // text is kept in the evaluator itself, beside its tree's root, so a
    // condition checked every frame is known again without a look elsewhere.
    // Equality alone: the library's byte comparison is its fastest. In line,
    // as a condition is checked against its own text on every evaluation.
    bool IsLast(std::wstring_view text) const {
        if (last_ == nullptr || text.size() != lastSize_) return false;
        const wchar_t* last = lastSize_ <= kInlineText ? lastInline_.data() : lastText_.data();
        return std::memcmp(text.data(), last, text.size() * sizeof(wchar_t)) == 0;
    }
    void RememberLast(std::wstring_view text, const CompiledText* compiled);
    // `root`, `read` and `depth` are the compiled text's.
    void RememberLast(std::wstring_view text, const CompiledText* compiled, const CompiledNode* root, MemberRead* read,
                      int depth);
    const CompiledText* last_ = nullptr;
    uint64_t lastSerial_ = 0;  // the last text's number, when it was an ExpressionText
    const CompiledNode* lastRoot_ = nullptr;
    const ScalarProgram* lastProgram_ = nullptr;  // the last tree's, when it is one number program
    int lastDepth_ = 0;
    size_t lastSize_ = 0;
    std::array<wchar_t, kInlineText> lastInline_{};
    std::wstring lastText_;  // a longer text

    // The reading `root` is; null when the tree is of another shape.
    static std::unique_ptr<MemberRead> MemberReadOf(const CompiledNode* root);
    // The last tree's reading's result; false when the tree must be run
    // instead (the variable undefined or holding no object).
    bool ReadKeptMember(PropertyValue& out);
    MemberRead* lastRead_ = nullptr;  // the last tree's, when it is a MemberRead

    std::unordered_map<std::wstring, std::unique_ptr<const CompiledText>, TextHash, std::equal_to<>> compiled_;
    // The cached trees of ExpressionTexts by their numbers, one place for
    // each number's remainder: a script cycles through a few dozen texts,
    // and a number and a compare stand for hashing the text and the look
    // through the map's nodes, several cache misses apiece in each of
    // thousands of evaluators. Made at the first text with a number. The
    // slot holds what the evaluation reads of the compiled text first, so
    // a text known by its number is run without a look at the text's record.
    struct SerialSlot {
        uint64_t serial = 0;
        const CompiledText* compiled = nullptr;
        const CompiledNode* root = nullptr;
        MemberRead* read = nullptr;
        int depth = 0;
    };
    static constexpr size_t kSerialSlots = 64;
    std::unique_ptr<std::array<SerialSlot, kSerialSlots>> bySerial_;
    int compileDepth_ = 0;
    int compileMaxDepth_ = 0;
    bool compileFailed_ = false;
};

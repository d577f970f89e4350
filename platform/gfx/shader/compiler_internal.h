#pragma once
// The shader compiler's working state: a single-pass recursive-descent
// parser that emits register code while it reads the entry function. Other
// functions are skipped unread. Internal to platform/gfx/shader.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/shader/shader.h"
#include "platform/gfx/shader/shader_isa.h"
#include "platform/gfx/shader/shader_lexer.h"

namespace plat::shader {

// True for words that name a type of the full language (half4, int, ...).
bool LooksLikeType(const std::string& word);

enum class BaseType { Void, Float, Matrix, Sampler, Struct };

struct Type {
    BaseType base = BaseType::Void;
    int size = 0;  // components of a Float
    int structIndex = -1;
};

struct StructMember {
    std::string name;
    Type type;
    std::string semantic;  // as written, empty when none
    int line = 0;
};

struct StructDef {
    std::string name;
    std::vector<StructMember> members;
};

struct Variable {
    std::string name;
    Type type;
    bool uniform = false;
    int line = 0;
    // Locals and inputs: one temp register per struct member, or one.
    std::vector<std::uint16_t> regs;
    std::vector<std::uint8_t> written;  // components written, per register
    // Uniforms.
    int explicitRegister = -1;
    int registerIndex = -1;  // assigned on first use
    bool used = false;
    bool hasDefault = false;
    std::array<float, 16> defaults{};
};

// The result of an expression: where its components live.
struct Value {
    Type type;
    Operand op;               // Float: the components; Matrix: first column; Sampler: stage
    Variable* var = nullptr;  // the variable read, for structs and for the written check
    int member = 0;           // register of var that op refers to
};

class Compiler {
public:
    Compiler(std::string_view entry, ShaderKind kind);
    CompiledShader Compile(std::string_view source);

private:
    // Tokens and errors.
    const Token& Peek(int ahead = 0) const;
    const Token& Next();
    bool IsPunct(std::string_view p, int ahead = 0) const;
    bool Accept(std::string_view p);
    bool Expect(std::string_view p);
    bool ExpectIdentifier(std::string& name);
    bool Fail(int line, const std::string& message);
    bool Fail(const std::string& message) { return Fail(Peek().line, message); }
    std::string ProfileName() const;

    // Declarations (shader_compiler.cpp).
    bool ParseProgram();
    bool ParseStruct();
    bool IsTypeName(const std::string& word) const;
    bool ParseType(Type& type);
    bool RejectKeyword(const Token& t);
    bool ParseGlobal();
    bool ParseDefault(Variable& v);
    bool SkipFunction();
    std::string TypeName(const Type& t) const;

    // The entry function (shader_statements.cpp).
    bool ParseEntry(const Type& returnType, int line);
    bool SemanticSlot(const std::string& semantic, bool output, int line, int& slot);
    bool ParseParameter();
    bool ParseStatement(bool& returned);
    bool ParseDeclaration();
    bool ParseAssignment();
    bool ParseReturn();
    bool Store(Variable& var, int member, const std::vector<int>& comps, const Value& value, int line);
    bool StoreOutput(int slot, const Value& value, int line);
    Variable* FindVariable(const std::string& name);

    // Expressions (shader_expressions.cpp).
    bool ParseExpression(Value& out);
    bool ParseAdditive(Value& out);
    bool ParseMultiplicative(Value& out);
    bool ParseUnary(Value& out);
    bool ParsePostfix(Value& out);
    bool ParsePrimary(Value& out);
    bool ParseArguments(std::vector<Value>& args, std::vector<int>& lines);
    bool ParseConstructor(const Type& type, int line, Value& out);
    bool ParseCall(const std::string& name, int line, Value& out);
    bool ReadVariable(Variable& var, int line, Value& out);
    bool ApplySelector(Value& v, const std::string& selector, int line);
    bool CheckWritten(const Value& v, int line);
    bool RequireFloat(const Value& v, int line);
    bool Unify(const Value& a, const Value& b, int line, int& size);
    bool Arithmetic(char op, const Value& a, const Value& b, int line, Value& out);
    bool FuseMultiplyAdd(const Value& product, const Value& addend, bool negateAddend, int size, Value& out);
    bool Emit(Op op, int size, std::initializer_list<Value> sources, int line, Value& out);
    bool EmitMul(const Value& a, const Value& b, int line, Value& out);
    Value Literal(float x);
    std::uint16_t LiteralVector(float x, float y, float z, float w);
    Operand Spread(const Value& v, int size) const;
    bool NewTemp(int line, std::uint16_t& reg);
    bool UseUniform(Variable& var, int line);

    static constexpr int kMaxNesting = 200;

    std::string entry_;
    ShaderKind kind_;
    int depth_ = 0;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::string error_;

    std::vector<StructDef> structs_;
    std::deque<Variable> globals_;
    std::deque<Variable> locals_;
    bool entryFound_ = false;

    std::vector<Instruction> code_;
    std::vector<std::array<float, 4>> literals_;
    std::uint16_t localsTop_ = kFirstFreeRegister;
    std::uint16_t nextReg_ = kFirstFreeRegister;
    int registerCount_ = kFirstFreeRegister;
    std::uint8_t inputsRead_ = 0;
    std::uint8_t outputsWritten_ = 0;
    Type returnType_;
    std::vector<int> returnSlots_;  // output slot per returned member (or of the value)
    std::vector<std::string> otherFunctions_;
    std::array<bool, ConstantRegisters::kCount> floatRegisterTaken_{};
    std::array<bool, 16> samplerTaken_{};
};

}  // namespace plat::shader

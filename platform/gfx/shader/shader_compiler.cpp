#include <algorithm>

#include "platform/gfx/shader/compiler_internal.h"

namespace plat {

CompiledShader CompileShader(std::string_view source, std::string_view entry, std::string_view profile) {
    if (profile != "ps_2_0" && profile != "vs_2_0") {
        CompiledShader failed;
        failed.errors = "line 1: unsupported profile '" + std::string(profile) + "' (use ps_2_0 or vs_2_0)";
        return failed;
    }
    const ShaderKind kind = profile == "ps_2_0" ? ShaderKind::Pixel : ShaderKind::Vertex;
    return shader::Compiler(entry, kind).Compile(source);
}

}  // namespace plat

namespace plat::shader {

namespace {

// Words of HLSL that this compiler does not take, with the reason a shader
// author most likely wants to hear.
struct Unsupported {
    std::string_view word;
    std::string_view message;
};
constexpr Unsupported kUnsupportedWords[] = {
    {"if", "'if' is not supported; use step() and lerp()"},
    {"else", "'else' is not supported; use step() and lerp()"},
    {"for", "loops are not supported"},
    {"while", "loops are not supported"},
    {"do", "loops are not supported"},
    {"switch", "'switch' is not supported"},
    {"discard", "'discard' is not supported"},
    {"static", "'static' is not supported"},
    {"const", "'const' is not supported"},
    {"extern", "'extern' is not supported"},
    {"out", "'out' parameters are not supported; return a struct"},
    {"inout", "'inout' parameters are not supported; return a struct"},
    {"cbuffer", "'cbuffer' is not supported"},
    {"technique", "effect techniques are not supported"},
    {"pass", "effect passes are not supported"},
    {"texture", "'texture' is not supported; declare a sampler2D"},
    {"sampler_state", "'sampler_state' is not supported"},
    {"typedef", "'typedef' is not supported"},
};

}  // namespace

bool LooksLikeType(const std::string& w) {
    for (std::string_view base : {"half", "int", "uint", "bool", "double", "float", "dword", "min16float", "vector",
                                  "matrix", "sampler", "string", "void"}) {
        if (w.rfind(base, 0) != 0) continue;
        const std::string rest = w.substr(base.size());
        if (rest == "1D" || rest == "3D" || rest == "CUBE") return true;
        if (std::all_of(rest.begin(), rest.end(), [](char c) { return c == 'x' || (c >= '0' && c <= '9'); })) {
            return true;
        }
    }
    return false;
}

Compiler::Compiler(std::string_view entry, ShaderKind kind) : entry_(entry), kind_(kind) {}

const Token& Compiler::Peek(int ahead) const {
    const std::size_t i = std::min(pos_ + static_cast<std::size_t>(ahead), tokens_.size() - 1);
    return tokens_[i];
}

const Token& Compiler::Next() {
    const Token& t = tokens_[pos_];
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
}

bool Compiler::IsPunct(std::string_view p, int ahead) const {
    const Token& t = Peek(ahead);
    return t.kind == TokenKind::Punct && t.text == p;
}

bool Compiler::Accept(std::string_view p) {
    if (!IsPunct(p)) return false;
    Next();
    return true;
}

bool Compiler::Expect(std::string_view p) {
    if (Accept(p)) return true;
    const Token& t = Peek();
    if (t.kind == TokenKind::End) return Fail("expected '" + std::string(p) + "' before end of file");
    return Fail("expected '" + std::string(p) + "' before '" + t.text + "'");
}

bool Compiler::ExpectIdentifier(std::string& name) {
    const Token& t = Peek();
    if (t.kind != TokenKind::Identifier) {
        return Fail(t.kind == TokenKind::End ? "expected a name before end of file"
                                             : "expected a name before '" + t.text + "'");
    }
    name = Next().text;
    return true;
}

bool Compiler::Fail(int line, const std::string& message) {
    if (error_.empty()) error_ = "line " + std::to_string(line) + ": " + message;
    return false;
}

std::string Compiler::ProfileName() const { return kind_ == ShaderKind::Pixel ? "ps_2_0" : "vs_2_0"; }

CompiledShader Compiler::Compile(std::string_view source) {
    CompiledShader result;
    if (!Tokenize(source, tokens_, error_) || !ParseProgram()) {
        result.errors = error_.empty() ? "line 1: shader could not be compiled" : error_;
        return result;
    }
    std::vector<ShaderConstant> constants;
    for (const Variable& g : globals_) {
        if (!g.used) continue;
        ShaderConstant c;
        c.name = g.name;
        c.registerIndex = g.registerIndex;
        c.hasDefault = g.hasDefault;
        c.defaults = g.defaults;
        switch (g.type.base) {
            case BaseType::Matrix:
                c.kind = ConstantKind::Matrix;
                c.rows = c.columns = c.registerCount = 4;
                break;
            case BaseType::Sampler: c.kind = ConstantKind::Sampler; break;
            default:
                c.kind = g.type.size == 1 ? ConstantKind::Scalar : ConstantKind::Vector;
                c.columns = g.type.size;
                break;
        }
        constants.push_back(std::move(c));
    }
    result.constants = std::make_unique<ConstantTable>(std::move(constants));
    result.code = std::make_unique<ShaderCode>(kind_, std::move(code_), std::move(literals_), registerCount_,
                                               inputsRead_, outputsWritten_);
    return result;
}

bool Compiler::ParseProgram() {
    while (Peek().kind != TokenKind::End) {
        if (Accept(";")) continue;
        const Token& t = Peek();
        if (t.kind != TokenKind::Identifier) return Fail("unexpected '" + t.text + "'");
        if (t.text == "struct") {
            if (!ParseStruct()) return false;
        } else if (!ParseGlobal()) {
            return false;
        }
    }
    if (!entryFound_) return Fail(Peek().line, "entry point '" + entry_ + "' not found");
    return true;
}

bool Compiler::ParseStruct() {
    Next();  // struct
    StructDef def;
    if (!ExpectIdentifier(def.name)) return false;
    if (IsTypeName(def.name)) return Fail("'" + def.name + "' is already a type");
    if (!Expect("{")) return false;
    while (!Accept("}")) {
        StructMember m;
        m.line = Peek().line;
        if (!ParseType(m.type)) return false;
        if (m.type.base != BaseType::Float) {
            return Fail(m.line, "struct members must be float, float2, float3 or float4");
        }
        if (!ExpectIdentifier(m.name)) return false;
        for (const StructMember& other : def.members) {
            if (other.name == m.name) return Fail(m.line, "member '" + m.name + "' is declared twice");
        }
        if (Accept(":") && !ExpectIdentifier(m.semantic)) return false;
        if (!Expect(";")) return false;
        def.members.push_back(std::move(m));
    }
    if (def.members.empty()) return Fail("struct '" + def.name + "' has no members");
    structs_.push_back(std::move(def));
    return Expect(";");
}

bool Compiler::IsTypeName(const std::string& w) const {
    if (w == "float" || w == "float2" || w == "float3" || w == "float4" || w == "float4x4" || w == "sampler2D") {
        return true;
    }
    return std::any_of(structs_.begin(), structs_.end(), [&](const StructDef& s) { return s.name == w; });
}

bool Compiler::RejectKeyword(const Token& t) {
    for (const Unsupported& u : kUnsupportedWords) {
        if (t.text == u.word) return Fail(t.line, std::string(u.message));
    }
    return true;
}

bool Compiler::ParseType(Type& type) {
    const Token& t = Peek();
    if (t.kind != TokenKind::Identifier) return Fail("expected a type before '" + t.text + "'");
    if (!RejectKeyword(t)) return false;
    const std::string& w = t.text;
    if (w == "float")
        type = {BaseType::Float, 1, -1};
    else if (w == "float2")
        type = {BaseType::Float, 2, -1};
    else if (w == "float3")
        type = {BaseType::Float, 3, -1};
    else if (w == "float4")
        type = {BaseType::Float, 4, -1};
    else if (w == "float4x4")
        type = {BaseType::Matrix, 16, -1};
    else if (w == "sampler2D")
        type = {BaseType::Sampler, 0, -1};
    else {
        for (std::size_t i = 0; i < structs_.size(); ++i) {
            if (structs_[i].name == w) {
                type = {BaseType::Struct, 0, static_cast<int>(i)};
                Next();
                return true;
            }
        }
        if (LooksLikeType(w)) return Fail("type '" + w + "' is not supported");
        return Fail("unknown type '" + w + "'");
    }
    Next();
    return true;
}

std::string Compiler::TypeName(const Type& t) const {
    switch (t.base) {
        case BaseType::Float: return t.size == 1 ? "float" : "float" + std::to_string(t.size);
        case BaseType::Matrix: return "float4x4";
        case BaseType::Sampler: return "sampler2D";
        case BaseType::Struct: return structs_[t.structIndex].name;
        case BaseType::Void: break;
    }
    return "void";
}

bool Compiler::ParseGlobal() {
    if (Peek().kind == TokenKind::Identifier && Peek().text == "uniform") Next();
    Type type;
    const int line = Peek().line;
    if (Peek().text == "void") {
        Next();
    } else if (!ParseType(type)) {
        return false;
    }
    std::string name;
    if (!ExpectIdentifier(name)) return false;
    if (IsPunct("(")) {
        if (name != entry_) {
            otherFunctions_.push_back(name);
            return SkipFunction();
        }
        if (entryFound_) return Fail(line, "'" + name + "' is defined twice");
        entryFound_ = true;
        return ParseEntry(type, line);
    }
    if (type.base == BaseType::Void) return Fail(line, "a variable cannot be void");
    if (type.base == BaseType::Struct) return Fail(line, "struct uniforms are not supported");
    for (const Variable& g : globals_) {
        if (g.name == name) return Fail(line, "'" + name + "' is declared twice");
    }
    Variable v;
    v.name = name;
    v.type = type;
    v.uniform = true;
    v.line = line;
    if (Accept(":")) {
        std::string word;
        if (!ExpectIdentifier(word)) return false;
        if (word != "register") return Fail(line, "a uniform takes no semantic ('" + word + "')");
        std::string reg;
        if (!Expect("(") || !ExpectIdentifier(reg) || !Expect(")")) return false;
        const char want = type.base == BaseType::Sampler ? 's' : 'c';
        const bool digits =
            reg.size() > 1 && std::all_of(reg.begin() + 1, reg.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (reg[0] != want || !digits || reg.size() > 4) {
            return Fail(line, "'" + name + "' needs a register of the form " + want + "N, not '" + reg + "'");
        }
        v.explicitRegister = std::stoi(reg.substr(1));
        const int count = type.base == BaseType::Matrix ? 4 : 1;
        const int limit = type.base == BaseType::Sampler
                              ? (kind_ == ShaderKind::Pixel ? 16 : 0)
                              : (kind_ == ShaderKind::Pixel ? 32 : ConstantRegisters::kCount);
        if (v.explicitRegister + count > limit) {
            return Fail(line, "register " + reg + " is out of range for " + ProfileName());
        }
        for (int r = v.explicitRegister; r < v.explicitRegister + count; ++r) {
            bool& taken = type.base == BaseType::Sampler ? samplerTaken_[r] : floatRegisterTaken_[r];
            if (taken) return Fail(line, "register " + reg + " is bound twice");
            taken = true;
        }
    }
    if (Accept("=") && !ParseDefault(v)) return false;
    globals_.push_back(std::move(v));
    return Expect(";");
}

// A uniform's initial value: a number, a constructor of numbers or a braced
// list of numbers.
bool Compiler::ParseDefault(Variable& v) {
    const int line = Peek().line;
    if (v.type.base == BaseType::Sampler) return Fail(line, "a sampler cannot have an initial value");
    const int want = v.type.size;
    bool braced = false;
    bool constructed = false;
    if (Accept("{")) {
        braced = true;
    } else if (Peek().kind == TokenKind::Identifier) {
        Type t;
        if (!ParseType(t)) return false;
        if (t.base != v.type.base || t.size != v.type.size) {
            return Fail(line, "cannot initialise " + TypeName(v.type) + " with " + TypeName(t));
        }
        if (!Expect("(")) return false;
        constructed = true;
    }
    std::vector<float> values;
    do {
        const bool negative = Accept("-");
        if (!negative) Accept("+");
        const Token& t = Peek();
        if (t.kind != TokenKind::Number) {
            return Fail("an initial value must be made of numbers");
        }
        values.push_back(negative ? -t.number : t.number);
        Next();
    } while ((braced || constructed) && Accept(","));
    if ((braced && !Expect("}")) || (constructed && !Expect(")"))) return false;
    if (values.size() == 1 && v.type.base == BaseType::Float) values.assign(want, values[0]);
    if (static_cast<int>(values.size()) != want) {
        return Fail(line, TypeName(v.type) + " needs " + std::to_string(want) + " values, got " +
                              std::to_string(values.size()));
    }
    std::copy(values.begin(), values.end(), v.defaults.begin());
    v.hasDefault = true;
    return true;
}

// Functions other than the entry are not compiled: only the entry's code is
// wanted, and the other entry of a shared file is compiled for its own
// profile on its own.
bool Compiler::SkipFunction() {
    const int line = Peek().line;
    int depth = 0;
    do {
        if (Peek().kind == TokenKind::End) return Fail(line, "function is not closed");
        if (IsPunct("(")) ++depth;
        if (IsPunct(")")) --depth;
        Next();
    } while (depth > 0);
    if (Accept(";")) return true;
    while (!IsPunct("{")) {
        if (Peek().kind == TokenKind::End || IsPunct(";") || IsPunct("}")) {
            return Fail(line, "expected a function body");
        }
        Next();
    }
    depth = 0;
    do {
        if (Peek().kind == TokenKind::End) return Fail(line, "function body is not closed");
        if (IsPunct("{")) ++depth;
        if (IsPunct("}")) --depth;
        Next();
    } while (depth > 0);
    return true;
}

}  // namespace plat::shader

#include <algorithm>
#include <cctype>

#include "platform/gfx/shader/compiler_internal.h"

namespace plat::shader {

namespace {

std::uint8_t MaskOf(const std::vector<int>& comps) {
    std::uint8_t m = 0;
    for (int c : comps) m |= static_cast<std::uint8_t>(1 << c);
    return m;
}

std::uint8_t FullMask(int size) { return static_cast<std::uint8_t>((1 << size) - 1); }

bool IsComponentWise(Op op) { return op != Op::Dp2 && op != Op::Dp3 && op != Op::Dp4 && op != Op::Tex; }

bool IsDot(Op op) { return op == Op::Dp2 || op == Op::Dp3 || op == Op::Dp4; }

}  // namespace

bool Compiler::SemanticSlot(const std::string& semantic, bool output, int line, int& slot) {
    std::string upper;
    for (char c : semantic) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::size_t digits = upper.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(upper[digits - 1]))) --digits;
    const std::string base = upper.substr(0, digits);
    const int index = digits < upper.size() && upper.size() - digits <= 2 ? std::stoi(upper.substr(digits))
                                                                          : (digits < upper.size() ? 99 : 0);
    const bool pixel = kind_ == ShaderKind::Pixel;
    const std::string where = pixel ? "a pixel shader" : "a vertex shader";
    if (base == "POSITION" && index == 0) {
        if (pixel) {
            return Fail(line, output ? "a pixel shader can only output COLOR0"
                                     : "POSITION cannot be read by a pixel shader in ps_2_0");
        }
        slot = output ? kOutPosition : kInPosition;
        return true;
    }
    if (base == "COLOR" && index == 0) {
        slot = output ? kOutColor : kInColor;
        return true;
    }
    if (base == "TEXCOORD" && index <= 1) {
        if (pixel && output) return Fail(line, "a pixel shader can only output COLOR0");
        slot = (output ? kOutTexcoord0 : kInTexcoord0) + index;
        return true;
    }
    return Fail(line, "semantic '" + semantic +
                          "' is not supported (use POSITION, COLOR0, "
                          "TEXCOORD0 or TEXCOORD1)");
}

Variable* Compiler::FindVariable(const std::string& name) {
    for (auto it = locals_.rbegin(); it != locals_.rend(); ++it) {
        if (it->name == name) return &*it;
    }
    for (Variable& g : globals_) {
        if (g.name == name) return &g;
    }
    return nullptr;
}

bool Compiler::ParseEntry(const Type& returnType, int line) {
    returnType_ = returnType;
    if (!Expect("(")) return false;
    if (!Accept(")")) {
        do {
            if (!ParseParameter()) return false;
        } while (Accept(","));
        if (!Expect(")")) return false;
    }
    // Where the return value goes.
    if (returnType.base == BaseType::Float) {
        std::string semantic;
        if (!IsPunct(":")) return Fail(line, "the return value of '" + entry_ + "' needs a semantic");
        Next();
        if (!ExpectIdentifier(semantic)) return false;
        int slot = 0;
        if (!SemanticSlot(semantic, true, line, slot)) return false;
        if (slot != kOutTexcoord0 && slot != kOutTexcoord1 && returnType.size != 4) {
            return Fail(line, semantic + " output must be a float4");
        }
        returnSlots_.push_back(slot);
    } else if (returnType.base == BaseType::Struct) {
        if (IsPunct(":")) return Fail("a returned struct takes its semantics from its members");
        const StructDef& def = structs_[returnType.structIndex];
        for (const StructMember& m : def.members) {
            if (m.semantic.empty()) {
                return Fail(m.line, "member '" + m.name + "' of '" + def.name + "' has no semantic");
            }
            int slot = 0;
            if (!SemanticSlot(m.semantic, true, m.line, slot)) return false;
            if (std::find(returnSlots_.begin(), returnSlots_.end(), slot) != returnSlots_.end()) {
                return Fail(m.line, "semantic '" + m.semantic + "' is output twice");
            }
            if (slot != kOutTexcoord0 && slot != kOutTexcoord1 && m.type.size != 4) {
                return Fail(m.line, m.semantic + " output must be a float4");
            }
            returnSlots_.push_back(slot);
        }
    } else {
        return Fail(line, "'" + entry_ + "' must return a float4 or a struct");
    }
    if (!Expect("{")) return false;
    bool returned = false;
    while (!IsPunct("}")) {
        if (Peek().kind == TokenKind::End) return Fail("'" + entry_ + "' is not closed");
        if (!ParseStatement(returned)) return false;
        nextReg_ = localsTop_;  // temporaries live for one statement
    }
    if (!returned) return Fail("'" + entry_ + "' must end with a return statement");
    Next();
    const int required = kind_ == ShaderKind::Pixel ? kOutColor : kOutPosition;
    if (!(outputsWritten_ & (1 << (required - kOutPosition)))) {
        return Fail(line, kind_ == ShaderKind::Pixel ? "a pixel shader must output COLOR0"
                                                     : "a vertex shader must output POSITION");
    }
    return true;
}

bool Compiler::ParseParameter() {
    const Token& first = Peek();
    if (first.kind == TokenKind::Identifier && first.text == "uniform") {
        return Fail("uniform parameters are not supported; declare a global");
    }
    if (first.kind == TokenKind::Identifier && first.text == "in") Next();
    const int line = Peek().line;
    Type type;
    if (!ParseType(type)) return false;
    Variable v;
    v.type = type;
    v.line = line;
    if (!ExpectIdentifier(v.name)) return false;
    for (const Variable& other : locals_) {
        if (other.name == v.name) return Fail(line, "parameter '" + v.name + "' is declared twice");
    }
    auto bind = [&](const std::string& semantic, int size, int at) {
        int slot = 0;
        if (!SemanticSlot(semantic, false, at, slot)) return false;
        v.regs.push_back(static_cast<std::uint16_t>(slot));
        v.written.push_back(FullMask(size));
        inputsRead_ |= static_cast<std::uint8_t>(1 << slot);
        return true;
    };
    if (type.base == BaseType::Float) {
        std::string semantic;
        if (!IsPunct(":")) return Fail(line, "parameter '" + v.name + "' needs a semantic");
        Next();
        if (!ExpectIdentifier(semantic) || !bind(semantic, type.size, line)) return false;
    } else if (type.base == BaseType::Struct) {
        if (IsPunct(":")) return Fail("a struct parameter takes its semantics from its members");
        const StructDef& def = structs_[type.structIndex];
        for (const StructMember& m : def.members) {
            if (m.semantic.empty()) {
                return Fail(m.line, "member '" + m.name + "' of '" + def.name + "' has no semantic");
            }
            if (!bind(m.semantic, m.type.size, m.line)) return false;
        }
    } else {
        return Fail(line, "a parameter must be a float, a vector or a struct");
    }
    locals_.push_back(std::move(v));
    return true;
}

bool Compiler::ParseStatement(bool& returned) {
    const Token& t = Peek();
    if (returned) return Fail("code after 'return' is not supported");
    if (Accept(";")) return true;
    if (t.kind != TokenKind::Identifier) {
        if (t.text == "{") return Fail("nested blocks are not supported");
        return Fail("unexpected '" + t.text + "'");
    }
    if (t.text == "return") {
        returned = true;
        return ParseReturn();
    }
    if (IsTypeName(t.text)) return ParseDeclaration();
    if (!RejectKeyword(t)) return false;
    if (FindVariable(t.text) != nullptr) return ParseAssignment();
    if (IsPunct("(", 1)) return Fail("a statement must be a declaration, an assignment or a return");
    if (LooksLikeType(t.text)) {
        Type ignored;
        return ParseType(ignored) && Fail("unexpected '" + t.text + "'");
    }
    return Fail("unknown identifier '" + t.text + "'");
}

bool Compiler::ParseDeclaration() {
    const int line = Peek().line;
    Type type;
    if (!ParseType(type)) return false;
    if (type.base == BaseType::Matrix) return Fail(line, "float4x4 variables must be uniforms");
    if (type.base == BaseType::Sampler) return Fail(line, "sampler2D variables must be uniforms");
    do {
        Variable v;
        v.type = type;
        v.line = line;
        if (!ExpectIdentifier(v.name)) return false;
        for (const Variable& other : locals_) {
            if (other.name == v.name) return Fail(line, "'" + v.name + "' is declared twice");
        }
        const int regs =
            type.base == BaseType::Struct ? static_cast<int>(structs_[type.structIndex].members.size()) : 1;
        for (int i = 0; i < regs; ++i) {
            if (localsTop_ >= kMaxRegisters) return Fail(line, "shader is too complex: out of registers");
            v.regs.push_back(localsTop_++);
            v.written.push_back(0);
        }
        nextReg_ = localsTop_;
        registerCount_ = std::max<int>(registerCount_, localsTop_);
        locals_.push_back(std::move(v));
        Variable& var = locals_.back();
        if (Accept("=")) {
            if (type.base == BaseType::Struct) return Fail(line, "struct initialisers are not supported");
            const int at = Peek().line;
            Value value;
            if (!ParseExpression(value)) return false;
            std::vector<int> comps;
            for (int c = 0; c < type.size; ++c) comps.push_back(c);
            if (!Store(var, 0, comps, value, at)) return false;
            nextReg_ = localsTop_;
        }
    } while (Accept(","));
    return Expect(";");
}

bool Compiler::ParseAssignment() {
    const int line = Peek().line;
    const std::string name = Next().text;
    Variable* var = FindVariable(name);
    if (var->uniform) return Fail(line, "cannot assign to uniform '" + name + "'");
    int member = 0;
    Type type = var->type;
    std::string shown = name;
    if (type.base == BaseType::Struct) {
        std::string field;
        if (!Accept(".")) return Fail(line, "assigning a whole struct is not supported");
        if (!ExpectIdentifier(field)) return false;
        const StructDef& def = structs_[type.structIndex];
        auto it = std::find_if(def.members.begin(), def.members.end(),
                               [&](const StructMember& m) { return m.name == field; });
        if (it == def.members.end()) return Fail(line, "'" + def.name + "' has no member '" + field + "'");
        member = static_cast<int>(it - def.members.begin());
        type = it->type;
        shown += "." + field;
    }
    std::vector<int> comps;
    if (Accept(".")) {
        std::string mask;
        if (!ExpectIdentifier(mask)) return false;
        const bool rgba = mask.find_first_of("rgba") != std::string::npos;
        const std::string_view set = rgba ? "rgba" : "xyzw";
        for (char c : mask) {
            const std::size_t at = set.find(c);
            const int comp = static_cast<int>(at);
            if (at == std::string_view::npos || comp >= type.size || mask.size() > 4 ||
                std::find(comps.begin(), comps.end(), comp) != comps.end()) {
                return Fail(line, "invalid write mask '." + mask + "' for " + TypeName(type) + " '" + shown + "'");
            }
            comps.push_back(comp);
        }
    } else {
        for (int c = 0; c < type.size; ++c) comps.push_back(c);
    }
    const Token& opToken = Peek();
    char op = 0;
    if (opToken.kind == TokenKind::Punct) {
        if (opToken.text == "+=")
            op = '+';
        else if (opToken.text == "-=")
            op = '-';
        else if (opToken.text == "*=")
            op = '*';
        else if (opToken.text == "/=")
            op = '/';
        else if (opToken.text != "=")
            op = '!';
    }
    if (op == '!' || opToken.kind != TokenKind::Punct) {
        return Fail("expected '=' after '" + shown + "'");
    }
    Next();
    Value value;
    if (!ParseExpression(value)) return false;
    if (op != 0) {
        Value current;
        current.type = {BaseType::Float, static_cast<int>(comps.size()), -1};
        current.op.index = var->regs[member];
        for (std::size_t i = 0; i < 4; ++i) {
            current.op.swizzle[i] = static_cast<std::uint8_t>(comps[std::min(i, comps.size() - 1)]);
        }
        current.var = var;
        current.member = member;
        if (!CheckWritten(current, line) || !Arithmetic(op, current, value, line, value)) return false;
    }
    return Store(*var, member, comps, value, line) && Expect(";");
}

// Writes value into the listed components of one register of var. When the
// value was just computed into a temporary, the computing instruction is
// pointed at the variable instead of adding a copy.
bool Compiler::Store(Variable& var, int member, const std::vector<int>& comps, const Value& value, int line) {
    if (!RequireFloat(value, line)) return false;
    const int k = static_cast<int>(comps.size());
    if (value.type.size != 1 && value.type.size != k) {
        return Fail(line, "cannot assign " + TypeName(value.type) + " to " +
                              (k == 1 ? std::string("float") : "float" + std::to_string(k)) + " '" + var.name + "'");
    }
    const std::uint16_t reg = var.regs[member];
    const std::uint8_t mask = MaskOf(comps);
    var.written[member] |= mask;
    const Operand& o = value.op;
    bool identity = true;
    for (int i = 0; i < value.type.size; ++i) identity = identity && o.swizzle[i] == i;
    if (!code_.empty() && value.var == nullptr && o.file == File::Temp && !o.negate && identity &&
        value.type.size == k && o.index >= localsTop_ && code_.back().dest == o.index) {
        Instruction& last = code_.back();
        if (IsComponentWise(last.op) && last.writeMask == FullMask(k)) {
            for (int s = 0; s < last.sourceCount; ++s) {
                std::uint8_t swz[4];
                std::copy(last.src[s].swizzle, last.src[s].swizzle + 4, swz);
                for (int i = 0; i < k; ++i) swz[comps[i]] = last.src[s].swizzle[i];
                std::copy(swz, swz + 4, last.src[s].swizzle);
            }
            last.writeMask = last.readMask = mask;
            last.dest = reg;
            return true;
        }
        if (IsDot(last.op) && k == 1 && last.writeMask == 1) {
            last.writeMask = mask;
            last.dest = reg;
            return true;
        }
    }
    Instruction mov;
    mov.op = Op::Mov;
    mov.writeMask = mov.readMask = mask;
    mov.sourceCount = 1;
    mov.dest = reg;
    mov.src[0] = o;
    for (int i = 0; i < k; ++i) {
        mov.src[0].swizzle[comps[i]] = o.swizzle[value.type.size == 1 ? 0 : i];
    }
    code_.push_back(mov);
    return true;
}

bool Compiler::StoreOutput(int slot, const Value& value, int line) {
    if (!RequireFloat(value, line)) return false;
    const int size = value.type.size;
    Instruction mov;
    mov.op = Op::Mov;
    mov.writeMask = mov.readMask = FullMask(size);
    mov.sourceCount = 1;
    mov.dest = static_cast<std::uint16_t>(slot);
    mov.src[0] = value.op;
    code_.push_back(mov);
    if (size < 4) {
        // Texture coordinates written short are completed as (u, v, 0, 1).
        Instruction pad;
        pad.op = Op::Mov;
        pad.writeMask = pad.readMask = static_cast<std::uint8_t>(0xF & ~FullMask(size));
        pad.sourceCount = 1;
        pad.dest = static_cast<std::uint16_t>(slot);
        pad.src[0].file = File::Literal;
        pad.src[0].index = LiteralVector(0, 0, 0, 1);
        code_.push_back(pad);
    }
    outputsWritten_ |= static_cast<std::uint8_t>(1 << (slot - kOutPosition));
    return true;
}

bool Compiler::ParseReturn() {
    const int line = Next().line;
    Value value;
    if (!ParseExpression(value)) return false;
    if (returnType_.base == BaseType::Float) {
        if (!RequireFloat(value, line)) return false;
        if (value.type.size != 1 && value.type.size != returnType_.size) {
            return Fail(line,
                        "'" + entry_ + "' must return " + TypeName(returnType_) + ", not " + TypeName(value.type));
        }
        Value spread = value;
        spread.op = Spread(value, returnType_.size);
        spread.type.size = returnType_.size;
        if (!StoreOutput(returnSlots_[0], spread, line)) return false;
    } else {
        if (value.type.base != BaseType::Struct || value.type.structIndex != returnType_.structIndex) {
            return Fail(line, "'" + entry_ + "' must return a " + TypeName(returnType_));
        }
        const StructDef& def = structs_[returnType_.structIndex];
        for (std::size_t i = 0; i < def.members.size(); ++i) {
            const int size = def.members[i].type.size;
            if ((value.var->written[i] & FullMask(size)) != FullMask(size)) {
                return Fail(line,
                            "output '" + def.members[i].name + "' of '" + def.name + "' is not completely written");
            }
            Value m;
            m.type = def.members[i].type;
            m.op.index = value.var->regs[i];
            if (!StoreOutput(returnSlots_[i], m, line)) return false;
        }
    }
    return Expect(";");
}

}  // namespace plat::shader

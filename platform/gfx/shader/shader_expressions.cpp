#include <algorithm>

#include "platform/gfx/shader/compiler_internal.h"

namespace plat::shader {

namespace {

std::uint8_t FullMask(int size) { return static_cast<std::uint8_t>((1 << size) - 1); }

constexpr std::string_view kUnsupportedOperators[] = {"<",  ">", "<=", ">=", "==", "!=", "?", "&&",
                                                      "||", "&", "|",  "^",  "%",  "<<", ">>"};

// Intrinsics of the full language that this subset leaves out; named so the
// error says "not supported" rather than "unknown".
constexpr std::string_view kOtherIntrinsics[] = {
    "clamp",   "normalize", "length",      "distance",  "cross",     "reflect",    "refract", "sin",   "cos",
    "tan",     "asin",      "acos",        "atan",      "atan2",     "exp",        "exp2",    "log",   "log2",
    "rsqrt",   "ceil",      "round",       "fmod",      "sign",      "smoothstep", "any",     "all",   "clip",
    "ddx",     "ddy",       "tex2Dlod",    "tex2Dproj", "tex2Dbias", "tex2Dgrad",  "texCUBE", "tex1D", "tex3D",
    "radians", "degrees",   "determinant", "transpose", "fwidth",    "mad"};

}  // namespace

bool Compiler::NewTemp(int line, std::uint16_t& reg) {
    if (nextReg_ >= kMaxRegisters) return Fail(line, "shader is too complex: out of registers");
    reg = nextReg_++;
    registerCount_ = std::max<int>(registerCount_, nextReg_);
    return true;
}

Value Compiler::Literal(float x) {
    Value v;
    v.type = {BaseType::Float, 1, -1};
    v.op.file = File::Literal;
    v.op.index = LiteralVector(x, x, x, x);
    std::fill(v.op.swizzle, v.op.swizzle + 4, 0);
    return v;
}

std::uint16_t Compiler::LiteralVector(float x, float y, float z, float w) {
    const std::array<float, 4> wanted{x, y, z, w};
    for (std::size_t i = 0; i < literals_.size(); ++i) {
        if (literals_[i] == wanted) return static_cast<std::uint16_t>(i);
    }
    literals_.push_back(wanted);
    return static_cast<std::uint16_t>(literals_.size() - 1);
}

Operand Compiler::Spread(const Value& v, int size) const {
    Operand o = v.op;
    if (v.type.size == 1 && size > 1) std::fill(o.swizzle, o.swizzle + 4, o.swizzle[0]);
    return o;
}

bool Compiler::RequireFloat(const Value& v, int line) {
    switch (v.type.base) {
        case BaseType::Float: return true;
        case BaseType::Matrix: return Fail(line, "a float4x4 can only be used through mul()");
        case BaseType::Sampler: return Fail(line, "a sampler2D can only be used through tex2D()");
        case BaseType::Struct: return Fail(line, "a struct can only be returned or have its members used");
        case BaseType::Void: break;
    }
    return Fail(line, "expression has no value");
}

bool Compiler::Unify(const Value& a, const Value& b, int line, int& size) {
    if (!RequireFloat(a, line) || !RequireFloat(b, line)) return false;
    const int x = a.type.size;
    const int y = b.type.size;
    if (x != y && x != 1 && y != 1) {
        return Fail(line, "cannot combine " + TypeName(a.type) + " with " + TypeName(b.type) + " (sizes differ)");
    }
    size = std::max(x, y);
    return true;
}

bool Compiler::Emit(Op op, int size, std::initializer_list<Value> sources, int line, Value& out) {
    Instruction ins;
    ins.op = op;
    ins.writeMask = ins.readMask = FullMask(size);
    ins.sourceCount = static_cast<std::uint8_t>(sources.size());
    int i = 0;
    for (const Value& s : sources) ins.src[i++] = Spread(s, size);
    if (!NewTemp(line, ins.dest)) return false;
    code_.push_back(ins);
    out = Value{};
    out.type = {BaseType::Float, size, -1};
    out.op.index = ins.dest;
    return true;
}

bool Compiler::Arithmetic(char op, const Value& a, const Value& b, int line, Value& out) {
    int size = 0;
    if (!Unify(a, b, line, size)) return false;
    if (op == '+' || op == '-') {
        if (FuseMultiplyAdd(a, b, op == '-', size, out)) return true;
        if (FuseMultiplyAdd(b, a, false, size, out)) {
            // a - x*y: here it is the product that changes sign.
            if (op == '-') code_.back().src[0].negate = !code_.back().src[0].negate;
            return true;
        }
    }
    switch (op) {
        case '+': return Emit(Op::Add, size, {a, b}, line, out);
        case '-': {
            Value negated = b;
            negated.op.negate = !negated.op.negate;
            return Emit(Op::Add, size, {a, negated}, line, out);
        }
        case '*': return Emit(Op::Mul, size, {a, b}, line, out);
        default: return Emit(Op::Div, size, {a, b}, line, out);
    }
}

// When product is the value the last instruction just computed by a
// multiplication, turns that instruction into product + addend (negated
// when asked) and returns true.
bool Compiler::FuseMultiplyAdd(const Value& product, const Value& addend, bool negateAddend, int size, Value& out) {
    if (code_.empty() || product.var != nullptr || product.op.file != File::Temp || product.op.negate ||
        product.type.size != size || product.op.index < localsTop_) {
        return false;
    }
    Instruction& last = code_.back();
    if (last.op != Op::Mul || last.dest != product.op.index || last.writeMask != FullMask(size)) {
        return false;
    }
    for (int i = 0; i < size; ++i) {
        if (product.op.swizzle[i] != i) return false;
    }
    last.op = Op::Mad;
    last.src[2] = Spread(addend, size);
    if (negateAddend) last.src[2].negate = !last.src[2].negate;
    last.sourceCount = 3;
    out = product;
    return true;
}

bool Compiler::ParseExpression(Value& out) {
    if (!ParseAdditive(out)) return false;
    const Token& t = Peek();
    if (t.kind == TokenKind::Punct) {
        for (std::string_view op : kUnsupportedOperators) {
            if (t.text == op) {
                return Fail("operator '" + t.text + "' is not supported; use step() and lerp()");
            }
        }
    }
    return true;
}

bool Compiler::ParseAdditive(Value& out) {
    if (!ParseMultiplicative(out)) return false;
    while (IsPunct("+") || IsPunct("-")) {
        const Token& t = Next();
        Value rhs;
        if (!ParseMultiplicative(rhs) || !Arithmetic(t.text[0], out, rhs, t.line, out)) return false;
    }
    return true;
}

bool Compiler::ParseMultiplicative(Value& out) {
    if (!ParseUnary(out)) return false;
    while (IsPunct("*") || IsPunct("/")) {
        const Token& t = Next();
        Value rhs;
        if (!ParseUnary(rhs) || !Arithmetic(t.text[0], out, rhs, t.line, out)) return false;
    }
    if (IsPunct("%")) return Fail("operator '%' is not supported");
    return true;
}

bool Compiler::ParseUnary(Value& out) {
    const Token& t = Peek();
    // Every nesting of brackets, calls and signs passes here; a bound keeps
    // hostile input from exhausting the stack.
    struct Depth {
        int& n;
        explicit Depth(int& counter) : n(++counter) {}
        ~Depth() { --n; }
    } depth(depth_);
    if (depth_ > kMaxNesting) return Fail("expression is nested too deeply");
    if (IsPunct("-")) {
        Next();
        if (!ParseUnary(out) || !RequireFloat(out, t.line)) return false;
        out.op.negate = !out.op.negate;
        return true;
    }
    if (IsPunct("+")) {
        Next();
        return ParseUnary(out) && RequireFloat(out, t.line);
    }
    if (IsPunct("!") || IsPunct("~") || IsPunct("++") || IsPunct("--")) {
        return Fail("operator '" + t.text + "' is not supported");
    }
    if (IsPunct("(") && Peek(1).kind == TokenKind::Identifier && IsTypeName(Peek(1).text) && IsPunct(")", 2)) {
        return Fail("casts are not supported; use a constructor such as float4(...)");
    }
    return ParsePostfix(out);
}

bool Compiler::ParsePostfix(Value& out) {
    const int line = Peek().line;
    if (!ParsePrimary(out)) return false;
    for (;;) {
        if (Accept(".")) {
            std::string selector;
            if (!ExpectIdentifier(selector) || !ApplySelector(out, selector, line)) return false;
        } else if (IsPunct("[")) {
            return Fail("indexing is not supported");
        } else {
            break;
        }
    }
    return CheckWritten(out, line);
}

bool Compiler::CheckWritten(const Value& v, int line) {
    if (v.type.base != BaseType::Float || v.var == nullptr || v.var->uniform) return true;
    std::uint8_t need = 0;
    for (int i = 0; i < v.type.size; ++i) need |= static_cast<std::uint8_t>(1 << v.op.swizzle[i]);
    if ((v.var->written[v.member] & need) != need) {
        return Fail(line, "'" + v.var->name + "' is used before it is completely written");
    }
    return true;
}

bool Compiler::ApplySelector(Value& v, const std::string& sel, int line) {
    if (v.type.base == BaseType::Struct) {
        const StructDef& def = structs_[v.type.structIndex];
        for (std::size_t i = 0; i < def.members.size(); ++i) {
            if (def.members[i].name != sel) continue;
            Value m;
            m.type = def.members[i].type;
            m.op.index = v.var->regs[i];
            m.var = v.var;
            m.member = static_cast<int>(i);
            v = m;
            return true;
        }
        return Fail(line, "'" + def.name + "' has no member '" + sel + "'");
    }
    if (v.type.base != BaseType::Float) {
        return Fail(line, "'." + sel + "' cannot be applied to a " + TypeName(v.type));
    }
    const bool rgba = sel.find_first_of("rgba") != std::string::npos;
    const std::string_view set = rgba ? "rgba" : "xyzw";
    if (sel.size() > 4) return Fail(line, "invalid swizzle '." + sel + "'");
    std::uint8_t swz[4];
    for (std::size_t i = 0; i < sel.size(); ++i) {
        const std::size_t at = set.find(sel[i]);
        if (at == std::string_view::npos) return Fail(line, "invalid swizzle '." + sel + "'");
        if (static_cast<int>(at) >= v.type.size) {
            return Fail(line, "swizzle '." + sel + "' is out of range for " + TypeName(v.type));
        }
        swz[i] = v.op.swizzle[at];
    }
    for (std::size_t i = sel.size(); i < 4; ++i) swz[i] = swz[sel.size() - 1];
    std::copy(swz, swz + 4, v.op.swizzle);
    v.type.size = static_cast<int>(sel.size());
    return true;
}

bool Compiler::UseUniform(Variable& var, int line) {
    if (var.used) return true;
    const bool sampler = var.type.base == BaseType::Sampler;
    if (sampler && kind_ == ShaderKind::Vertex) return Fail(line, "samplers are not available in vs_2_0");
    var.used = true;
    if (var.explicitRegister >= 0) {
        var.registerIndex = var.explicitRegister;
        return true;
    }
    const int count = var.type.base == BaseType::Matrix ? 4 : 1;
    const int limit = sampler ? 16 : (kind_ == ShaderKind::Pixel ? 32 : ConstantRegisters::kCount);
    for (int first = 0; first + count <= limit; ++first) {
        bool free = true;
        for (int r = first; r < first + count; ++r) {
            free = free && !(sampler ? samplerTaken_[r] : floatRegisterTaken_[r]);
        }
        if (!free) continue;
        for (int r = first; r < first + count; ++r) (sampler ? samplerTaken_[r] : floatRegisterTaken_[r]) = true;
        var.registerIndex = first;
        return true;
    }
    return Fail(line,
                std::string("too many ") + (sampler ? "samplers" : "uniform constants") + " for " + ProfileName());
}

bool Compiler::ReadVariable(Variable& var, int line, Value& out) {
    out = Value{};
    out.type = var.type;
    out.var = &var;
    if (var.uniform) {
        if (!UseUniform(var, line)) return false;
        out.op.file = var.type.base == BaseType::Sampler ? File::Literal : File::Constant;
        out.op.index = static_cast<std::uint16_t>(var.registerIndex);
        if (var.type.size == 1) std::fill(out.op.swizzle, out.op.swizzle + 4, 0);
        return true;
    }
    if (var.type.base == BaseType::Float) out.op.index = var.regs[0];
    return true;
}

bool Compiler::ParsePrimary(Value& out) {
    const Token& t = Peek();
    if (t.kind == TokenKind::Number) {
        if (literals_.size() >= 4096) return Fail("shader is too complex: too many literal values");
        Next();
        out = Literal(t.number);
        return true;
    }
    if (Accept("(")) return ParseExpression(out) && Expect(")");
    if (t.kind == TokenKind::End) return Fail("expected an expression before end of file");
    if (t.kind != TokenKind::Identifier) return Fail("expected an expression before '" + t.text + "'");
    Next();
    if (IsTypeName(t.text) && IsPunct("(")) {
        --pos_;
        Type type;
        return ParseType(type) && ParseConstructor(type, t.line, out);
    }
    if (IsPunct("(")) return ParseCall(t.text, t.line, out);
    if (Variable* var = FindVariable(t.text)) return ReadVariable(*var, t.line, out);
    if (!RejectKeyword(t)) return false;
    return Fail(t.line, "unknown identifier '" + t.text + "'");
}

bool Compiler::ParseArguments(std::vector<Value>& args, std::vector<int>& lines) {
    if (!Expect("(")) return false;
    if (Accept(")")) return true;
    do {
        lines.push_back(Peek().line);
        Value v;
        if (!ParseExpression(v)) return false;
        args.push_back(v);
    } while (Accept(","));
    return Expect(")");
}

bool Compiler::ParseConstructor(const Type& type, int line, Value& out) {
    if (type.base != BaseType::Float) {
        return Fail(line, TypeName(type) + " constructors are not supported");
    }
    std::vector<Value> args;
    std::vector<int> lines;
    if (!ParseArguments(args, lines)) return false;
    int total = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!RequireFloat(args[i], lines[i])) return false;
        total += args[i].type.size;
    }
    const int n = type.size;
    if (args.size() == 1 && args[0].type.size == 1) return Emit(Op::Mov, n, {args[0]}, line, out);
    if (total != n) {
        return Fail(line, TypeName(type) + " constructor needs " + std::to_string(n) + " components, got " +
                              std::to_string(total));
    }
    if (args.size() == 1) {
        out = args[0];
        return true;
    }
    std::uint16_t reg = 0;
    if (!NewTemp(line, reg)) return false;
    int k = 0;
    for (const Value& a : args) {
        Instruction mov;
        mov.op = Op::Mov;
        mov.sourceCount = 1;
        mov.dest = reg;
        mov.src[0] = a.op;
        for (int i = 0; i < a.type.size; ++i) {
            mov.writeMask |= static_cast<std::uint8_t>(1 << (k + i));
            mov.src[0].swizzle[k + i] = a.op.swizzle[i];
        }
        mov.readMask = mov.writeMask;
        k += a.type.size;
        code_.push_back(mov);
    }
    out = Value{};
    out.type = type;
    out.op.index = reg;
    return true;
}

bool Compiler::EmitMul(const Value& a, const Value& b, int line, Value& out) {
    const bool am = a.type.base == BaseType::Matrix;
    const bool bm = b.type.base == BaseType::Matrix;
    if (am && bm) return Fail(line, "mul of two matrices is not supported");
    if (!am && !bm) {
        if (!RequireFloat(a, line) || !RequireFloat(b, line)) return false;
        if (a.type.size != 1 && b.type.size != 1) {
            return Fail(line, "mul of two vectors is not supported; use dot() or *");
        }
        return Arithmetic('*', a, b, line, out);
    }
    const Value& m = am ? a : b;
    const Value& v = am ? b : a;
    if (!RequireFloat(v, line)) return false;
    if (v.type.size != 4) {
        return Fail(line, "mul needs a float4 with a float4x4, not " + TypeName(v.type));
    }
    std::uint16_t reg = 0;
    if (!NewTemp(line, reg)) return false;
    // The matrix is held one column per register.
    for (int j = 0; j < 4; ++j) {
        Operand column = m.op;
        column.index = static_cast<std::uint16_t>(m.op.index + j);
        Instruction ins;
        ins.dest = reg;
        ins.readMask = 0xF;
        if (am) {
            // mul(M, v) = sum over j of column j * v[j]
            Operand vj = v.op;
            std::fill(vj.swizzle, vj.swizzle + 4, v.op.swizzle[j]);
            ins.op = j == 0 ? Op::Mul : Op::Mad;
            ins.writeMask = 0xF;
            ins.src[0] = column;
            ins.src[1] = vj;
            ins.sourceCount = 2;
            if (j > 0) {
                ins.src[2].index = reg;
                ins.sourceCount = 3;
            }
        } else {
            // mul(v, M)[j] = dot(v, column j)
            ins.op = Op::Dp4;
            ins.writeMask = static_cast<std::uint8_t>(1 << j);
            ins.src[0] = v.op;
            ins.src[1] = column;
            ins.sourceCount = 2;
        }
        code_.push_back(ins);
    }
    out = Value{};
    out.type = {BaseType::Float, 4, -1};
    out.op.index = reg;
    return true;
}

bool Compiler::ParseCall(const std::string& name, int line, Value& out) {
    struct Builtin {
        std::string_view name;
        int arity;
        Op op;
    };
    static constexpr Builtin kBuiltins[] = {
        {"saturate", 1, Op::Sat}, {"abs", 1, Op::Abs},  {"sqrt", 1, Op::Sqrt}, {"floor", 1, Op::Floor},
        {"frac", 1, Op::Frac},    {"min", 2, Op::Min},  {"max", 2, Op::Max},   {"pow", 2, Op::Pow},
        {"step", 2, Op::Step},    {"lerp", 3, Op::Lrp}, {"dot", 2, Op::Dp4},   {"mul", 2, Op::Mul},
        {"tex2D", 2, Op::Tex},
    };
    const Builtin* builtin = nullptr;
    for (const Builtin& b : kBuiltins) {
        if (b.name == name) builtin = &b;
    }
    if (builtin == nullptr) {
        if (std::find(otherFunctions_.begin(), otherFunctions_.end(), name) != otherFunctions_.end()) {
            return Fail(line, "calling '" + name + "' is not supported: only built-in functions can be called");
        }
        for (std::string_view other : kOtherIntrinsics) {
            if (other == name) return Fail(line, "function '" + name + "' is not supported");
        }
        return Fail(line, "unknown function '" + name + "'");
    }
    if (name == "tex2D" && kind_ == ShaderKind::Vertex) {
        return Fail(line, "tex2D is not available in vs_2_0");
    }
    std::vector<Value> args;
    std::vector<int> lines;
    if (!ParseArguments(args, lines)) return false;
    if (static_cast<int>(args.size()) != builtin->arity) {
        return Fail(line, "'" + name + "' takes " + std::to_string(builtin->arity) + " argument" +
                              (builtin->arity == 1 ? "" : "s") + ", got " + std::to_string(args.size()));
    }
    if (name == "mul") return EmitMul(args[0], args[1], line, out);
    if (name == "tex2D") {
        if (args[0].type.base != BaseType::Sampler) {
            return Fail(line, "tex2D needs a sampler2D as its first argument");
        }
        if (!RequireFloat(args[1], line)) return false;
        if (args[1].type.size != 2) {
            return Fail(line, "tex2D needs float2 texture coordinates, not " + TypeName(args[1].type));
        }
        Instruction ins;
        ins.op = Op::Tex;
        ins.writeMask = 0xF;
        ins.readMask = 0x3;
        ins.sourceCount = 1;
        ins.sampler = static_cast<std::uint8_t>(args[0].op.index);
        ins.src[0] = args[1].op;
        if (!NewTemp(line, ins.dest)) return false;
        code_.push_back(ins);
        out = Value{};
        out.type = {BaseType::Float, 4, -1};
        out.op.index = ins.dest;
        return true;
    }
    if (name == "dot") {
        if (!RequireFloat(args[0], line) || !RequireFloat(args[1], line)) return false;
        const int n = args[0].type.size;
        if (n != args[1].type.size) {
            return Fail(line, "dot needs two vectors of the same size, not " + TypeName(args[0].type) + " and " +
                                  TypeName(args[1].type));
        }
        if (n == 1) return Emit(Op::Mul, 1, {args[0], args[1]}, line, out);
        if (!Emit(n == 2 ? Op::Dp2 : n == 3 ? Op::Dp3 : Op::Dp4, 1, {args[0], args[1]}, line, out)) {
            return false;
        }
        code_.back().readMask = FullMask(n);
        return true;
    }
    int size = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!RequireFloat(args[i], lines[i])) return false;
        size = std::max(size, args[i].type.size);
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const int s = args[i].type.size;
        if (s != 1 && s != size) {
            return Fail(line, "arguments of '" + name + "' differ in size (" + TypeName(args[i].type) + " where " +
                                  TypeName({BaseType::Float, size, -1}) + " is expected)");
        }
    }
    if (builtin->arity == 1) return Emit(builtin->op, size, {args[0]}, line, out);
    if (builtin->arity == 2) return Emit(builtin->op, size, {args[0], args[1]}, line, out);
    return Emit(builtin->op, size, {args[0], args[1], args[2]}, line, out);
}

}  // namespace plat::shader

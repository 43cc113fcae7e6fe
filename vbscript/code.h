#pragma once
// The compiled form: one Function per procedure (and per run of script-level statements), with
// names resolved to slots at compile time. Locals and arguments are frame slots, class fields
// are field slots, and every other name is an index into the unit's table of global names,
// which linking binds to the engine's global cells. Compiled units are immutable apart from the
// per-call-site member caches, so one unit can be linked into many engines and runs.

#include "vbscript/ast.h"
#include "vbscript/operators.h"
#include "vbscript/text.h"
#include "vbscript/value.h"

#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vbs {

enum class OpCode : uint8_t {
    Nop,
    Data, // operand of the instruction before it (a jump target in b)
    PushConst,
    PushInt,
    PushEmpty,
    PushNull,
    PushNothing,
    PushTrue,
    PushFalse,
    PushMissing,
    PushMe,
    Pop,
    Raise, // b: error number (assignments the compiler knows to be illegal)

    // Locals: a = slot, n = VarFlags.
    LoadLocal,
    StoreLocal,
    SetLocal,
    AddrLocal,
    ClearLocal,
    // Fields of Me: a = field.
    LoadField,
    StoreField,
    SetField,
    AddrField,
    // Globals: b = global index, a = implicit local slot + 1 (0: none).
    LoadGlobal,
    StoreGlobal,
    SetGlobal,
    AddrGlobal,
    ArgGlobal,     // a variable by reference, anything else by value
    CallGlobal,    // n = CallFlags
    ArgCallGlobal, // name(args) as an argument: an array element by reference
    NewObject,     // b = global index of the class

    // On [target, args...]: n = argc.
    IndexLoad,
    IndexStore, // [ref, args..., value]
    IndexSet,
    IndexAddr,
    CallValue,
    // Members: b = call site, n = CallFlags. [object, args..., (value)]
    MemberGet,
    MemberPut,
    MemberSet,

    // Operators.
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Pow,
    Concat,
    AppendTo,     // [ref, value read from it, text]: ref = value & text, in place when possible
    AppendGlobal, // [value read from it, text]: the same for global b (a: implicit slot + 1)
    Neg,
    Not,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Eq, // n = OpFlags (as for Add .. Mod)
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Is,

    Jump,        // b = target
    JumpIfFalse, // pops the condition
    JumpIfTrue,
    ForInit,      // a = hidden slots (limit, step); [start, limit, step] -> [start]
    ForStepLocal, // a = variable slot, b = hidden; Data: body
    ForTestLocal,
    ForStepRef, // [ref] a = hidden; Data: body
    ForTestRef,
    ForEachInit, // [collection] a = hidden slot
    ForEachNext, // a = hidden slot; Data: exit; pushes the element
    DimArray,    // [ref, upper bounds...] n = dimensions (0: dynamic, not yet sized)
    ReDim,       // [ref, upper bounds...] n = dimensions, a = 1 with Preserve
    Erase,       // [ref]
    OnError,     // n = OnErrorFlags
    Return,
    // Element a(i) of local a at local subscript b; n = ElementFlags.
    LoadElement,
    // local.name without arguments, the object in local a (n = VarFlags::kByRef), b = call site.
    MemberGetLocal,
    // local.name = [value]: the object in local a, which holds no reference; b = call site.
    MemberPutLocal,
    // Arithmetic in the usual fused shapes, told apart by opcode rather than by flags: the last
    // step of compiling with fusing. n keeps the flags of the plain form (plainForm gives it back).
    // LK: local a op constant b, pushed; SK: the top op constant b, in place; LKL: local a op
    // constant b into local a; LSL: local a op the popped top into local a; LS: local a op the
    // top, in its place; SKL: the popped top op constant b into local a; SSL: the two popped into
    // local a; LRK: what local a refers to op constant b, pushed; SS: the two popped, pushed.
    AddLK,
    SubLK,
    MulLK,
    DivLK,
    IntDivLK,
    ModLK,
    AddSK,
    SubSK,
    MulSK,
    DivSK,
    IntDivSK,
    ModSK,
    AddLKL,
    SubLKL,
    MulLKL,
    DivLKL,
    IntDivLKL,
    ModLKL,
    AddLSL,
    SubLSL,
    MulLSL,
    DivLSL,
    IntDivLSL,
    ModLSL,
    AddLS,
    SubLS,
    MulLS,
    DivLS,
    IntDivLS,
    ModLS,
    AddSKL,
    SubSKL,
    MulSKL,
    DivSKL,
    IntDivSKL,
    ModSKL,
    AddSSL,
    SubSSL,
    MulSSL,
    DivSSL,
    IntDivSSL,
    ModSSL,
    AddLRK,
    SubLRK,
    MulLRK,
    DivLRK,
    IntDivLRK,
    ModLRK,
    AddSS,
    SubSS,
    MulSS,
    DivSS,
    IntDivSS,
    ModSS,
};

// Instruction flags (Instr::n), one vocabulary per family of instructions. An instruction reads
// only its own family's flags, and the flags of a family are distinct bits, so one can never be
// mistaken for another; the static_asserts below keep it so.

// Variables: LoadLocal, StoreLocal, SetLocal, AddrLocal; kRaw also StoreField and StoreGlobal;
// kDeclare AddrGlobal.
struct VarFlags {
    static constexpr uint8_t kByRef = 0x01;     // local a holds a reference
    static constexpr uint8_t kRaw = 0x02;       // store without default-member conversion
    static constexpr uint8_t kDeclare = 0x04;   // ReDim: an undeclared name becomes a variable
    static constexpr uint8_t kFromLocal = 0x10; // StoreLocal: the value is local b (x = y)
    static constexpr uint8_t kFromRef = 0x20;   // and local b holds a reference
};

// Calls: CallGlobal, ArgCallGlobal (argument count only), MemberGet, MemberPut, MemberSet.
struct CallFlags {
    static constexpr uint8_t kArgMask = 0x7F;   // the argument count
    static constexpr uint8_t kStatement = 0x80; // a call statement: the result is dropped
};

// Binary operators: arithmetic (Add, Sub, Mul, Div, IntDiv, Mod) and comparisons (Eq .. Ge).
// Those whose right operand is a local or a constant carry it themselves (one dispatch and one
// stack slot fewer): a = the local, b = the constant.
struct OpFlags {
    // Comparisons: an operand written as a literal (it changes how strings and numbers compare).
    static constexpr uint8_t kLeftLiteral = vbs::kLeftLiteral;
    static constexpr uint8_t kRightLiteral = vbs::kRightLiteral;
    // Arithmetic whose result goes straight into local a (x = x + 1): only when a is free or is
    // the left operand.
    static constexpr uint8_t kResultToLocal = 0x04;
    static constexpr uint8_t kOperandConst = 0x08; // the right operand is constant b
    static constexpr uint8_t kOperandLocal = 0x10; // the right operand is local a
    static constexpr uint8_t kOperandRef = 0x20;   // local a (on either side) holds a reference
    // The left operand is local a. The sign bit, since every arithmetic instruction tests it.
    static constexpr uint8_t kLeftLocal = 0x80;
    // Comparisons followed by JumpIfFalse or JumpIfTrue: test and branch at once, without
    // pushing the Boolean.
    static constexpr uint8_t kBranch = 0x40;
    static constexpr uint8_t kOperandFused = kOperandConst | kOperandLocal;
};

// LoadElement: local a subscripted by local b.
struct ElementFlags {
    static constexpr uint8_t kArrayRef = 0x01; // local a holds a reference
    static constexpr uint8_t kIndexRef = 0x02; // local b holds a reference
};

// OnError.
struct OnErrorFlags {
    static constexpr uint8_t kResumeNext = 0x01; // On Error Resume Next; without: GoTo 0
};

namespace detail {
constexpr bool distinctBits(std::initializer_list<uint8_t> flags) {
    uint8_t seen = 0;
    for (uint8_t f : flags) {
        if (f == 0 || (seen & f)) return false;
        seen = uint8_t(seen | f);
    }
    return true;
}
} // namespace detail

static_assert(detail::distinctBits({VarFlags::kByRef, VarFlags::kRaw, VarFlags::kDeclare,
                                    VarFlags::kFromLocal, VarFlags::kFromRef}));
static_assert(detail::distinctBits({CallFlags::kArgMask, CallFlags::kStatement}));
static_assert(detail::distinctBits({OpFlags::kLeftLiteral, OpFlags::kRightLiteral,
                                    OpFlags::kResultToLocal, OpFlags::kOperandConst,
                                    OpFlags::kOperandLocal, OpFlags::kOperandRef,
                                    OpFlags::kLeftLocal, OpFlags::kBranch}));
static_assert(detail::distinctBits({ElementFlags::kArrayRef, ElementFlags::kIndexRef}));

struct Instr {
    OpCode op;
    uint8_t n = 0;
    uint16_t a = 0;
    uint32_t b = 0;
};
static_assert(sizeof(Instr) == 8);

// The shaped arithmetic instructions (AddLK ..), six operators to a shape, in the order of Add ..
// Mod, and the flags of each shape.
inline constexpr int kShapedOperators = 6;
inline constexpr uint8_t kShapeFlags[] = {
    OpFlags::kLeftLocal | OpFlags::kOperandConst,
    OpFlags::kOperandConst,
    OpFlags::kLeftLocal | OpFlags::kOperandConst | OpFlags::kResultToLocal,
    OpFlags::kLeftLocal | OpFlags::kResultToLocal,
    OpFlags::kLeftLocal,
    OpFlags::kOperandConst | OpFlags::kResultToLocal,
    OpFlags::kResultToLocal,
    OpFlags::kLeftLocal | OpFlags::kOperandConst | OpFlags::kOperandRef,
    0,
};
inline constexpr int kShapes = int(std::size(kShapeFlags));
static_assert(int(OpCode::Mod) - int(OpCode::Add) + 1 == kShapedOperators);
static_assert(int(OpCode::ModSS) - int(OpCode::AddLK) + 1 == kShapedOperators * kShapes);

// A shaped arithmetic instruction as the flagged one it stands for; any other as it is.
inline Instr plainForm(Instr in) {
    if (in.op >= OpCode::AddLK && in.op <= OpCode::ModSS)
        in.op = OpCode(int(OpCode::Add) + (int(in.op) - int(OpCode::AddLK)) % kShapedOperators);
    return in;
}

// The shaped instruction for an arithmetic one whose flags (literal marks aside) are a shape's;
// else the instruction as it is.
inline Instr shapedForm(Instr in) {
    if (in.op < OpCode::Add || in.op > OpCode::Mod) return in;
    const uint8_t flags = uint8_t(in.n & ~(OpFlags::kLeftLiteral | OpFlags::kRightLiteral));
    for (int shape = 0; shape < kShapes; ++shape)
        if (flags == kShapeFlags[shape]) {
            in.op = OpCode(int(OpCode::AddLK) + shape * kShapedOperators +
                           (int(in.op) - int(OpCode::Add)));
            break;
        }
    return in;
}

// The code of one statement (or the head of a compound one): where errors are reported and
// where On Error Resume Next continues.
struct StmtInfo {
    uint32_t begin;
    uint32_t end;
    uint32_t line; // relative to the unit's first line
    uint32_t column;
};

// A member call's name and the member id it found on the last object, remembered with what
// identifies the object's kind: a script class by its serial number (its address could be taken
// by a class made after it was freed), a host object by its member table.
struct CallSite {
    std::string name;
    mutable uint64_t classSerial = 0;
    mutable const void* table = nullptr;
    mutable int id = 0;
    // With a script class: the field slot when the member is a public field, read and written
    // without a call; else -1.
    mutable int field = -1;
};

struct ClassInfo;
struct CompiledUnit;

enum class LocalKind : uint8_t { Param, Local, Implicit, Hidden, Outer, Return };

struct LocalInfo {
    std::string name;
    uint16_t slot;
    LocalKind kind;
    bool byRef; // the slot holds a reference
};

struct Function {
    std::string name;
    ast::ProcKind kind = ast::ProcKind::Sub;
    bool isMain = false; // script-level statements or code given to Execute
    bool isPublic = true;
    bool isDefault = false;
    uint16_t params = 0;
    std::vector<uint8_t> byRef; // per parameter
    uint16_t slots = 1;         // slot 0: the result
    uint16_t maxStack = 0;
    std::vector<Instr> code;
    std::vector<Value> consts;
    std::vector<CallSite> sites;
    std::vector<StmtInfo> stmts;
    std::vector<LocalInfo> locals;
    uint32_t line = 0; // relative
    uint32_t column = 0;
    const ClassInfo* cls = nullptr;

    const StmtInfo* statementAt(uint32_t pc) const;
    const LocalInfo* local(std::string_view name) const;
};

// Serial numbers of classes, never reused while the process lives.
uint64_t newClassSerial();

struct ClassInfo {
    struct Field {
        std::string name;
        bool isPublic = true;
        bool isArray = false;
        std::vector<int32_t> bounds; // upper bounds; empty with isArray: dynamic
    };
    enum class MemberKind : uint8_t { Field, Method, Property };
    struct Member {
        std::string name;
        MemberKind kind;
        bool isPublic = true;
        int field = -1;
        const Function* method = nullptr;
        const Function* get = nullptr;
        const Function* let = nullptr;
        const Function* set = nullptr;
    };
    std::string name;
    const uint64_t serial = newClassSerial(); // never 0
    std::vector<Field> fields;
    std::vector<Member> members;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> byName;
    int defaultMember = -1;
    const Function* initialize = nullptr;
    const Function* terminate = nullptr;

    int find(std::string_view name) const {
        auto it = byName.find(std::string(name));
        return it == byName.end() ? -1 : it->second;
    }
};

struct CompiledUnit {
    enum class Kind : uint8_t { Code, Procedure, Class };
    Kind kind = Kind::Code;
    std::vector<std::string> globals; // names the code refers to, by global index
    std::vector<std::unique_ptr<Function>> functions;
    std::unique_ptr<ClassInfo> cls;
    const Function* main = nullptr; // Code: the statements
    const Function* proc = nullptr; // Procedure
    uint32_t nameIndex = 0;         // Procedure, Class: global index of the declared name
    uint32_t nameLine = 0;          // and where it is declared (line relative to the unit)
    uint32_t nameColumn = 0;

    // Script-level declarations made when the unit is linked.
    struct Decl {
        uint32_t global;
        enum class Kind : uint8_t { Variable, Array, Const } kind;
        bool isPublic = true;
        std::vector<int32_t> bounds;
        Value value;
        uint32_t line;
        uint32_t column;
    };
    std::vector<Decl> decls;
    bool optionExplicit = false;
    uint32_t lines = 0; // lines the unit spans
};

} // namespace vbs

#pragma once
// The compiled form: one Function per procedure (and per run of script-level statements), with
// names resolved to slots at compile time. Locals and arguments are frame slots, class fields
// are field slots, and every other name is an index into the unit's table of global names,
// which linking binds to the engine's global cells. Compiled units are immutable apart from the
// per-call-site member caches, so one unit can be linked into many engines and runs.

#include "vbscript/ast.h"
#include "vbscript/text.h"
#include "vbscript/value.h"

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

    // Locals: a = slot, n = flags (kByRef: the slot holds a reference; kRaw: store without
    // default-member conversion).
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
    CallGlobal,    // n = argc | kStatement
    ArgCallGlobal, // name(args) as an argument: an array element by reference
    NewObject,     // b = global index of the class

    // On [target, args...]: n = argc.
    IndexLoad,
    IndexStore, // [ref, args..., value]
    IndexSet,
    IndexAddr,
    CallValue,
    // Members: b = call site, n = argc | kStatement. [object, args..., (value)]
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
    Eq, // n = literal flags (kLeftLiteral, kRightLiteral)
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
    OnError,     // n = 1: Resume Next, 0: GoTo 0
    Return,
    // Element a(i) of local a at local subscript b (n: 1 = a by reference, 2 = b by reference).
    LoadElement,
};

enum : uint8_t {
    kByRef = 1,
    kRaw = 2,
    kStatement = 0x80,
    kArgMask = 0x7F,
};

// Binary operators whose right operand is a local or a constant carry it themselves (one
// dispatch and one stack slot fewer): a = the local, b = the constant.
enum : uint8_t {
    kOperandConst = 0x08,
    kOperandLocal = 0x10,
    kOperandRef = 0x20, // local a (on either side) holds a reference
    kOperandFused = kOperandConst | kOperandLocal,
    // Arithmetic whose result goes straight into local a (x = x + 1): only when a is free or
    // is the left operand.
    kResultToLocal = 0x04,
    // The left operand is local a (when the right one is a constant).
    kLeftLocal = 0x80,
};

struct Instr {
    OpCode op;
    uint8_t n = 0;
    uint16_t a = 0;
    uint32_t b = 0;
};
static_assert(sizeof(Instr) == 8);

// The code of one statement (or the head of a compound one): where errors are reported and
// where On Error Resume Next continues.
struct StmtInfo {
    uint32_t begin;
    uint32_t end;
    uint32_t line; // relative to the unit's first line
    uint32_t column;
};

struct CallSite {
    std::string name;
    mutable const void* key = nullptr; // memberTable of the last object
    mutable int id = 0;
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

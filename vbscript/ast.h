#pragma once
// The syntax tree the parser builds and the compiler consumes. It lives only while one unit of
// code is being compiled.

#include "vbscript/value.h"

#include <memory>
#include <string>
#include <vector>

namespace vbs::ast {

enum class Op : uint8_t {
    None,
    Neg,
    Plus,
    Not,
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Pow,
    Concat,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Is,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
};

enum class ExprKind : uint8_t {
    Literal, // value; `hard` for number, string, date and Boolean literals
    Name,    // name
    Me,
    Member,  // left (null: the object of the enclosing With) . name
    Call,    // left ( args )
    Unary,   // op left
    Binary,  // left op right
    New,     // New name
    Paren,   // ( left ): an argument in parentheses is passed by value
    Missing, // an omitted argument
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    ExprKind kind;
    Op op = Op::None;
    bool hard = false;
    uint32_t line = 0;
    uint32_t column = 0;
    Value value;
    std::string name;
    ExprPtr left;
    ExprPtr right;
    std::vector<ExprPtr> args;
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

enum class StmtKind : uint8_t {
    Assign,  // target = value (Let)
    Set,     // Set target = value
    Call,    // target: Name, Member or Call; args in `args` for calls without parentheses
    Dim,     // decls (also Public/Private at script and class level)
    ReDim,   // decls with bound expressions; preserve
    Erase,   // args: the variables
    Const,   // decls with values
    If,      // conds[i] -> blocks[i]; elseBlock when hasElse
    Select,  // value; cases; elseBlock when hasElse
    For,     // var = from To to [Step step]: body
    ForEach, // var In value: body
    Do,      // cond (may be null), until, testAtEnd: body
    While,   // cond: body
    Exit,    // exitKind
    With,    // value: body
    OnError, // resumeNext
    Stop,
    OptionExplicit,
    Declaration, // a Sub, Function or Class inside a script-level block: a unit of its own
};

enum class ExitKind : uint8_t { Do, For, Sub, Function, Property };

struct Decl {
    std::string name;
    uint32_t line = 0;
    uint32_t column = 0;
    bool isArray = false;        // name() or name(bounds)
    std::vector<ExprPtr> bounds; // Dim: literal upper bounds; ReDim: expressions
    ExprPtr value;               // Const
    bool isPublic = true;
};

struct Case {
    std::vector<ExprPtr> values;
    Block body;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct Stmt {
    StmtKind kind;
    uint32_t line = 0;
    uint32_t column = 0;
    ExprPtr target;
    ExprPtr value;
    std::vector<ExprPtr> args;
    bool hasArgs = false; // a call statement with arguments written without parentheses
    bool callKeyword = false;
    std::vector<Decl> decls;
    bool preserve = false;
    bool isPublic = true;
    bool globalScope = false; // Public/Private at script level
    std::vector<ExprPtr> conds;
    std::vector<Block> blocks;
    std::vector<uint32_t> branchLines; // line and column of each ElseIf/Else header
    std::vector<uint32_t> branchColumns;
    Block elseBlock;
    bool hasElse = false;
    uint32_t elseLine = 0;
    uint32_t elseColumn = 0;
    std::vector<Case> cases;
    std::string var;
    uint32_t varLine = 0;
    uint32_t varColumn = 0;
    ExprPtr from, to, step;
    ExprPtr cond;
    bool until = false;
    bool testAtEnd = false;
    uint32_t endLine = 0; // Next, Loop, Wend: where the loop's closing statement is
    uint32_t endColumn = 0;
    Block body;
    ExitKind exitKind = ExitKind::Do;
    bool resumeNext = false;
};

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
    std::string name;
    bool byRef = true;
    bool isArray = false;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct Proc {
    ProcKind kind = ProcKind::Sub;
    std::string name;
    std::vector<Param> params;
    Block body;
    bool isPublic = true;
    bool isDefault = false;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct ClassDecl {
    std::string name;
    uint32_t line = 0;
    uint32_t column = 0;
    std::vector<Decl> fields;
    std::vector<Decl> consts;
    std::vector<std::unique_ptr<Proc>> procs;
};

} // namespace vbs::ast

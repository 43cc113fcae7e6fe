#pragma once
// Turns syntax trees into the compiled form of code.h.

#include "vbscript/code.h"
#include "vbscript/parser.h"

#include <memory>

namespace vbs {

// What code run by Execute or Eval inside a procedure can see of the caller: the caller's
// variables by name (they become by-reference slots) and its class.
struct OuterScope {
    const ClassInfo* cls = nullptr;
    std::vector<std::string> names;
};

// How code is compiled. Fusing makes one instruction of several (an operator that carries its
// operands or stores its result, x = y between locals, a(i) of locals, s = s & x in place,
// counted loops over a local, a comparison that branches, a jump to a Return that returns).
// Without it the compiler emits the plain sequence, which must behave the same: the tests run
// every conformance script both ways.
struct CompileOptions {
    bool fuse = true;
};

// Compiles one unit; lines in the result are relative to the unit's first token. Throws
// ScriptError with the absolute position of a syntax error.
std::shared_ptr<CompiledUnit> compileUnit(const std::vector<Token>& tokens, const UnitSpan& span,
                                          const CompileOptions& options = {});

// Script-level statements given to Execute or ExecuteGlobal. With `outer` they run in a
// procedure's scope.
std::shared_ptr<CompiledUnit> compileDynamic(const std::vector<Token>& tokens, const UnitSpan& span,
                                             const OuterScope* outer,
                                             const CompileOptions& options = {});

// One expression (Eval); the compiled main function leaves its value in slot 0.
std::shared_ptr<CompiledUnit> compileExpression(const std::vector<Token>& tokens,
                                                const OuterScope* outer,
                                                const CompileOptions& options = {});

} // namespace vbs

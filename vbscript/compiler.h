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

// Compiles one unit; lines in the result are relative to the unit's first token. Throws
// ScriptError with the absolute position of a syntax error.
std::shared_ptr<CompiledUnit> compileUnit(const std::vector<Token>& tokens, const UnitSpan& span);

// Script-level statements given to Execute or ExecuteGlobal. With `outer` they run in a
// procedure's scope.
std::shared_ptr<CompiledUnit> compileDynamic(const std::vector<Token>& tokens, const UnitSpan& span,
                                             const OuterScope* outer);

// One expression (Eval); the compiled main function leaves its value in slot 0.
std::shared_ptr<CompiledUnit> compileExpression(const std::vector<Token>& tokens,
                                                const OuterScope* outer);

} // namespace vbs

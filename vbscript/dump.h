#pragma once
// The compiled form as text, one instruction a line with its operands spelled out: what
// `vbsrun --dump` prints, to see what the compiler made of a script.

#include "vbscript/code.h"

#include <string>

namespace vbs {

const char* opName(OpCode op);

// Every function of the unit. `firstLine` is the line of the unit's first token, so that the
// listing shows the lines of the text.
std::string dumpUnit(const CompiledUnit& unit, uint32_t firstLine);

} // namespace vbs

#pragma once
// The operators of the language on Variants: result subtypes, overflow promotion
// (Byte -> Integer -> Long -> Double), Null propagation and the comparison rules.

#include "vbscript/value.h"

namespace vbs {

Value opAdd(const Value& a, const Value& b);
Value opSub(const Value& a, const Value& b);
Value opMul(const Value& a, const Value& b);
Value opDiv(const Value& a, const Value& b);
Value opIntDiv(const Value& a, const Value& b);
Value opMod(const Value& a, const Value& b);
Value opPow(const Value& a, const Value& b);
Value opNeg(const Value& a);
Value opConcat(const Value& a, const Value& b);
Value opNot(const Value& a);
Value opAnd(const Value& a, const Value& b);
Value opOr(const Value& a, const Value& b);
Value opXor(const Value& a, const Value& b);
Value opEqv(const Value& a, const Value& b);
Value opImp(const Value& a, const Value& b);

// Comparison. A literal operand ("hard typed") makes the other side convert to its type when one
// side is text and the other a number or Boolean; between variables a number is always less than
// text.
enum Literal : int { kLeftLiteral = 1, kRightLiteral = 2 };
enum class Compare : uint8_t { Eq, Ne, Lt, Le, Gt, Ge };
Value opCompare(Compare op, const Value& a, const Value& b, int literals = 0);
// -1, 0 or 1; false in `isNull` when either side is Null.
int compareValues(const Value& a, const Value& b, int literals, bool& isNull);
bool opIs(const Value& a, const Value& b);

// A condition of If, While, Do and the like: Null counts as False.
bool isTrue(const Value& v);

} // namespace vbs

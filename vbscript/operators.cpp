#include "vbscript/operators.h"

#include "vbscript/convert.h"

#include <cmath>
#include <limits>

namespace vbs {

namespace {

// Numeric kinds, in the order of the "most precise operand wins" rule.
enum Kind { kByte, kInteger, kLong, kSingle, kDouble, kCurrency, kDate };

struct Operand {
    Kind kind;
    int64_t i = 0;  // Byte, Integer, Long
    double d = 0;   // Single, Double, Date
    int64_t cy = 0; // Currency (scaled)
};

[[noreturn]] void overflow() {
    throw ScriptError(errc::Overflow);
}

Operand operand(const Value& value) {
    const Value& v = value.deref();
    Operand o;
    switch (v.type()) {
    case Type::Empty:
        o.kind = kInteger;
        break;
    case Type::Byte:
        o.kind = kByte;
        o.i = v.byteValue();
        break;
    case Type::Integer:
        o.kind = kInteger;
        o.i = v.integerValue();
        break;
    case Type::Boolean:
        o.kind = kInteger;
        o.i = v.booleanValue() ? -1 : 0;
        break;
    case Type::Long:
        o.kind = kLong;
        o.i = v.longValue();
        break;
    case Type::Single:
        o.kind = kSingle;
        o.d = v.singleValue();
        break;
    case Type::Double:
        o.kind = kDouble;
        o.d = v.doubleValue();
        break;
    case Type::Date:
        o.kind = kDate;
        o.d = v.dateValue();
        break;
    case Type::Currency:
        o.kind = kCurrency;
        o.cy = v.currencyValue();
        break;
    case Type::String:
        o.kind = kDouble;
        o.d = toDouble(v);
        break;
    case Type::Object:
        return operand(scalarOf(v));
    case Type::Null:
        throw ScriptError(errc::InvalidUseOfNull);
    default:
        throw ScriptError(errc::TypeMismatch);
    }
    return o;
}

double asDouble(const Operand& o) {
    switch (o.kind) {
    case kByte:
    case kInteger:
    case kLong:
        return double(o.i);
    case kCurrency:
        return double(o.cy) / 10000.0;
    default:
        return o.d;
    }
}

int64_t asCurrency(const Operand& o) {
    switch (o.kind) {
    case kByte:
    case kInteger:
    case kLong:
        return o.i * 10000;
    case kCurrency:
        return o.cy;
    default: {
        double d = roundHalfEven(o.d * 10000.0);
        if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)) overflow();
        return int64_t(d);
    }
    }
}

// An integer result of kind `k`, promoted while it does not fit.
Value integerResult(Kind k, int64_t r) {
    if (k == kByte) {
        if (r >= 0 && r <= 255) return Value::byte(uint8_t(r));
        k = kInteger;
    }
    if (k == kInteger) {
        if (r >= -32768 && r <= 32767) return Value::integer(int16_t(r));
        k = kLong;
    }
    if (r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())
        return Value::lng(int32_t(r));
    return Value::dbl(double(r));
}

Value doubleResult(double d) {
    if (std::isinf(d) || std::isnan(d)) overflow();
    return Value::dbl(d);
}

Value singleResult(double d) {
    if (std::fabs(d) > double(std::numeric_limits<float>::max())) return doubleResult(d);
    return Value::single(float(d));
}

Value dateResult(double d) {
    if (!validDate(d)) overflow();
    return Value::date(d);
}

Kind resultKind(Kind a, Kind b) {
    if ((a == kSingle && b == kLong) || (a == kLong && b == kSingle)) return kDouble;
    return a > b ? a : b;
}

enum class Arith { Add, Sub, Mul };

Value arithmetic(Arith op, const Value& av, const Value& bv) {
    Operand a = operand(av);
    Operand b = operand(bv);
    Kind k = resultKind(a.kind, b.kind);
    if (k == kDate) {
        if (op == Arith::Mul) return doubleResult(asDouble(a) * asDouble(b));
        if (op == Arith::Sub && a.kind == kDate && b.kind == kDate) return doubleResult(a.d - b.d);
        double r = op == Arith::Add ? asDouble(a) + asDouble(b) : asDouble(a) - asDouble(b);
        return dateResult(r);
    }
    switch (k) {
    case kByte:
    case kInteger:
    case kLong: {
        int64_t r = op == Arith::Add ? a.i + b.i : op == Arith::Sub ? a.i - b.i : a.i * b.i;
        return integerResult(k, r);
    }
    case kSingle: {
        double x = asDouble(a), y = asDouble(b);
        return singleResult(op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y);
    }
    case kDouble: {
        double x = asDouble(a), y = asDouble(b);
        return doubleResult(op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y);
    }
    case kCurrency: {
        __int128 x = asCurrency(a), y = asCurrency(b);
        __int128 r;
        if (op == Arith::Mul) {
            // Scaled by 10000 twice: divide once, rounding half to even.
            __int128 p = x * y;
            __int128 q = p / 10000, rem = p % 10000;
            if (rem < 0) rem = -rem;
            if (rem > 5000 || (rem == 5000 && (q & 1))) q += p < 0 ? -1 : 1;
            r = q;
        } else {
            r = op == Arith::Add ? x + y : x - y;
        }
        if (r > std::numeric_limits<int64_t>::max() || r < std::numeric_limits<int64_t>::min())
            overflow();
        return Value::currency(int64_t(r));
    }
    default:
        return Value();
    }
}

// The integer operand of \, Mod and the bitwise operators.
struct IntOperand {
    Kind kind; // kByte, kInteger or kLong
    int64_t v;
};

IntOperand intOperand(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Empty:
        return {kInteger, 0};
    case Type::Byte:
        return {kByte, v.byteValue()};
    case Type::Integer:
        return {kInteger, v.integerValue()};
    case Type::Boolean:
        return {kInteger, v.booleanValue() ? -1 : 0};
    case Type::Object:
        return intOperand(scalarOf(v));
    default:
        return {kLong, toLong(v)};
    }
}

Value intResult(Kind k, int64_t r) {
    if (k == kByte) return Value::byte(uint8_t(r));
    // Only -32768 \ -1 leaves the Integer range: it becomes a Long, as sums do.
    if (k == kInteger && r >= -32768 && r <= 32767) return Value::integer(int16_t(r));
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        overflow();
    return Value::lng(int32_t(r));
}

Kind intKind(Kind a, Kind b) {
    if (a == kByte && b == kByte) return kByte;
    if (a <= kInteger && b <= kInteger) return kInteger;
    return kLong;
}

bool bothNull(const Value& a, const Value& b) {
    return a.deref().isNull() || b.deref().isNull();
}

bool isBoolean(const Value& v) {
    return v.deref().type() == Type::Boolean;
}

enum class Logic { And, Or, Xor, Eqv, Imp };

int64_t logicApply(Logic op, int64_t a, int64_t b) {
    switch (op) {
    case Logic::And:
        return a & b;
    case Logic::Or:
        return a | b;
    case Logic::Xor:
        return a ^ b;
    case Logic::Eqv:
        return ~(a ^ b);
    case Logic::Imp:
        return ~a | b;
    }
    return 0;
}

Value logicResult(Kind k, int64_t r) {
    if (k == kByte) return Value::byte(uint8_t(r));
    if (k == kInteger) return Value::integer(int16_t(r));
    return Value::lng(int32_t(r));
}

Value logical(Logic op, const Value& av, const Value& bv) {
    Value a = scalarOf(av);
    Value b = scalarOf(bv);
    if (a.isNull() || b.isNull()) {
        // Null stays unknown unless the other side decides the result alone.
        bool aNull = a.isNull(), bNull = b.isNull();
        if (aNull && bNull) return Value::null();
        const Value& other = aNull ? b : a;
        IntOperand o = intOperand(other);
        bool boolean = other.type() == Type::Boolean;
        auto make = [&](int64_t r) {
            return boolean ? Value::boolean(r != 0) : logicResult(o.kind, r);
        };
        switch (op) {
        case Logic::And:
            return o.v == 0 ? make(0) : Value::null();
        case Logic::Or:
            return (o.v == -1 || (o.kind == kByte && o.v == 255)) ? make(o.v) : Value::null();
        case Logic::Imp:
            if (aNull) return (o.v == -1) ? make(-1) : Value::null();
            return o.v == 0 ? make(-1) : Value::null();
        default:
            return Value::null();
        }
    }
    if (isBoolean(a) && isBoolean(b))
        return Value::boolean(
            logicApply(op, a.booleanValue() ? -1 : 0, b.booleanValue() ? -1 : 0) != 0);
    IntOperand x = intOperand(a);
    IntOperand y = intOperand(b);
    return logicResult(intKind(x.kind, y.kind), logicApply(op, x.v, y.v));
}

int cmp3(double a, double b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int compareStrings(const std::u16string& a, const std::u16string& b) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool isNumberLike(const Value& v) {
    return v.isNumeric();
}

// Converts text to the subtype of a literal on the other side; "Type mismatch" when it cannot.
Value toLiteralType(const Value& text, const Value& literal) {
    if (literal.type() == Type::Boolean) return Value::boolean(toBool(text));
    if (literal.type() == Type::Date) return Value::date(toDate(text));
    double d;
    if (!parseNumber(text.stringValue(), d)) throw ScriptError(errc::TypeMismatch);
    return Value::dbl(d);
}

int compareNumbers(const Value& a, const Value& b) {
    Type ta = a.type(), tb = b.type();
    if (ta == tb) {
        switch (ta) {
        case Type::Integer:
            return a.integerValue() < b.integerValue() ? -1 : a.integerValue() > b.integerValue();
        case Type::Long:
            return a.longValue() < b.longValue() ? -1 : a.longValue() > b.longValue();
        case Type::Currency:
            return a.currencyValue() < b.currencyValue() ? -1
                                                         : a.currencyValue() > b.currencyValue();
        default:
            break;
        }
    }
    return cmp3(toDouble(a), toDouble(b));
}

} // namespace

Value opAdd(const Value& a, const Value& b) {
    const Value& x = a.deref();
    const Value& y = b.deref();
    if (x.isNull() || y.isNull()) return Value::null();
    if (x.isString() && y.isString()) return Value::concat(x.stringValue(), y.stringValue());
    if (x.isString() && y.isEmpty()) return x;
    if (y.isString() && x.isEmpty()) return y;
    if (x.isObject() || y.isObject()) return opAdd(scalarOf(x), scalarOf(y));
    return arithmetic(Arith::Add, x, y);
}

Value opSub(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    return arithmetic(Arith::Sub, a, b);
}

Value opMul(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    return arithmetic(Arith::Mul, a, b);
}

Value opDiv(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    double x = asDouble(operand(a));
    double y = asDouble(operand(b));
    if (y == 0) {
        if (x == 0) overflow();
        throw ScriptError(errc::DivisionByZero);
    }
    return doubleResult(x / y);
}

Value opIntDiv(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    IntOperand x = intOperand(a);
    IntOperand y = intOperand(b);
    if (y.v == 0) throw ScriptError(errc::DivisionByZero);
    return intResult(intKind(x.kind, y.kind), x.v / y.v);
}

Value opMod(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    IntOperand x = intOperand(a);
    IntOperand y = intOperand(b);
    if (y.v == 0) throw ScriptError(errc::DivisionByZero);
    return intResult(intKind(x.kind, y.kind), x.v % y.v);
}

Value opPow(const Value& a, const Value& b) {
    if (bothNull(a, b)) return Value::null();
    double x = asDouble(operand(a));
    double y = asDouble(operand(b));
    double r = std::pow(x, y);
    if (std::isnan(r) || (x == 0 && y < 0)) throw ScriptError(errc::InvalidCall);
    return doubleResult(r);
}

Value opNeg(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Null:
        return Value::null();
    case Type::Empty:
        return Value::integer(0);
    case Type::Byte:
        return Value::integer(int16_t(-int(v.byteValue())));
    case Type::Boolean:
        return Value::integer(v.booleanValue() ? 1 : 0);
    case Type::Integer:
        return integerResult(kInteger, -int64_t(v.integerValue()));
    case Type::Long:
        return integerResult(kLong, -int64_t(v.longValue()));
    case Type::Single:
        return Value::single(-v.singleValue());
    case Type::Double:
        return Value::dbl(-v.doubleValue());
    case Type::Date:
        return dateResult(-v.dateValue());
    case Type::Currency:
        if (v.currencyValue() == std::numeric_limits<int64_t>::min()) overflow();
        return Value::currency(-v.currencyValue());
    case Type::String:
        return Value::dbl(-toDouble(v));
    case Type::Object:
        return opNeg(scalarOf(v));
    default:
        throw ScriptError(errc::TypeMismatch);
    }
}

Value opConcat(const Value& a, const Value& b) {
    const Value& x = a.deref();
    const Value& y = b.deref();
    if (x.isNull() && y.isNull()) return Value::null();
    if (x.isString() && y.isString()) return Value::concat(x.stringValue(), y.stringValue());
    std::u16string left = x.isNull() ? std::u16string() : toString(x);
    if (y.isNull()) return Value::string(std::move(left));
    if (y.isString()) return Value::concat(left, y.stringValue());
    return Value::concat(left, toString(y));
}

Value opNot(const Value& value) {
    Value v = scalarOf(value);
    switch (v.type()) {
    case Type::Null:
        return Value::null();
    case Type::Boolean:
        return Value::boolean(!v.booleanValue());
    case Type::Empty:
        return Value::integer(-1);
    case Type::Byte:
        return Value::byte(uint8_t(~v.byteValue()));
    case Type::Integer:
        return Value::integer(int16_t(~v.integerValue()));
    default:
        return Value::lng(~toLong(v));
    }
}

Value opAnd(const Value& a, const Value& b) {
    return logical(Logic::And, a, b);
}
Value opOr(const Value& a, const Value& b) {
    return logical(Logic::Or, a, b);
}
Value opXor(const Value& a, const Value& b) {
    return logical(Logic::Xor, a, b);
}
Value opEqv(const Value& a, const Value& b) {
    return logical(Logic::Eqv, a, b);
}
Value opImp(const Value& a, const Value& b) {
    return logical(Logic::Imp, a, b);
}

int compareValues(const Value& av, const Value& bv, int literals, bool& isNull) {
    isNull = false;
    Value a = scalarOf(av);
    Value b = scalarOf(bv);
    if (a.isNull() || b.isNull()) {
        isNull = true;
        return 0;
    }
    if (a.isArray() || b.isArray() || a.type() == Type::Error || b.type() == Type::Error)
        throw ScriptError(errc::TypeMismatch);
    bool an = isNumberLike(a), bn = isNumberLike(b);
    if (an && bn) return compareNumbers(a, b);
    if (a.isString() && b.isString()) return compareStrings(a.stringValue(), b.stringValue());
    if (a.isEmpty() && b.isEmpty()) return 0;
    if (a.isEmpty())
        return b.isString() ? compareStrings(std::u16string(), b.stringValue())
                            : compareNumbers(Value::integer(0), b);
    if (b.isEmpty())
        return a.isString() ? compareStrings(a.stringValue(), std::u16string())
                            : compareNumbers(a, Value::integer(0));
    // One side is text, the other a number.
    bool aLiteral = literals & kLeftLiteral, bLiteral = literals & kRightLiteral;
    if (an) {
        if (aLiteral) return compareNumbers(a, toLiteralType(b, a));
        if (bLiteral) return compareStrings(toString(a), b.stringValue());
        return -1;
    }
    if (bLiteral) return compareNumbers(toLiteralType(a, b), b);
    if (aLiteral) return compareStrings(a.stringValue(), toString(b));
    return 1;
}

Value opCompare(Compare op, const Value& a, const Value& b, int literals) {
    bool isNull;
    int c = compareValues(a, b, literals, isNull);
    if (isNull) return Value::null();
    bool r = false;
    switch (op) {
    case Compare::Eq:
        r = c == 0;
        break;
    case Compare::Ne:
        r = c != 0;
        break;
    case Compare::Lt:
        r = c < 0;
        break;
    case Compare::Le:
        r = c <= 0;
        break;
    case Compare::Gt:
        r = c > 0;
        break;
    case Compare::Ge:
        r = c >= 0;
        break;
    }
    return Value::boolean(r);
}

bool opIs(const Value& av, const Value& bv) {
    const Value& a = av.deref();
    const Value& b = bv.deref();
    if (!a.isObject() || !b.isObject()) throw ScriptError(errc::ObjectRequired);
    if (!a.objectValue() || !b.objectValue()) return a.objectValue() == b.objectValue();
    return a.objectValue()->identity() == b.objectValue()->identity();
}

bool isTrue(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Boolean:
        return v.booleanValue();
    case Type::Null:
    case Type::Empty:
        return false;
    case Type::Integer:
        return v.integerValue() != 0;
    case Type::Long:
        return v.longValue() != 0;
    case Type::Object:
        return isTrue(scalarOf(v));
    default:
        return toBool(v);
    }
}

} // namespace vbs

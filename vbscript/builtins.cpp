#include "vbscript/builtins.h"

#include "vbscript/convert.h"
#include "vbscript/runtime.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

namespace vbs {

void BuiltinRegistry::add(std::span<const Builtin> table) {
    for (const Builtin& b : table)
        functions_[b.name] = b;
}

void BuiltinRegistry::add(std::span<const BuiltinConstant> table) {
    for (const BuiltinConstant& c : table)
        constants_[c.name] = c.value;
}

const Builtin* BuiltinRegistry::function(std::string_view name) const {
    auto it = functions_.find(std::string(name));
    return it == functions_.end() ? nullptr : &it->second;
}

const Value* BuiltinRegistry::constant(std::string_view name) const {
    auto it = constants_.find(std::string(name));
    return it == constants_.end() ? nullptr : &it->second;
}

const BuiltinRegistry& builtins() {
    static const BuiltinRegistry registry = [] {
        BuiltinRegistry r;
        registerCoreBuiltins(r);
        registerLibraryBuiltins(r);
        return r;
    }();
    return registry;
}

Value makeProcRef(Runtime& rt, std::string_view name);

namespace {

using Args = std::span<Value>;

[[noreturn]] void invalidCall() {
    throw ScriptError(errc::InvalidCall);
}

bool given(const Args& a, size_t i) {
    return i < a.size() && !(a[i].type() == Type::Error);
}

std::u16string str(const Value& v) {
    return toString(v);
}

// Case mapping of the letters of the scripts Windows-1252 and its neighbours cover: Latin-1,
// Latin Extended-A, Greek and Cyrillic.
bool latinExtUpperIsEven(char16_t c) {
    return (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool latinExtUpperIsOdd(char16_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

char16_t upper(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
    if (c == 0xFF) return 0x178;
    if (c == 0x130 || c == 0x131) return c;
    if (latinExtUpperIsEven(c)) return char16_t(c & ~1u);
    if (latinExtUpperIsOdd(c)) return (c & 1) ? c : char16_t(c - 1);
    if ((c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
        return char16_t(c - 32);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 80);
    return c;
}

char16_t lower(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
    if (c == 0x178) return 0xFF;
    if (c == 0x130 || c == 0x131) return c;
    if (latinExtUpperIsEven(c)) return char16_t(c | 1u);
    if (latinExtUpperIsOdd(c)) return (c & 1) ? char16_t(c + 1) : c;
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return char16_t(c + 32);
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);
    return c;
}

std::u16string foldText(std::u16string s) {
    for (char16_t& c : s)
        c = lower(c);
    return s;
}

// ---- Conversions -------------------------------------------------------------------------

Value fnCStr(CallContext&, Args a) {
    return Value::string(str(a[0]));
}
Value fnCInt(CallContext&, Args a) {
    return Value::integer(toInteger(a[0]));
}
Value fnCLng(CallContext&, Args a) {
    return Value::lng(toLong(a[0]));
}
Value fnCDbl(CallContext&, Args a) {
    return Value::dbl(toDouble(a[0]));
}
Value fnCSng(CallContext&, Args a) {
    return Value::single(toSingle(a[0]));
}
Value fnCByte(CallContext&, Args a) {
    return Value::byte(toByte(a[0]));
}
Value fnCCur(CallContext&, Args a) {
    return Value::currency(toCurrency(a[0]));
}
Value fnCDate(CallContext&, Args a) {
    return Value::date(toDate(a[0]));
}
Value fnCBool(CallContext&, Args a) {
    return Value::boolean(toBool(a[0]));
}

// ---- Strings -----------------------------------------------------------------------------

Value fnLen(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    if (a[0].isString()) return Value::lng(int32_t(a[0].stringValue().size()));
    return Value::lng(int32_t(str(a[0]).size()));
}

int32_t count(const Value& v) {
    int32_t n = toLong(v);
    if (n < 0) invalidCall();
    return n;
}

// A length of new text, within the engine's limit.
size_t length(const Value& v) {
    size_t n = size_t(count(v));
    if (n > maxStringLength()) throw ScriptError(errc::OutOfStringSpace);
    return n;
}

Value fnLeft(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    size_t n = size_t(count(a[1]));
    return Value::string(s.substr(0, std::min(n, s.size())));
}

Value fnRight(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    size_t n = std::min(size_t(count(a[1])), s.size());
    return Value::string(s.substr(s.size() - n));
}

Value fnMid(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    int32_t start = toLong(a[1]);
    if (start < 1) invalidCall();
    size_t from = size_t(start - 1);
    if (from >= s.size()) return Value::string(u"");
    size_t n = given(a, 2) ? size_t(count(a[2])) : s.size();
    return Value::string(s.substr(from, std::min(n, s.size() - from)));
}

Value fnUCase(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    for (char16_t& c : s)
        c = upper(c);
    return Value::string(std::move(s));
}

Value fnLCase(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    return Value::string(foldText(str(a[0])));
}

Value trimmed(const Value& v, bool left, bool right) {
    if (v.isNull()) return Value::null();
    std::u16string s = str(v);
    size_t b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == u' ')
            ++b;
    if (right)
        while (e > b && s[e - 1] == u' ')
            --e;
    return Value::string(s.substr(b, e - b));
}

Value fnTrim(CallContext&, Args a) {
    return trimmed(a[0], true, true);
}
Value fnLTrim(CallContext&, Args a) {
    return trimmed(a[0], true, false);
}
Value fnRTrim(CallContext&, Args a) {
    return trimmed(a[0], false, true);
}

bool textCompare(const Args& a, size_t i) {
    if (!given(a, i)) return false;
    int32_t mode = toLong(a[i]);
    if (mode != 0 && mode != 1) invalidCall(); // vbBinaryCompare or vbTextCompare only
    return mode == 1;
}

Value fnInStr(CallContext&, Args a) {
    size_t i = 0;
    int32_t start = 1;
    if (a.size() >= 3) {
        if (a[0].isNull()) throw ScriptError(errc::InvalidUseOfNull);
        start = toLong(a[0]);
        if (start < 1) invalidCall();
        i = 1;
    }
    if (a[i].isNull() || a[i + 1].isNull()) return Value::null();
    std::u16string s = str(a[i]);
    std::u16string find = str(a[i + 1]);
    if (textCompare(a, i + 2)) {
        s = foldText(s);
        find = foldText(find);
    }
    if (size_t(start) > s.size() + 1) return Value::lng(0);
    if (find.empty()) return Value::lng(start);
    size_t pos = s.find(find, size_t(start - 1));
    return Value::lng(pos == std::u16string::npos ? 0 : int32_t(pos + 1));
}

Value fnInStrRev(CallContext&, Args a) {
    if (a[0].isNull() || a[1].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    std::u16string find = str(a[1]);
    int32_t start = given(a, 2) ? toLong(a[2]) : -1;
    if (start == 0 || start < -1) invalidCall();
    if (textCompare(a, 3)) {
        s = foldText(s);
        find = foldText(find);
    }
    if (start == -1) start = int32_t(s.size());
    if (size_t(start) > s.size()) return Value::lng(0);
    if (find.empty()) return Value::lng(start);
    if (find.size() > size_t(start)) return Value::lng(0);
    size_t pos = s.rfind(find, size_t(start) - find.size());
    return Value::lng(pos == std::u16string::npos ? 0 : int32_t(pos + 1));
}

Value fnReplace(CallContext&, Args a) {
    if (a[0].isNull()) throw ScriptError(errc::InvalidUseOfNull);
    if (a[1].isNull() || a[2].isNull()) return Value::null();
    std::u16string s = str(a[0]);
    std::u16string find = str(a[1]);
    std::u16string with = str(a[2]);
    int32_t start = given(a, 3) ? toLong(a[3]) : 1;
    int32_t limit = given(a, 4) ? toLong(a[4]) : -1;
    if (start < 1 || limit < -1) invalidCall();
    bool text = textCompare(a, 5);
    if (size_t(start) > s.size()) return Value::string(u"");
    s = s.substr(size_t(start - 1));
    if (find.empty() || limit == 0) return Value::string(std::move(s));
    std::u16string hay = text ? foldText(s) : s;
    std::u16string needle = text ? foldText(find) : find;
    std::u16string out;
    size_t pos = 0;
    int32_t done = 0;
    while (limit < 0 || done < limit) {
        size_t hit = hay.find(needle, pos);
        if (hit == std::u16string::npos) break;
        out.append(s, pos, hit - pos);
        out += with;
        if (out.size() > maxStringLength()) throw ScriptError(errc::OutOfStringSpace);
        pos = hit + needle.size();
        ++done;
    }
    out.append(s, pos, std::u16string::npos);
    return Value::string(std::move(out));
}

Value fnSpace(CallContext&, Args a) {
    return Value::string(std::u16string(length(a[0]), u' '));
}

Value fnString(CallContext&, Args a) {
    if (a[1].isNull()) return Value::null();
    size_t n = length(a[0]);
    char16_t c;
    if (a[1].isString()) {
        if (a[1].stringValue().empty()) invalidCall();
        c = a[1].stringValue()[0];
    } else {
        c = fromCp1252(uint8_t(toLong(a[1]) & 0xFF));
    }
    return Value::string(std::u16string(n, c));
}

Value fnStrComp(CallContext&, Args a) {
    if (a[0].isNull() || a[1].isNull()) return Value::null();
    std::u16string x = str(a[0]), y = str(a[1]);
    if (textCompare(a, 2)) {
        x = foldText(x);
        y = foldText(y);
    }
    int c = x.compare(y);
    return Value::integer(int16_t(c < 0 ? -1 : c > 0 ? 1 : 0));
}

Value fnStrReverse(CallContext&, Args a) {
    if (a[0].isNull()) throw ScriptError(errc::InvalidUseOfNull);
    std::u16string s = str(a[0]);
    return Value::string(std::u16string(s.rbegin(), s.rend()));
}

Value fnChr(CallContext&, Args a) {
    int32_t n = toLong(a[0]);
    if (n < 0 || n > 255) invalidCall();
    return Value::string(std::u16string(1, fromCp1252(uint8_t(n))));
}

Value fnChrW(CallContext&, Args a) {
    int32_t n = toLong(a[0]);
    if (n < -32768 || n > 65535) invalidCall();
    return Value::string(std::u16string(1, char16_t(n & 0xFFFF)));
}

Value fnAsc(CallContext&, Args a) {
    std::u16string s = str(a[0]);
    if (s.empty()) invalidCall();
    int b = toCp1252(s[0]);
    return Value::integer(int16_t(b < 0 ? '?' : b));
}

Value fnAscW(CallContext&, Args a) {
    std::u16string s = str(a[0]);
    if (s.empty()) invalidCall();
    return Value::integer(int16_t(s[0]));
}

Value fnHex(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    Type t = a[0].type();
    int32_t n = toLong(a[0]);
    uint32_t u = (t == Type::Integer || t == Type::Byte || t == Type::Boolean || t == Type::Empty)
                     ? uint32_t(uint16_t(n))
                     : uint32_t(n);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", u);
    return Value::fromUtf8(buf);
}

Value fnOct(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    Type t = a[0].type();
    int32_t n = toLong(a[0]);
    uint32_t u = (t == Type::Integer || t == Type::Byte || t == Type::Boolean || t == Type::Empty)
                     ? uint32_t(uint16_t(n))
                     : uint32_t(n);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%o", u);
    return Value::fromUtf8(buf);
}

// ---- Arrays ------------------------------------------------------------------------------

Value fnArray(CallContext&, Args a) {
    std::vector<Value> values(a.begin(), a.end());
    return Value::array(Array::fromValues(std::move(values)));
}

Value bound(Args a, bool upper) {
    if (!a[0].isArray()) throw ScriptError(errc::TypeMismatch);
    const Array* arr = a[0].arrayValue();
    int32_t dim = given(a, 1) ? toLong(a[1]) : 1;
    if (dim < 1 || size_t(dim) > arr->dimensions()) throw ScriptError(errc::SubscriptOutOfRange);
    const Array::Bound& b = arr->bounds()[size_t(dim - 1)];
    return Value::lng(upper ? b.lower + b.count - 1 : b.lower);
}

Value fnUBound(CallContext&, Args a) {
    return bound(a, true);
}
Value fnLBound(CallContext&, Args a) {
    return bound(a, false);
}

Value fnIsArray(CallContext&, Args a) {
    return Value::boolean(a[0].isArray());
}

Value fnJoin(CallContext&, Args a) {
    if (!a[0].isArray()) throw ScriptError(errc::TypeMismatch);
    const Array* arr = a[0].arrayValue();
    if (arr->dimensions() > 1) throw ScriptError(errc::SubscriptOutOfRange);
    std::u16string delim = given(a, 1) ? str(a[1]) : u" ";
    std::u16string out;
    for (size_t i = 0; i < arr->size(); ++i) {
        if (i) out += delim;
        if (!arr->data()[i].isNull()) out += str(arr->data()[i]);
        if (out.size() > maxStringLength()) throw ScriptError(errc::OutOfStringSpace);
    }
    return Value::string(std::move(out));
}

Value fnSplit(CallContext&, Args a) {
    if (a[0].isNull()) throw ScriptError(errc::InvalidUseOfNull);
    std::u16string s = str(a[0]);
    std::u16string delim = given(a, 1) ? str(a[1]) : u" ";
    int32_t limit = given(a, 2) ? toLong(a[2]) : -1;
    bool text = textCompare(a, 3);
    if (limit < -1) invalidCall();
    std::vector<Value> parts;
    if (s.empty() || limit == 0) return Value::array(Array::fromValues({}));
    if (delim.empty() || limit == 1) {
        parts.push_back(Value::string(s));
        return Value::array(Array::fromValues(std::move(parts)));
    }
    std::u16string hay = text ? foldText(s) : s;
    std::u16string needle = text ? foldText(delim) : delim;
    size_t pos = 0;
    while (true) {
        if (limit > 0 && int32_t(parts.size()) == limit - 1) break;
        size_t hit = hay.find(needle, pos);
        if (hit == std::u16string::npos) break;
        parts.push_back(Value::string(s.substr(pos, hit - pos)));
        pos = hit + needle.size();
    }
    parts.push_back(Value::string(s.substr(pos)));
    return Value::array(Array::fromValues(std::move(parts)));
}

// ---- Types -------------------------------------------------------------------------------

Value fnIsEmpty(CallContext&, Args a) {
    return Value::boolean(a[0].isEmpty());
}
Value fnIsNull(CallContext&, Args a) {
    return Value::boolean(a[0].isNull());
}
Value fnIsObject(CallContext&, Args a) {
    return Value::boolean(a[0].isObject());
}

Value fnIsNumeric(CallContext&, Args a) {
    const Value& v = a[0];
    switch (v.type()) {
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Byte:
    case Type::Boolean:
    case Type::Empty:
        return Value::boolean(true);
    case Type::String: {
        double d;
        return Value::boolean(parseNumber(v.stringValue(), d));
    }
    default:
        return Value::boolean(false);
    }
}

Value fnIsDate(CallContext&, Args a) {
    if (a[0].type() == Type::Date) return Value::boolean(true);
    if (a[0].isString()) {
        double d;
        return Value::boolean(parseDate(a[0].stringValue(), d));
    }
    return Value::boolean(false);
}

Value fnTypeName(CallContext&, Args a) {
    return Value::fromUtf8(typeName(a[0]));
}

Value fnVarType(CallContext&, Args a) {
    // An object with a default property reports the type of that property's value.
    if (a[0].isObject() && a[0].objectValue()) {
        try {
            return Value::integer(int16_t(varType(scalarOf(a[0]))));
        } catch (const ScriptError& e) {
            if (e.fatal()) throw;
            return Value::integer(9);
        }
    }
    return Value::integer(int16_t(varType(a[0])));
}

// ---- Math --------------------------------------------------------------------------------

Value integral(const Value& v, bool floorIt) {
    switch (v.type()) {
    case Type::Null:
        return Value::null();
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
        return v;
    case Type::Boolean:
        return Value::integer(v.booleanValue() ? -1 : 0);
    case Type::Empty:
        return Value::integer(0);
    case Type::Single: {
        float f = v.singleValue();
        return Value::single(floorIt ? std::floor(f) : std::trunc(f));
    }
    case Type::Currency: {
        double d = double(v.currencyValue()) / 10000.0;
        return Value::currency(int64_t(floorIt ? std::floor(d) : std::trunc(d)) * 10000);
    }
    case Type::Date: {
        double d = v.dateValue();
        return Value::date(floorIt ? std::floor(d) : std::trunc(d));
    }
    default: {
        double d = toDouble(v);
        return Value::dbl(floorIt ? std::floor(d) : std::trunc(d));
    }
    }
}

Value fnInt(CallContext&, Args a) {
    return integral(a[0], true);
}
Value fnFix(CallContext&, Args a) {
    return integral(a[0], false);
}

Value fnAbs(CallContext&, Args a) {
    const Value& v = a[0];
    switch (v.type()) {
    case Type::Null:
        return Value::null();
    case Type::Empty:
        return Value::integer(0);
    case Type::Integer:
        if (v.integerValue() == -32768) return Value::lng(32768);
        return Value::integer(int16_t(std::abs(v.integerValue())));
    case Type::Long:
        if (v.longValue() == INT32_MIN) return Value::dbl(2147483648.0);
        return Value::lng(std::abs(v.longValue()));
    case Type::Byte:
        return v;
    case Type::Single:
        return Value::single(std::fabs(v.singleValue()));
    case Type::Currency:
        return Value::currency(v.currencyValue() < 0 ? -v.currencyValue() : v.currencyValue());
    case Type::Boolean:
        return Value::integer(v.booleanValue() ? 1 : 0);
    default:
        return Value::dbl(std::fabs(toDouble(v)));
    }
}

Value fnSgn(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    double d = toDouble(a[0]);
    return Value::integer(int16_t(d > 0 ? 1 : d < 0 ? -1 : 0));
}

Value fnSqr(CallContext&, Args a) {
    double d = toDouble(a[0]);
    if (d < 0) invalidCall();
    return Value::dbl(std::sqrt(d));
}

Value fnRound(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    int32_t digits = given(a, 1) ? toLong(a[1]) : 0;
    if (digits < 0) invalidCall();
    const Value& v = a[0];
    if (v.type() == Type::Integer || v.type() == Type::Long || v.type() == Type::Byte) return v;
    // Booleans and Empty round to Integers, as the classic engine's rounding gives them.
    if (v.type() == Type::Boolean) return Value::integer(v.booleanValue() ? -1 : 0);
    if (v.type() == Type::Empty) return Value::integer(0);
    double d = toDouble(v);
    double scale = std::pow(10.0, digits);
    double r = roundHalfEven(d * scale) / scale;
    if (v.type() == Type::Single) return Value::single(float(r));
    if (v.type() == Type::Currency) return Value::currency(int64_t(roundHalfEven(r * 10000.0)));
    return Value::dbl(r);
}

Value fnExp(CallContext&, Args a) {
    double r = std::exp(toDouble(a[0]));
    if (std::isinf(r)) throw ScriptError(errc::Overflow);
    return Value::dbl(r);
}

Value fnLog(CallContext&, Args a) {
    double d = toDouble(a[0]);
    if (d <= 0) invalidCall();
    return Value::dbl(std::log(d));
}

Value fnSin(CallContext&, Args a) {
    return Value::dbl(std::sin(toDouble(a[0])));
}
Value fnCos(CallContext&, Args a) {
    return Value::dbl(std::cos(toDouble(a[0])));
}
Value fnTan(CallContext&, Args a) {
    return Value::dbl(std::tan(toDouble(a[0])));
}
Value fnAtn(CallContext&, Args a) {
    return Value::dbl(std::atan(toDouble(a[0])));
}

// The classic generator: a 24-bit linear congruence.
Value fnRnd(CallContext& ctx, Args a) {
    Runtime& rt = ctx.runtime;
    if (given(a, 0)) {
        float x = toSingle(a[0]);
        if (x == 0) return Value::single(rt.lastRnd);
        if (x < 0) {
            uint32_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            rt.rndSeed = (bits + (bits >> 24)) & 0xFFFFFF;
        }
    }
    rt.rndSeed = (rt.rndSeed * 1140671485u + 12820163u) & 0xFFFFFF;
    rt.lastRnd = float(rt.rndSeed) / 16777216.0f;
    return Value::single(rt.lastRnd);
}

double secondsSinceMidnight();

// Randomize mixes the seed into the generator's middle two bytes: with a number, the high word
// of its Double; without, the bits of Timer as a Single.
Value fnRandomize(CallContext& ctx, Args a) {
    uint32_t word;
    if (given(a, 0)) {
        double seed = toDouble(a[0]);
        uint64_t bits;
        std::memcpy(&bits, &seed, sizeof bits);
        word = uint32_t(bits >> 32);
    } else {
        float seed = float(secondsSinceMidnight());
        std::memcpy(&word, &seed, sizeof word);
    }
    uint32_t mix = ((word & 0xFFFF) << 8) ^ ((word >> 8) & 0xFFFF00);
    ctx.runtime.rndSeed = (ctx.runtime.rndSeed & 0xFF0000FF) | mix;
    return {};
}

// ---- Dates -------------------------------------------------------------------------------

std::tm localNow(double& fraction) {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    fraction = double(ms.count()) / 1000.0;
    return tm;
}

double secondsSinceMidnight() {
    double frac;
    std::tm tm = localNow(frac);
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + frac;
}

Value fnNow(CallContext&, Args) {
    double frac;
    std::tm tm = localNow(frac);
    return Value::date(dateFromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
                       timeFromParts(tm.tm_hour, tm.tm_min, tm.tm_sec));
}

Value fnDate(CallContext&, Args) {
    double frac;
    std::tm tm = localNow(frac);
    return Value::date(dateFromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));
}

Value fnTime(CallContext&, Args) {
    double frac;
    std::tm tm = localNow(frac);
    return Value::date(timeFromParts(tm.tm_hour, tm.tm_min, tm.tm_sec));
}

Value fnTimer(CallContext&, Args) {
    return Value::single(float(std::floor(secondsSinceMidnight() * 100.0) / 100.0));
}

Value datePart(const Value& v, int which) {
    if (v.isNull()) return Value::null();
    int y, m, d, h, mi, s;
    dateToParts(toDate(v), y, m, d, h, mi, s);
    int parts[] = {y, m, d, h, mi, s};
    return Value::integer(int16_t(parts[which]));
}

Value fnYear(CallContext&, Args a) {
    return datePart(a[0], 0);
}
Value fnMonth(CallContext&, Args a) {
    return datePart(a[0], 1);
}
Value fnDay(CallContext&, Args a) {
    return datePart(a[0], 2);
}
Value fnHour(CallContext&, Args a) {
    return datePart(a[0], 3);
}
Value fnMinute(CallContext&, Args a) {
    return datePart(a[0], 4);
}
Value fnSecond(CallContext&, Args a) {
    return datePart(a[0], 5);
}

Value fnDateSerial(CallContext&, Args a) {
    int year = toInteger(a[0]);
    if (year >= 0 && year < 30)
        year += 2000; // two-digit years: 00-29 are this century, 30-99 the last
    else if (year >= 30 && year < 100)
        year += 1900;
    double d = dateFromParts(year, toInteger(a[1]), toInteger(a[2]));
    if (!validDate(d)) invalidCall();
    return Value::date(d);
}

Value fnTimeSerial(CallContext&, Args a) {
    int64_t seconds = int64_t(toInteger(a[0])) * 3600 + toInteger(a[1]) * 60 + toInteger(a[2]);
    // Before midnight of day 0 the time counts back from the day before (-1.25 is 6 AM on 29
    // December 1899).
    int64_t day = seconds >= 0 ? seconds / 86400 : -((86399 - seconds) / 86400);
    double fraction = double(seconds - day * 86400) / 86400.0;
    return Value::date(day < 0 ? double(day) - fraction : double(day) + fraction);
}

// ---- The script and its host -------------------------------------------------------------

Value fnEval(CallContext& ctx, Args a) {
    return ctx.runtime.eval(str(a[0]), ctx.frame);
}

Value fnExecute(CallContext& ctx, Args a) {
    ctx.runtime.execute(str(a[0]), ctx.frame, false);
    return {};
}

Value fnExecuteGlobal(CallContext& ctx, Args a) {
    ctx.runtime.execute(str(a[0]), ctx.frame, true);
    return {};
}

Value fnGetRef(CallContext& ctx, Args a) {
    return makeProcRef(ctx.runtime, toUtf8(str(a[0])));
}

Value fnErr(CallContext& ctx, Args) {
    return ctx.runtime.errObject();
}

Value fnMsgBox(CallContext& ctx, Args a) {
    std::u16string prompt = a[0].isNull() ? u"" : str(a[0]);
    int buttons = given(a, 1) ? toLong(a[1]) : 0;
    std::u16string title = given(a, 2) ? str(a[2]) : u"";
    return Value::integer(int16_t(ctx.runtime.services().msgBox(prompt, buttons, title)));
}

Value fnInputBox(CallContext& ctx, Args a) {
    std::u16string prompt = str(a[0]);
    std::u16string title = given(a, 1) ? str(a[1]) : u"";
    std::u16string def = given(a, 2) ? str(a[2]) : u"";
    return ctx.runtime.services().inputBox(prompt, title, def);
}

Value fnCreateObject(CallContext& ctx, Args a) {
    std::u16string progId = str(a[0]);
    if (equalsNoCase(toUtf8(progId), "VBScript.RegExp")) return createRegExp();
    return ctx.runtime.services().createObject(progId, given(a, 1) ? str(a[1]) : u"");
}

Value fnGetObject(CallContext& ctx, Args a) {
    return ctx.runtime.services().getObject(given(a, 0) ? str(a[0]) : u"",
                                            given(a, 1) ? str(a[1]) : u"");
}

Value fnLoadPicture(CallContext& ctx, Args a) {
    return ctx.runtime.services().loadPicture(given(a, 0) ? str(a[0]) : u"");
}

Value fnScriptEngine(CallContext&, Args) {
    return Value::string(u"VBScript");
}
Value fnMajor(CallContext&, Args) {
    return Value::lng(5);
}
Value fnMinor(CallContext&, Args) {
    return Value::lng(8);
}
Value fnBuild(CallContext&, Args) {
    return Value::lng(16384);
}

const Builtin kCore[] = {
    {"CStr", 1, 1, fnCStr},
    {"CInt", 1, 1, fnCInt},
    {"CLng", 1, 1, fnCLng},
    {"CDbl", 1, 1, fnCDbl},
    {"CSng", 1, 1, fnCSng},
    {"CByte", 1, 1, fnCByte},
    {"CCur", 1, 1, fnCCur},
    {"CDate", 1, 1, fnCDate},
    {"CBool", 1, 1, fnCBool},
    {"Len", 1, 1, fnLen},
    {"Left", 2, 2, fnLeft},
    {"Right", 2, 2, fnRight},
    {"Mid", 2, 3, fnMid},
    {"UCase", 1, 1, fnUCase},
    {"LCase", 1, 1, fnLCase},
    {"Trim", 1, 1, fnTrim},
    {"LTrim", 1, 1, fnLTrim},
    {"RTrim", 1, 1, fnRTrim},
    {"InStr", 2, 4, fnInStr},
    {"InStrRev", 2, 4, fnInStrRev},
    {"Replace", 3, 6, fnReplace},
    {"Space", 1, 1, fnSpace},
    {"String", 2, 2, fnString},
    {"StrComp", 2, 3, fnStrComp},
    {"StrReverse", 1, 1, fnStrReverse},
    {"Chr", 1, 1, fnChr},
    {"ChrW", 1, 1, fnChrW},
    {"Asc", 1, 1, fnAsc},
    {"AscW", 1, 1, fnAscW},
    {"Hex", 1, 1, fnHex},
    {"Oct", 1, 1, fnOct},
    {"Array", 0, 127, fnArray},
    {"UBound", 1, 2, fnUBound},
    {"LBound", 1, 2, fnLBound},
    {"IsArray", 1, 1, fnIsArray},
    {"Join", 1, 2, fnJoin},
    {"Split", 1, 4, fnSplit},
    {"IsEmpty", 1, 1, fnIsEmpty},
    {"IsNull", 1, 1, fnIsNull},
    {"IsObject", 1, 1, fnIsObject},
    {"IsNumeric", 1, 1, fnIsNumeric},
    {"IsDate", 1, 1, fnIsDate},
    {"TypeName", 1, 1, fnTypeName},
    {"VarType", 1, 1, fnVarType},
    {"Int", 1, 1, fnInt},
    {"Fix", 1, 1, fnFix},
    {"Abs", 1, 1, fnAbs},
    {"Sgn", 1, 1, fnSgn},
    {"Sqr", 1, 1, fnSqr},
    {"Round", 1, 2, fnRound},
    {"Exp", 1, 1, fnExp},
    {"Log", 1, 1, fnLog},
    {"Sin", 1, 1, fnSin},
    {"Cos", 1, 1, fnCos},
    {"Tan", 1, 1, fnTan},
    {"Atn", 1, 1, fnAtn},
    {"Rnd", 0, 1, fnRnd},
    {"Randomize", 0, 1, fnRandomize},
    {"Now", 0, 0, fnNow},
    {"Date", 0, 0, fnDate},
    {"Time", 0, 0, fnTime},
    {"Timer", 0, 0, fnTimer},
    {"Year", 1, 1, fnYear},
    {"Month", 1, 1, fnMonth},
    {"Day", 1, 1, fnDay},
    {"Hour", 1, 1, fnHour},
    {"Minute", 1, 1, fnMinute},
    {"Second", 1, 1, fnSecond},
    {"DateSerial", 3, 3, fnDateSerial},
    {"TimeSerial", 3, 3, fnTimeSerial},
    {"Eval", 1, 1, fnEval},
    {"Execute", 1, 1, fnExecute},
    {"ExecuteGlobal", 1, 1, fnExecuteGlobal},
    {"GetRef", 1, 1, fnGetRef},
    {"Err", 0, 0, fnErr},
    {"MsgBox", 1, 5, fnMsgBox},
    {"InputBox", 1, 7, fnInputBox},
    {"CreateObject", 1, 2, fnCreateObject},
    {"GetObject", 0, 2, fnGetObject},
    {"LoadPicture", 0, 1, fnLoadPicture},
    {"ScriptEngine", 0, 0, fnScriptEngine},
    {"ScriptEngineMajorVersion", 0, 0, fnMajor},
    {"ScriptEngineMinorVersion", 0, 0, fnMinor},
    {"ScriptEngineBuildVersion", 0, 0, fnBuild},
};

} // namespace

void registerCoreBuiltins(BuiltinRegistry& r) {
    r.add(std::span<const Builtin>(kCore));
    const BuiltinConstant constants[] = {
        {"vbCrLf", Value::string(u"\r\n")},
        {"vbNewLine", Value::string(u"\r\n")},
        {"vbCr", Value::string(u"\r")},
        {"vbLf", Value::string(u"\n")},
        {"vbTab", Value::string(u"\t")},
        {"vbFormFeed", Value::string(u"\f")},
        {"vbVerticalTab", Value::string(u"\v")},
        {"vbBack", Value::string(u"\b")},
        {"vbNullChar", Value::string(std::u16string(1, u'\0'))},
        {"vbNullString", Value::string(u"")},
        {"vbTrue", Value::integer(-1)},
        {"vbFalse", Value::integer(0)},
        {"vbUseDefault", Value::integer(-2)},
        {"vbObjectError", Value::lng(int32_t(0x80040000u))},
        {"vbBinaryCompare", Value::integer(0)},
        {"vbTextCompare", Value::integer(1)},
        {"vbDatabaseCompare", Value::integer(2)},
        {"vbEmpty", Value::integer(0)},
        {"vbNull", Value::integer(1)},
        {"vbInteger", Value::integer(2)},
        {"vbLong", Value::integer(3)},
        {"vbSingle", Value::integer(4)},
        {"vbDouble", Value::integer(5)},
        {"vbCurrency", Value::integer(6)},
        {"vbDate", Value::integer(7)},
        {"vbString", Value::integer(8)},
        {"vbObject", Value::integer(9)},
        {"vbError", Value::integer(10)},
        {"vbBoolean", Value::integer(11)},
        {"vbVariant", Value::integer(12)},
        {"vbDataObject", Value::integer(13)},
        {"vbDecimal", Value::integer(14)},
        {"vbByte", Value::integer(17)},
        {"vbArray", Value::integer(8192)},
        {"vbOKOnly", Value::integer(0)},
        {"vbOKCancel", Value::integer(1)},
        {"vbAbortRetryIgnore", Value::integer(2)},
        {"vbYesNoCancel", Value::integer(3)},
        {"vbYesNo", Value::integer(4)},
        {"vbRetryCancel", Value::integer(5)},
        {"vbCritical", Value::integer(16)},
        {"vbQuestion", Value::integer(32)},
        {"vbExclamation", Value::integer(48)},
        {"vbInformation", Value::integer(64)},
        {"vbDefaultButton1", Value::integer(0)},
        {"vbDefaultButton2", Value::integer(256)},
        {"vbDefaultButton3", Value::integer(512)},
        {"vbDefaultButton4", Value::integer(768)},
        {"vbApplicationModal", Value::integer(0)},
        {"vbSystemModal", Value::integer(4096)},
        {"vbOK", Value::integer(1)},
        {"vbCancel", Value::integer(2)},
        {"vbAbort", Value::integer(3)},
        {"vbRetry", Value::integer(4)},
        {"vbIgnore", Value::integer(5)},
        {"vbYes", Value::integer(6)},
        {"vbNo", Value::integer(7)},
        {"vbSunday", Value::integer(1)},
        {"vbMonday", Value::integer(2)},
        {"vbTuesday", Value::integer(3)},
        {"vbWednesday", Value::integer(4)},
        {"vbThursday", Value::integer(5)},
        {"vbFriday", Value::integer(6)},
        {"vbSaturday", Value::integer(7)},
        {"vbUseSystemDayOfWeek", Value::integer(0)},
        {"vbFirstJan1", Value::integer(1)},
        {"vbFirstFourDays", Value::integer(2)},
        {"vbFirstFullWeek", Value::integer(3)},
        {"vbGeneralDate", Value::integer(0)},
        {"vbLongDate", Value::integer(1)},
        {"vbShortDate", Value::integer(2)},
        {"vbLongTime", Value::integer(3)},
        {"vbShortTime", Value::integer(4)},
        {"vbBlack", Value::lng(0)},
        {"vbRed", Value::lng(0xFF)},
        {"vbGreen", Value::lng(0xFF00)},
        {"vbYellow", Value::lng(0xFFFF)},
        {"vbBlue", Value::lng(0xFF0000)},
        {"vbMagenta", Value::lng(0xFF00FF)},
        {"vbCyan", Value::lng(0xFFFF00)},
        {"vbWhite", Value::lng(0xFFFFFF)},
    };
    r.add(std::span<const BuiltinConstant>(constants));
}

} // namespace vbs

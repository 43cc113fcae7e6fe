#include "vbscript/convert.h"

#include "vbscript/text.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vbs {

namespace {

// Dates the classic runtime accepts: 1 January 100 to 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.0;

int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

const int64_t kEpoch = daysFromCivil(1899, 12, 30);

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char16_t lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

bool startsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lower(s[i]) != lower(prefix[i])) return false;
    return true;
}

[[noreturn]] void typeMismatch() {
    throw ScriptError(errc::TypeMismatch);
}

[[noreturn]] void overflow() {
    throw ScriptError(errc::Overflow);
}

// A value reduced to a number the integer conversions can round.
double numericOf(const Value& v) {
    switch (v.type()) {
    case Type::Empty:
        return 0;
    case Type::Null:
        throw ScriptError(errc::InvalidUseOfNull);
    case Type::Integer:
        return v.integerValue();
    case Type::Long:
        return v.longValue();
    case Type::Single:
        return v.singleValue();
    case Type::Double:
    case Type::Date:
        return v.doubleValue();
    case Type::Currency:
        return double(v.currencyValue()) / 10000.0;
    case Type::Boolean:
        return v.booleanValue() ? -1 : 0;
    case Type::Byte:
        return v.byteValue();
    case Type::String: {
        double d;
        if (parseNumber(v.stringValue(), d)) return d;
        // Conversions to numbers accept the Boolean words too.
        std::u16string_view t = trim(v.stringValue());
        if (t.size() == 4 && startsWithNoCase(t, u"true")) return -1;
        if (t.size() == 5 && startsWithNoCase(t, u"false")) return 0;
        typeMismatch();
    }
    case Type::Object:
        return numericOf(scalarOf(v));
    case Type::Ref:
    case Type::ElemRef:
        return numericOf(v.deref());
    default:
        typeMismatch();
    }
}

std::u16string ascii(const char* s) {
    std::u16string out;
    while (*s)
        out += char16_t(*s++);
    return out;
}

// Digits and decimal exponent of |d| rounded to `digits` significant digits.
std::u16string formatFloat(double d, int digits) {
    if (d == 0) return u"0";
    if (std::isnan(d)) return u"NaN";
    if (std::isinf(d)) return d > 0 ? u"1.#INF" : u"-1.#INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, d);
    // buf: [-]D.DDDDe[+-]XX
    std::string s(buf);
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    size_t e = s.find('e');
    int exponent = std::atoi(s.c_str() + e + 1);
    std::string mantissa;
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') mantissa += s[i];
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    std::string out;
    if (exponent < -4 || exponent >= digits) {
        out = mantissa.substr(0, 1);
        if (mantissa.size() > 1) out += "." + mantissa.substr(1);
        char ebuf[16];
        std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += ebuf;
    } else if (exponent < 0) {
        out = "0." + std::string(size_t(-exponent - 1), '0') + mantissa;
    } else if (size_t(exponent) + 1 >= mantissa.size()) {
        out = mantissa + std::string(size_t(exponent) + 1 - mantissa.size(), '0');
    } else {
        out =
            mantissa.substr(0, size_t(exponent) + 1) + "." + mantissa.substr(size_t(exponent) + 1);
    }
    if (negative) out.insert(out.begin(), '-');
    return ascii(out.c_str());
}

int monthFromName(std::u16string_view word) {
    static const char16_t* names[] = {u"january",   u"february", u"march",    u"april",
                                      u"may",       u"june",     u"july",     u"august",
                                      u"september", u"october",  u"november", u"december"};
    if (word.size() < 3) return 0;
    for (int i = 0; i < 12; ++i) {
        std::u16string_view name(names[i]);
        if (word.size() <= name.size() && startsWithNoCase(name, word)) return i + 1;
    }
    return 0;
}

// Day names may lead a date ("Monday, January 02, 2006"); they add nothing to it.
bool isDayName(std::u16string_view word) {
    static const char16_t* names[] = {u"sunday",   u"monday", u"tuesday", u"wednesday",
                                      u"thursday", u"friday", u"saturday"};
    if (word.size() < 3) return false;
    for (const char16_t* n : names) {
        std::u16string_view name(n);
        if (word.size() <= name.size() && startsWithNoCase(name, word)) return true;
    }
    return false;
}

int expandYear(int y, int digits) {
    if (digits <= 2) {
        return y < 30 ? 2000 + y : 1900 + y;
    }
    return y;
}

int currentYear() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_year + 1900;
}

} // namespace

double roundHalfEven(double d) {
    // The default rounding mode rounds halves to even, as the classic conversions do.
    return std::nearbyint(d);
}

Value scalarOf(const Value& value) {
    const Value& v = value.deref();
    if (!v.isObject()) return v;
    if (!v.objectValue()) throw ScriptError(errc::ObjectVariableNotSet);
    Value keep = v; // the call may overwrite the variable that holds the object
    Value result = keep.objectValue()->invoke(Object::kDefaultMember, Invoke::Get, {});
    if (result.isObject()) return scalarOf(result);
    return result;
}

double toDouble(const Value& v) {
    return numericOf(v);
}

float toSingle(const Value& v) {
    double d = numericOf(v);
    if (std::fabs(d) > 3.402823466e38) overflow();
    return float(d);
}

int32_t toLong(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Integer:
        return v.integerValue();
    case Type::Long:
        return v.longValue();
    case Type::Byte:
        return v.byteValue();
    case Type::Boolean:
        return v.booleanValue() ? -1 : 0;
    case Type::Empty:
        return 0;
    default:
        break;
    }
    double d = roundHalfEven(numericOf(v));
    if (!(d >= -2147483648.0 && d <= 2147483647.0)) overflow();
    return int32_t(d);
}

int16_t toInteger(const Value& v) {
    double d = roundHalfEven(numericOf(v));
    if (!(d >= -32768.0 && d <= 32767.0)) overflow();
    return int16_t(d);
}

uint8_t toByte(const Value& v) {
    double d = roundHalfEven(numericOf(v));
    if (!(d >= 0 && d <= 255)) overflow();
    return uint8_t(d);
}

int64_t toCurrency(const Value& value) {
    const Value& v = value.deref();
    if (v.type() == Type::Currency) return v.currencyValue();
    double d = numericOf(v) * 10000.0;
    d = roundHalfEven(d);
    if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)) overflow();
    return int64_t(d);
}

double toDate(const Value& value) {
    const Value& v = value.deref();
    double d;
    if (v.type() == Type::Date) return v.dateValue();
    if (v.type() == Type::String) {
        if (parseDate(v.stringValue(), d)) return d;
        if (!parseNumber(v.stringValue(), d)) typeMismatch();
    } else {
        d = numericOf(v);
    }
    if (!validDate(d)) overflow();
    return d;
}

bool toBool(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Boolean:
        return v.booleanValue();
    case Type::Empty:
        return false;
    case Type::Integer:
        return v.integerValue() != 0;
    case Type::Long:
        return v.longValue() != 0;
    case Type::String: {
        std::u16string_view t = trim(v.stringValue());
        if (t.size() == 4 && startsWithNoCase(t, u"true")) return true;
        if (t.size() == 5 && startsWithNoCase(t, u"false")) return false;
        // The form Write # gives Booleans in files.
        if (t.size() == 6 && startsWithNoCase(t, u"#true#")) return true;
        if (t.size() == 7 && startsWithNoCase(t, u"#false#")) return false;
        double d;
        if (parseNumber(t, d)) return d != 0;
        typeMismatch();
    }
    default:
        return numericOf(v) != 0;
    }
}

std::u16string formatInteger(int64_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(n));
    return ascii(buf);
}

std::u16string toString(const Value& value) {
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Empty:
        return {};
    case Type::Null:
        throw ScriptError(errc::InvalidUseOfNull);
    case Type::Integer:
        return formatInteger(v.integerValue());
    case Type::Long:
        return formatInteger(v.longValue());
    case Type::Byte:
        return formatInteger(v.byteValue());
    case Type::Single:
        return formatSingle(v.singleValue());
    case Type::Double:
        return formatDouble(v.doubleValue());
    case Type::Currency:
        return formatCurrency(v.currencyValue());
    case Type::Date:
        return formatDate(v.dateValue());
    case Type::Boolean:
        return v.booleanValue() ? u"True" : u"False";
    case Type::String:
        return v.stringValue();
    case Type::Error:
        return u"Error " + formatInteger(v.errorValue());
    case Type::Object:
        return toString(scalarOf(v));
    default:
        typeMismatch();
    }
}

bool parseNumber(std::u16string_view text, double& out) {
    std::u16string_view s = trim(text);
    if (s.empty()) return false;
    bool negative = false;
    if (s[0] == u'+' || s[0] == u'-') {
        negative = s[0] == u'-';
        s.remove_prefix(1);
        s = trim(s);
    }
    if (s.size() >= 2 && s[0] == u'&') {
        int base = 0;
        size_t i = 1;
        if (lower(s[1]) == u'h') {
            base = 16;
            ++i;
        } else if (lower(s[1]) == u'o') {
            base = 8;
            ++i;
        } else {
            base = 8;
        }
        if (i >= s.size()) return false;
        uint64_t n = 0;
        size_t digits = 0;
        for (; i < s.size(); ++i) {
            char16_t c = lower(s[i]);
            int dv;
            if (c >= u'0' && c <= u'9')
                dv = c - u'0';
            else if (c >= u'a' && c <= u'f')
                dv = c - u'a' + 10;
            else
                return false;
            if (dv >= base) return false;
            n = n * uint64_t(base) + uint64_t(dv);
            if (n > 0xFFFFFFFFull) return false;
            ++digits;
        }
        double d;
        if (n <= 0xFFFF && (base == 16 ? digits <= 4 : n <= 0xFFFF))
            d = double(int16_t(uint16_t(n)));
        else
            d = double(int32_t(uint32_t(n)));
        out = negative ? -d : d;
        return true;
    }
    std::string digits;
    size_t i = 0;
    bool any = false;
    while (i < s.size() && ((s[i] >= u'0' && s[i] <= u'9') || (s[i] == u',' && any))) {
        if (s[i] != u',') {
            digits += char(s[i]);
            any = true;
        }
        ++i;
    }
    if (i < s.size() && s[i] == u'.') {
        digits += '.';
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            digits += char(s[i]);
            any = true;
            ++i;
        }
    }
    if (!any) return false;
    if (i < s.size() && (lower(s[i]) == u'e' || lower(s[i]) == u'd')) {
        std::string exp = "e";
        size_t j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp += char(s[j++]);
        size_t start = j;
        while (j < s.size() && s[j] >= u'0' && s[j] <= u'9')
            exp += char(s[j++]);
        if (j == start) return false;
        digits += exp;
        i = j;
    }
    if (i != s.size()) return false;
    double d = std::strtod(digits.c_str(), nullptr);
    if (std::isinf(d)) return false;
    out = negative ? -d : d;
    return true;
}

double dateFromParts(int year, int month, int day) {
    // Months past December roll into the next years, as DateSerial does.
    int64_t y = year;
    int64_t m = month - 1;
    y += m >= 0 ? m / 12 : -((11 - m) / 12);
    m = ((m % 12) + 12) % 12;
    int64_t days = daysFromCivil(y, m + 1, 1) + (day - 1) - kEpoch;
    return double(days);
}

double timeFromParts(int hour, int minute, int second) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

bool validDate(double d) {
    // The whole part is the day, so times on the first and last days stretch the range.
    return d > kMinDate - 1 && d < kMaxDate + 1;
}

void dateToParts(double date, int& year, int& month, int& day, int& hour, int& minute,
                 int& second) {
    double whole = std::trunc(date);
    double fraction = std::fabs(date - whole);
    auto seconds = int64_t(std::llround(fraction * 86400.0));
    auto days = int64_t(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days; // the whole part is the day even below zero, so the next midnight is one more
    }
    civilFromDays(days + kEpoch, year, month, day);
    hour = int(seconds / 3600);
    minute = int(seconds / 60 % 60);
    second = int(seconds % 60);
}

std::u16string formatDate(double d) {
    int y, m, day, h, mi, s;
    dateToParts(d, y, m, day, h, mi, s);
    char buf[64];
    std::string out;
    bool hasDate = std::trunc(d) != 0;
    bool hasTime = h != 0 || mi != 0 || s != 0;
    if (hasDate || !hasTime) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d", m, day, y);
        out = buf;
    }
    if (!hasDate || hasTime) {
        if (!hasDate && !hasTime) out.clear();
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, mi, s,
                      h < 12 ? "AM" : "PM");
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return ascii(out.c_str());
}

std::u16string formatDouble(double d) {
    return formatFloat(d, 15);
}

std::u16string formatSingle(float f) {
    return formatFloat(double(f), 7);
}

std::u16string formatCurrency(int64_t scaled) {
    bool negative = scaled < 0;
    uint64_t a = negative ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(a / 10000));
    std::string out = buf;
    unsigned frac = unsigned(a % 10000);
    if (frac) {
        std::snprintf(buf, sizeof buf, ".%04u", frac);
        std::string f = buf;
        while (f.back() == '0')
            f.pop_back();
        out += f;
    }
    if (negative) out.insert(out.begin(), '-');
    return ascii(out.c_str());
}

bool parseDate(std::u16string_view text, double& out) {
    std::u16string_view s = trim(text);
    if (s.empty()) return false;
    // Split into numbers, words and separators.
    struct Part {
        bool number;
        int value;
        int digits;
        std::u16string word;
        char16_t sepAfter;
    };
    std::vector<Part> parts;
    size_t i = 0;
    while (i < s.size()) {
        char16_t c = s[i];
        if (c >= u'0' && c <= u'9') {
            int v = 0, n = 0;
            while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
                if (n < 6) v = v * 10 + (s[i] - u'0');
                ++n;
                ++i;
            }
            parts.push_back({true, v, n, {}, 0});
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            std::u16string w;
            while (i < s.size() &&
                   ((s[i] >= u'a' && s[i] <= u'z') || (s[i] >= u'A' && s[i] <= u'Z')))
                w += lower(s[i++]);
            parts.push_back({false, 0, 0, w, 0});
        } else if (c == u'/' || c == u'-' || c == u':' || c == u',' || c == u'.' || isBlank(c)) {
            if (!parts.empty() && (parts.back().sepAfter == 0 || isBlank(parts.back().sepAfter)))
                parts.back().sepAfter = c;
            ++i;
        } else {
            return false;
        }
    }
    // Time: numbers joined by ':' and an optional AM/PM word.
    int hour = -1, minute = 0, second = 0;
    int ampm = 0;
    std::vector<Part> dateParts;
    for (size_t k = 0; k < parts.size(); ++k) {
        const Part& p = parts[k];
        if (p.number && p.sepAfter == u':' && hour < 0) {
            hour = p.value;
            if (k + 1 >= parts.size() || !parts[k + 1].number) return false;
            minute = parts[++k].value;
            if (parts[k].sepAfter == u':') {
                if (k + 1 >= parts.size() || !parts[k + 1].number) return false;
                second = parts[++k].value;
            }
            continue;
        }
        auto isMeridiem = [](const Part& q) {
            return !q.number &&
                   (q.word == u"am" || q.word == u"a" || q.word == u"pm" || q.word == u"p");
        };
        if (p.number && hour < 0 && k + 1 < parts.size() && isMeridiem(parts[k + 1])) {
            hour = p.value; // "2 PM"
            continue;
        }
        if (isMeridiem(p)) {
            if (hour < 0) return false;
            ampm = p.word[0] == u'a' ? 1 : 2;
            continue;
        }
        if (!p.number && isDayName(p.word)) continue;
        dateParts.push_back(p);
    }
    if (hour >= 0) {
        if (ampm) {
            if (hour < 1 || hour > 12) return false;
            hour = hour % 12 + (ampm == 2 ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59) return false;
    }
    double date = 0;
    if (!dateParts.empty()) {
        int y = 0, m = 0, d = 0, yDigits = 4;
        std::vector<int> nums;
        std::vector<int> numDigits;
        int month = 0;
        for (const Part& p : dateParts) {
            if (p.number) {
                nums.push_back(p.value);
                numDigits.push_back(p.digits);
            } else {
                int mm = monthFromName(p.word);
                if (!mm || month) return false;
                month = mm;
            }
        }
        if (month) {
            // "January 2, 2003", "2 January 2003", "January 2"
            if (nums.empty() || nums.size() > 2) return false;
            m = month;
            if (nums.size() == 2) {
                if (numDigits[0] >= 3) {
                    y = nums[0];
                    d = nums[1];
                    yDigits = numDigits[0];
                } else {
                    d = nums[0];
                    y = nums[1];
                    yDigits = numDigits[1];
                }
            } else if (numDigits[0] >= 3) {
                y = nums[0]; // "January 2003": the first of the month
                yDigits = numDigits[0];
                d = 1;
            } else {
                d = nums[0];
                y = currentYear();
            }
        } else if (nums.size() == 3) {
            if (numDigits[0] >= 3) { // year first
                y = nums[0];
                m = nums[1];
                d = nums[2];
                yDigits = numDigits[0];
            } else {
                m = nums[0];
                d = nums[1];
                y = nums[2];
                yDigits = numDigits[2];
                if (m > 12 && d <= 12) std::swap(m, d);
            }
        } else if (nums.size() == 2) {
            m = nums[0];
            d = nums[1];
            y = currentYear();
            if (m > 12 && d <= 12) std::swap(m, d);
        } else {
            return false;
        }
        y = expandYear(y, yDigits);
        if (m < 1 || m > 12 || d < 1 || y < 100 || y > 9999) return false;
        static const int mdays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        if (d > mdays[m - 1] || (m == 2 && d == 29 && !leap)) return false;
        date = dateFromParts(y, m, d);
    } else if (hour < 0) {
        return false;
    }
    double time = hour >= 0 ? timeFromParts(hour, minute, second) : 0;
    out = date < 0 ? date - time : date + time;
    return true;
}

} // namespace vbs

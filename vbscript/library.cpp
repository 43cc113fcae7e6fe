// The rest of the built-in library: calendar arithmetic (DateAdd, DateDiff, DatePart...), the
// Format functions, the byte-string variants, Filter, Escape, RGB and the locale functions.
// Formats are those of English (United States) whatever the machine's locale.

#include "vbscript/builtins.h"
#include "vbscript/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vbs {

namespace {

using Args = std::span<Value>;

[[noreturn]] void invalidCall() {
    throw ScriptError(errc::InvalidCall);
}

bool given(const Args& a, size_t i) {
    return i < a.size() && a[i].type() != Type::Error;
}

std::u16string ascii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

// ---- Calendar ----------------------------------------------------------------------------

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

// A date as a day number and the seconds since that day's midnight. The whole part of a date
// number is its day even before 1899, where the fraction counts the other way (-1.25 is 29
// December 1899, 6 AM), so arithmetic works on this linear form.
struct Moment {
    int64_t day;
    int64_t second;
    int64_t linear() const { return day * 86400 + second; }
};

Moment momentOf(double d) {
    double whole = std::trunc(d);
    Moment m{int64_t(whole), int64_t(std::llround(std::fabs(d - whole) * 86400.0))};
    if (m.second >= 86400) {
        m.second -= 86400;
        ++m.day;
    }
    return m;
}

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

double dateOfLinear(int64_t seconds) {
    int64_t day = floorDiv(seconds, 86400);
    double fraction = double(seconds - day * 86400) / 86400.0;
    return day < 0 ? double(day) - fraction : double(day) + fraction;
}

double checkedDate(double d) {
    if (!validDate(d)) invalidCall();
    return d;
}

// 1 = Sunday .. 7 = Saturday; day 0 (30 December 1899) was a Saturday.
int weekdayOfDay(int64_t day) {
    return int(((day % 7) + 7 + 6) % 7) + 1;
}

int firstDayArg(const Args& a, size_t i) {
    if (!given(a, i)) return 1;
    int32_t f = toLong(a[i]);
    if (f < 0 || f > 7) invalidCall();
    return f == 0 ? 1 : f; // the system's first day: Sunday in the United States
}

int firstWeekArg(const Args& a, size_t i) {
    if (!given(a, i)) return 1;
    int32_t f = toLong(a[i]);
    if (f < 0 || f > 3) invalidCall();
    return f == 0 ? 1 : f;
}

// Position of a day in its week counted from `firstDay` (0..6).
int weekOffset(int64_t day, int firstDay) {
    return (weekdayOfDay(day) - firstDay + 7) % 7;
}

int64_t dayNumber(int y, int m, int d) {
    return int64_t(dateFromParts(y, m, d));
}

struct Civil {
    int year, month, day, hour, minute, second;
};

Civil civilOf(double d) {
    Civil c{};
    dateToParts(d, c.year, c.month, c.day, c.hour, c.minute, c.second);
    return c;
}

// The first day of week 1 of `year`.
int64_t firstWeekStart(int year, int firstDay, int firstWeek) {
    int64_t jan1 = dayNumber(year, 1, 1);
    int offset = weekOffset(jan1, firstDay);
    int64_t start = jan1 - offset;
    if (firstWeek == 2 && 7 - offset < 4) start += 7; // the first week with four days
    if (firstWeek == 3 && offset != 0) start += 7;    // the first full week
    return start;
}

int weekOfYear(int64_t day, int year, int firstDay, int firstWeek) {
    int64_t start = firstWeekStart(year, firstDay, firstWeek);
    if (day < start) start = firstWeekStart(year - 1, firstDay, firstWeek);
    return int((day - start) / 7) + 1;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalOf(const Value& v) {
    std::string s = foldCase(toUtf8(toString(v)));
    if (s == "yyyy") return Interval::Year;
    if (s == "q") return Interval::Quarter;
    if (s == "m") return Interval::Month;
    if (s == "y") return Interval::DayOfYear;
    if (s == "d") return Interval::Day;
    if (s == "w") return Interval::Weekday;
    if (s == "ww") return Interval::Week;
    if (s == "h") return Interval::Hour;
    if (s == "n") return Interval::Minute;
    if (s == "s") return Interval::Second;
    invalidCall();
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

double addMonths(double date, int64_t months) {
    Civil c = civilOf(date);
    int64_t total = int64_t(c.year) * 12 + (c.month - 1) + months;
    int64_t y = floorDiv(total, 12);
    int m = int(total - y * 12) + 1;
    if (y < 100 || y > 9999) invalidCall();
    int d = std::min(c.day, daysInMonth(int(y), m));
    Moment t = momentOf(date);
    return dateOfLinear(dayNumber(int(y), m, d) * 86400 + t.second);
}

Value fnDateAdd(CallContext&, Args a) {
    Interval iv = intervalOf(a[0]);
    double n = roundHalfEven(toDouble(a[1]));
    if (std::fabs(n) > 1e10) invalidCall();
    auto count = int64_t(n);
    double date = toDate(a[2]);
    int64_t linear = momentOf(date).linear();
    switch (iv) {
    case Interval::Year:
        return Value::date(checkedDate(addMonths(date, count * 12)));
    case Interval::Quarter:
        return Value::date(checkedDate(addMonths(date, count * 3)));
    case Interval::Month:
        return Value::date(checkedDate(addMonths(date, count)));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        return Value::date(checkedDate(dateOfLinear(linear + count * 86400)));
    case Interval::Week:
        return Value::date(checkedDate(dateOfLinear(linear + count * 7 * 86400)));
    case Interval::Hour:
        return Value::date(checkedDate(dateOfLinear(linear + count * 3600)));
    case Interval::Minute:
        return Value::date(checkedDate(dateOfLinear(linear + count * 60)));
    case Interval::Second:
        return Value::date(checkedDate(dateOfLinear(linear + count)));
    }
    invalidCall();
}

// Intervals crossed between two dates: the difference of the interval numbers, so 23:59 to
// 00:01 is one day and one hour.
Value fnDateDiff(CallContext&, Args a) {
    Interval iv = intervalOf(a[0]);
    if (a[1].isNull() || a[2].isNull()) return Value::null();
    double d1 = toDate(a[1]), d2 = toDate(a[2]);
    int firstDay = firstDayArg(a, 3);
    firstWeekArg(a, 4);
    Moment m1 = momentOf(d1), m2 = momentOf(d2);
    Civil c1 = civilOf(d1), c2 = civilOf(d2);
    int64_t r = 0;
    switch (iv) {
    case Interval::Year:
        r = c2.year - c1.year;
        break;
    case Interval::Quarter:
        r = (int64_t(c2.year) * 4 + (c2.month - 1) / 3) -
            (int64_t(c1.year) * 4 + (c1.month - 1) / 3);
        break;
    case Interval::Month:
        r = (int64_t(c2.year) * 12 + c2.month) - (int64_t(c1.year) * 12 + c1.month);
        break;
    case Interval::DayOfYear:
    case Interval::Day:
        r = m2.day - m1.day;
        break;
    case Interval::Weekday:
        r = (m2.day - m1.day) / 7;
        break;
    case Interval::Week:
        r = ((m2.day - weekOffset(m2.day, firstDay)) - (m1.day - weekOffset(m1.day, firstDay))) / 7;
        break;
    case Interval::Hour:
        r = floorDiv(m2.linear(), 3600) - floorDiv(m1.linear(), 3600);
        break;
    case Interval::Minute:
        r = floorDiv(m2.linear(), 60) - floorDiv(m1.linear(), 60);
        break;
    case Interval::Second:
        r = m2.linear() - m1.linear();
        break;
    }
    if (r < INT32_MIN || r > INT32_MAX) throw ScriptError(errc::Overflow);
    return Value::lng(int32_t(r));
}

Value fnDatePart(CallContext&, Args a) {
    Interval iv = intervalOf(a[0]);
    if (a[1].isNull()) return Value::null();
    double d = toDate(a[1]);
    int firstDay = firstDayArg(a, 2);
    int firstWeek = firstWeekArg(a, 3);
    Civil c = civilOf(d);
    int64_t day = momentOf(d).day;
    int r = 0;
    switch (iv) {
    case Interval::Year:
        r = c.year;
        break;
    case Interval::Quarter:
        r = (c.month - 1) / 3 + 1;
        break;
    case Interval::Month:
        r = c.month;
        break;
    case Interval::DayOfYear:
        r = int(day - dayNumber(c.year, 1, 1)) + 1;
        break;
    case Interval::Day:
        r = c.day;
        break;
    case Interval::Weekday:
        r = weekOffset(day, firstDay) + 1;
        break;
    case Interval::Week:
        r = weekOfYear(day, c.year, firstDay, firstWeek);
        break;
    case Interval::Hour:
        r = c.hour;
        break;
    case Interval::Minute:
        r = c.minute;
        break;
    case Interval::Second:
        r = c.second;
        break;
    }
    return Value::integer(int16_t(r));
}

Value fnWeekday(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    int64_t day = momentOf(toDate(a[0])).day;
    return Value::integer(int16_t(weekOffset(day, firstDayArg(a, 1)) + 1));
}

Value fnWeekdayName(CallContext&, Args a) {
    int32_t n = toLong(a[0]);
    bool abbreviate = given(a, 1) && toBool(a[1]);
    int firstDay = firstDayArg(a, 2);
    if (n < 1 || n > 7) invalidCall();
    std::string name = kDays[(n - 1 + firstDay - 1) % 7];
    return Value::string(ascii(abbreviate ? name.substr(0, 3) : name));
}

Value fnMonthName(CallContext&, Args a) {
    int32_t n = toLong(a[0]);
    bool abbreviate = given(a, 1) && toBool(a[1]);
    if (n < 1 || n > 12) invalidCall();
    std::string name = kMonths[n - 1];
    return Value::string(ascii(abbreviate ? name.substr(0, 3) : name));
}

Value fnDateValue(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    return Value::date(double(momentOf(toDate(a[0])).day));
}

Value fnTimeValue(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    return Value::date(double(momentOf(toDate(a[0])).second) / 86400.0);
}

std::string twelveHour(const Civil& c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", c.hour % 12 == 0 ? 12 : c.hour % 12, c.minute,
                  c.second, c.hour < 12 ? "AM" : "PM");
    return buf;
}

Value fnFormatDateTime(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    double d = toDate(a[0]);
    int32_t format = given(a, 1) ? toLong(a[1]) : 0;
    Civil c = civilOf(d);
    char buf[96];
    switch (format) {
    case 0:
        return Value::string(formatDate(d));
    case 1: // "dddd, MMMM dd, yyyy"
        std::snprintf(buf, sizeof buf, "%s, %s %02d, %d", kDays[weekdayOfDay(momentOf(d).day) - 1],
                      kMonths[c.month - 1], c.day, c.year);
        return Value::string(ascii(buf));
    case 2:
        std::snprintf(buf, sizeof buf, "%d/%d/%d", c.month, c.day, c.year);
        return Value::string(ascii(buf));
    case 3:
        return Value::string(ascii(twelveHour(c)));
    case 4:
        std::snprintf(buf, sizeof buf, "%02d:%02d", c.hour, c.minute);
        return Value::string(ascii(buf));
    default:
        invalidCall();
    }
}

// ---- Number formats ----------------------------------------------------------------------

// |value| in fixed notation with `decimals` places, rounded half away from zero from its
// fifteen significant digits (so 0.125 gives 0.13, 2.675 gives 2.68).
struct Fixed {
    std::string integer;  // no leading zeros; empty for a zero integer part
    std::string fraction; // exactly `decimals` digits
    bool zero = true;
};

Fixed fixedDigits(double value, int decimals) {
    double a = std::fabs(value);
    std::string digits;
    int intLen = 0;
    if (a != 0) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%.14e", a);
        digits += buf[0];
        digits.append(buf + 2, 14);
        intLen = std::atoi(std::strchr(buf, 'e') + 1) + 1;
    }
    int keep = intLen + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (size_t(keep) < digits.size()) {
        bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[size_t(i)] == '9')
                digits[size_t(i--)] = '0';
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                ++intLen;
            } else {
                ++digits[size_t(i)];
            }
        }
    }
    Fixed f;
    for (int i = 0; i < intLen; ++i)
        f.integer += size_t(i) < digits.size() ? digits[size_t(i)] : '0';
    for (int k = 0; k < decimals; ++k) {
        int i = intLen + k;
        f.fraction += i >= 0 && size_t(i) < digits.size() ? digits[size_t(i)] : '0';
    }
    for (char c : digits)
        if (c != '0') f.zero = false;
    return f;
}

// A tri-state argument: vbTrue (-1), vbFalse (0) or vbUseDefault (-2).
bool tristate(const Args& a, size_t i, bool fallback) {
    if (!given(a, i)) return fallback;
    int32_t v = toLong(a[i]);
    if (v == -2) return fallback;
    return v != 0;
}

struct NumberStyle {
    int decimals;
    bool leadingDigit;
    bool parens;
    bool group;
};

NumberStyle styleOf(const Args& a, bool parensByDefault) {
    int32_t decimals = given(a, 1) ? toLong(a[1]) : -1;
    if (decimals < -1 || decimals > 99) invalidCall();
    return {decimals == -1 ? 2 : decimals, tristate(a, 2, true), tristate(a, 3, parensByDefault),
            tristate(a, 4, true)};
}

// The number without its sign, and whether it is below zero once rounded.
std::string formatMagnitude(double value, const NumberStyle& s, bool& negative) {
    Fixed f = fixedDigits(value, s.decimals);
    negative = value < 0 && !f.zero;
    std::string integer = f.integer;
    if (s.group)
        for (int i = int(integer.size()) - 3; i > 0; i -= 3)
            integer.insert(size_t(i), 1, ',');
    if (integer.empty() && (s.leadingDigit || s.decimals == 0)) integer = "0";
    if (s.decimals > 0) integer += "." + f.fraction;
    return integer;
}

std::u16string signed_(std::string body, bool negative, bool parens) {
    if (!negative) return ascii(body);
    return ascii(parens ? "(" + body + ")" : "-" + body);
}

Value fnFormatNumber(CallContext&, Args a) {
    NumberStyle s = styleOf(a, false);
    bool negative;
    std::string body = formatMagnitude(toDouble(a[0]), s, negative);
    return Value::string(signed_(body, negative, s.parens));
}

Value fnFormatCurrency(CallContext&, Args a) {
    NumberStyle s = styleOf(a, true);
    bool negative;
    std::string body = "$" + formatMagnitude(toDouble(a[0]), s, negative);
    return Value::string(signed_(body, negative, s.parens));
}

Value fnFormatPercent(CallContext&, Args a) {
    NumberStyle s = styleOf(a, false);
    bool negative;
    std::string body = formatMagnitude(toDouble(a[0]) * 100.0, s, negative) + "%";
    return Value::string(signed_(body, negative, s.parens));
}

// ---- Byte strings ------------------------------------------------------------------------
// Strings hold UTF-16 units, two bytes each; byte counts that fall inside a character are taken
// down to whole characters.

Value fnLenB(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    return Value::lng(int32_t(toString(a[0]).size() * 2));
}

int32_t byteCount(const Value& v) {
    int32_t n = toLong(v);
    if (n < 0) invalidCall();
    return n;
}

Value fnLeftB(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = toString(a[0]);
    size_t n = size_t(byteCount(a[1])) / 2;
    return Value::string(s.substr(0, std::min(n, s.size())));
}

Value fnRightB(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = toString(a[0]);
    size_t n = std::min(size_t(byteCount(a[1])) / 2, s.size());
    return Value::string(s.substr(s.size() - n));
}

Value fnMidB(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = toString(a[0]);
    int32_t start = toLong(a[1]);
    if (start < 1) invalidCall();
    size_t from = size_t(start - 1) / 2;
    if (from >= s.size()) return Value::string(u"");
    size_t n = given(a, 2) ? size_t(byteCount(a[2])) / 2 : s.size();
    return Value::string(s.substr(from, std::min(n, s.size() - from)));
}

Value fnInStrB(CallContext&, Args a) {
    size_t i = 0;
    int32_t start = 1;
    if (a.size() >= 3) {
        if (a[0].isNull()) throw ScriptError(errc::InvalidUseOfNull);
        start = toLong(a[0]);
        if (start < 1) invalidCall();
        i = 1;
    }
    if (a[i].isNull() || a[i + 1].isNull()) return Value::null();
    std::u16string s = toString(a[i]), find = toString(a[i + 1]);
    size_t from = size_t(start - 1) / 2;
    if (from > s.size()) return Value::lng(0);
    if (find.empty()) return Value::lng(start);
    size_t pos = s.find(find, from);
    return Value::lng(pos == std::u16string::npos ? 0 : int32_t(pos * 2 + 1));
}

Value fnAscB(CallContext&, Args a) {
    std::u16string s = toString(a[0]);
    if (s.empty()) invalidCall();
    return Value::integer(int16_t(s[0] & 0xFF));
}

Value fnChrB(CallContext&, Args a) {
    int32_t n = toLong(a[0]);
    if (n < 0 || n > 255) invalidCall();
    return Value::string(std::u16string(1, char16_t(n)));
}

// ---- Other strings -----------------------------------------------------------------------

char16_t foldChar(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return char16_t(c + 32);
    return c;
}

Value fnFilter(CallContext&, Args a) {
    if (!a[0].isArray()) throw ScriptError(errc::TypeMismatch);
    const Array* arr = a[0].arrayValue();
    if (arr->dimensions() != 1) throw ScriptError(errc::TypeMismatch);
    if (a[1].isNull()) throw ScriptError(errc::InvalidUseOfNull);
    std::u16string find = toString(a[1]);
    bool include = !given(a, 2) || toBool(a[2]);
    int32_t mode = given(a, 3) ? toLong(a[3]) : 0;
    if (mode != 0 && mode != 1) invalidCall();
    bool text = mode == 1;
    if (text)
        for (char16_t& c : find)
            c = foldChar(c);
    std::vector<Value> out;
    for (size_t i = 0; i < arr->size(); ++i) {
        const Value& v = arr->data()[i];
        if (v.isNull()) throw ScriptError(errc::TypeMismatch);
        std::u16string s = toString(v);
        std::u16string hay = s;
        if (text)
            for (char16_t& c : hay)
                c = foldChar(c);
        if ((hay.find(find) != std::u16string::npos) == include)
            out.push_back(Value::string(std::move(s)));
    }
    return Value::array(Array::fromValues(std::move(out)));
}

bool unreserved(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'@' || c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

Value fnEscape(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = toString(a[0]), out;
    char buf[8];
    for (char16_t c : s) {
        if (unreserved(c)) {
            out += c;
            continue;
        }
        if (c < 256)
            std::snprintf(buf, sizeof buf, "%%%02X", unsigned(c));
        else
            std::snprintf(buf, sizeof buf, "%%u%04X", unsigned(c));
        out += ascii(buf);
    }
    return Value::string(std::move(out));
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Reads `count` hex digits at `i`; -1 when they are not all there.
int hexAt(const std::u16string& s, size_t i, size_t count) {
    if (i + count > s.size()) return -1;
    int v = 0;
    for (size_t k = 0; k < count; ++k) {
        int d = hexDigit(s[i + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

Value fnUnescape(CallContext&, Args a) {
    if (a[0].isNull()) return Value::null();
    std::u16string s = toString(a[0]), out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'%') {
            int v;
            if (i + 1 < s.size() && s[i + 1] == u'u' && (v = hexAt(s, i + 2, 4)) >= 0) {
                out += char16_t(v);
                i += 5;
                continue;
            }
            if ((v = hexAt(s, i + 1, 2)) >= 0) {
                out += char16_t(v);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return Value::string(std::move(out));
}

// ---- Colours and the locale --------------------------------------------------------------

int32_t colourPart(const Value& v) {
    int32_t n = toLong(v);
    if (n < 0) invalidCall();
    return std::min(n, 255);
}

Value fnRGB(CallContext&, Args a) {
    return Value::lng(colourPart(a[0]) | colourPart(a[1]) << 8 | colourPart(a[2]) << 16);
}

constexpr int32_t kUsEnglish = 1033;

Value fnGetLocale(CallContext&, Args) {
    return Value::lng(kUsEnglish);
}

// Formats stay those of the United States whatever is asked; the previous locale is returned as
// the function does.
Value fnSetLocale(CallContext&, Args a) {
    if (given(a, 0) && !a[0].isString()) {
        int32_t id = toLong(a[0]);
        if (id < 0) invalidCall();
    }
    return Value::lng(kUsEnglish);
}

const Builtin kLibrary[] = {
    {"DateAdd", 3, 3, fnDateAdd},
    {"DateDiff", 3, 5, fnDateDiff},
    {"DatePart", 2, 4, fnDatePart},
    {"Weekday", 1, 2, fnWeekday},
    {"WeekdayName", 1, 3, fnWeekdayName},
    {"MonthName", 1, 2, fnMonthName},
    {"DateValue", 1, 1, fnDateValue},
    {"TimeValue", 1, 1, fnTimeValue},
    {"FormatDateTime", 1, 2, fnFormatDateTime},
    {"FormatNumber", 1, 5, fnFormatNumber},
    {"FormatCurrency", 1, 5, fnFormatCurrency},
    {"FormatPercent", 1, 5, fnFormatPercent},
    {"LenB", 1, 1, fnLenB},
    {"LeftB", 2, 2, fnLeftB},
    {"RightB", 2, 2, fnRightB},
    {"MidB", 2, 3, fnMidB},
    {"InStrB", 2, 4, fnInStrB},
    {"AscB", 1, 1, fnAscB},
    {"ChrB", 1, 1, fnChrB},
    {"Filter", 2, 4, fnFilter},
    {"Escape", 1, 1, fnEscape},
    {"Unescape", 1, 1, fnUnescape},
    {"RGB", 3, 3, fnRGB},
    {"GetLocale", 0, 0, fnGetLocale},
    {"SetLocale", 0, 1, fnSetLocale},
};

} // namespace

void registerLibraryBuiltins(BuiltinRegistry& r) {
    r.add(std::span<const Builtin>(kLibrary));
    const BuiltinConstant constants[] = {
        {"vbUseSystem", Value::integer(0)},           {"vbMsgBoxHelpButton", Value::lng(16384)},
        {"vbMsgBoxSetForeground", Value::lng(65536)}, {"vbMsgBoxRight", Value::lng(524288)},
        {"vbMsgBoxRtlReading", Value::lng(1048576)},
    };
    r.add(std::span<const BuiltinConstant>(constants));
}

} // namespace vbs

#include "platform/core/records.h"

#include "platform/core/cp1252.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace tv {

namespace {

enum class NumberParse { Ok, NotNumber, Overflow };

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

QByteArrayView trimmed(QByteArrayView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

bool equalsNoCase(QByteArrayView s, const char* word) {
    const qsizetype n = qsizetype(std::strlen(word));
    if (s.size() != n) return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != word[i]) return false;
    }
    return true;
}

// "&H1F", "&O17", "&17": up to 16 bits the value is a signed Integer (&HFFFF = -1), up to 32
// bits a signed Long; a trailing '&' forces Long.
NumberParse parseRadix(QByteArrayView s, double& out) {
    qsizetype p = 1;
    int base = 8;
    if (p < s.size() && (s[p] == 'H' || s[p] == 'h')) {
        base = 16;
        ++p;
    } else if (p < s.size() && (s[p] == 'O' || s[p] == 'o')) {
        ++p;
    }
    bool forceLong = false;
    qsizetype end = s.size();
    if (end > p && s[end - 1] == '&') {
        forceLong = true;
        --end;
    }
    if (p >= end) return NumberParse::NotNumber;
    quint64 v = 0;
    for (; p < end; ++p) {
        const char c = s[p];
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return NumberParse::NotNumber;
        if (digit >= base) return NumberParse::NotNumber;
        v = v * quint64(base) + quint64(digit);
        if (v > 0xFFFFFFFFull) return NumberParse::Overflow;
    }
    if (!forceLong && v <= 0xFFFF)
        out = double(qint16(quint16(v)));
    else
        out = double(qint32(quint32(v)));
    return NumberParse::Ok;
}

// A numeric field: [+|-] digits [. digits] [E|D [+|-] digits], or a radix literal.
NumberParse parseNumber(QByteArrayView s, double& out) {
    s = trimmed(s);
    if (s.isEmpty()) return NumberParse::NotNumber;
    if (s[0] == '&') return parseRadix(s, out);

    const qsizetype n = s.size();
    qsizetype p = 0;
    if (s[p] == '+' || s[p] == '-') ++p;
    const qsizetype mantissaStart = p;
    int digits = 0;
    while (p < n && isDigit(s[p])) {
        ++p;
        ++digits;
    }
    if (p < n && s[p] == '.') {
        ++p;
        while (p < n && isDigit(s[p])) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0) return NumberParse::NotNumber;
    const qsizetype mantissaEnd = p;
    bool negativeExponent = false;
    if (p < n && (s[p] == 'E' || s[p] == 'e' || s[p] == 'D' || s[p] == 'd')) {
        ++p;
        if (p < n && (s[p] == '+' || s[p] == '-')) negativeExponent = s[p++] == '-';
        if (p >= n || !isDigit(s[p])) return NumberParse::NotNumber;
        while (p < n && isDigit(s[p]))
            ++p;
    }
    if (p != n) return NumberParse::NotNumber;

    // from_chars takes no '+' and no 'D' exponent; rebuild the text it understands.
    std::string text;
    text.reserve(size_t(n) + 1);
    if (s[0] == '-') text += '-';
    text.append(s.data() + mantissaStart, size_t(mantissaEnd - mantissaStart));
    if (mantissaEnd < n) {
        text += 'e';
        text.append(s.data() + mantissaEnd + 1, size_t(n - mantissaEnd - 1));
    }
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        if (!negativeExponent) return NumberParse::Overflow;
        v = s[0] == '-' ? -0.0 : 0.0;
    } else if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        return NumberParse::NotNumber;
    }
    out = v;
    return NumberParse::Ok;
}

// Reads an unsigned decimal run at p; false when there is none.
bool readUInt(QByteArrayView s, qsizetype& p, int& out, int maxDigits = 9) {
    const qsizetype start = p;
    int v = 0;
    while (p < s.size() && isDigit(s[p]) && p - start < maxDigits)
        v = v * 10 + (s[p++] - '0');
    out = v;
    return p > start;
}

bool parseTime(QByteArrayView s, qsizetype& p, QTime& out) {
    int h, m, sec = 0;
    if (!readUInt(s, p, h, 2) || p >= s.size() || s[p++] != ':') return false;
    if (!readUInt(s, p, m, 2)) return false;
    if (p < s.size() && s[p] == ':') {
        ++p;
        if (!readUInt(s, p, sec, 2)) return false;
    }
    out = QTime(h, m, sec);
    return out.isValid();
}

// "yyyy-mm-dd hh:mm:ss", "yyyy-mm-dd" or "hh:mm:ss" (the text between the #s).
bool parseDate(QByteArrayView s, QDateTime& out) {
    qsizetype p = 0;
    QDate date = classicZeroDate();
    QTime time(0, 0);
    int first;
    if (!readUInt(s, p, first, 4)) return false;
    if (p < s.size() && s[p] == '-') {
        int month, day;
        ++p;
        if (!readUInt(s, p, month, 2) || p >= s.size() || s[p++] != '-') return false;
        if (!readUInt(s, p, day, 2)) return false;
        date = QDate(first, month, day);
        if (!date.isValid()) return false;
        if (p < s.size()) {
            if (!isBlank(s[p])) return false;
            while (p < s.size() && isBlank(s[p]))
                ++p;
            if (!parseTime(s, p, time)) return false;
        }
    } else {
        p = 0;
        if (!parseTime(s, p, time)) return false;
    }
    if (p != s.size()) return false;
    // In UTC every date and time exists; in local time those in a daylight-saving gap do not.
    out = QDateTime(date, time, Qt::UTC);
    return true;
}

// #TRUE#, #FALSE#, #NULL#, #ERROR n# or a date; false for anything else.
bool parseHashLiteral(QByteArrayView s, RecordValue& out) {
    if (s.size() < 2 || s.front() != '#' || s.back() != '#') return false;
    const QByteArrayView inner = trimmed(s.sliced(1, s.size() - 2));
    if (equalsNoCase(inner, "TRUE")) {
        out = RecordValue::ofBool(true);
    } else if (equalsNoCase(inner, "FALSE")) {
        out = RecordValue::ofBool(false);
    } else if (equalsNoCase(inner, "NULL")) {
        out = RecordValue::null();
    } else if (inner.size() > 5 && equalsNoCase(inner.first(5), "ERROR")) {
        const QByteArrayView digits = trimmed(inner.sliced(5));
        int n = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.isEmpty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size())
            return false;
        out = RecordValue::ofError(n);
    } else {
        QDateTime d;
        if (!parseDate(inner, d)) return false;
        out = RecordValue::ofDate(d);
    }
    return true;
}

// A bare field into a Variant: a #...# literal, a number, or else the text itself.
RecordValue interpretBare(QByteArrayView s) {
    RecordValue v;
    if (parseHashLiteral(s, v)) return v;
    double number;
    switch (parseNumber(s, number)) {
    case NumberParse::Ok:
        return RecordValue::ofNumber(number);
    case NumberParse::Overflow:
        throw vbError(err::Overflow);
    case NumberParse::NotNumber:
        break;
    }
    return RecordValue::ofString(fromCp1252(s));
}

// The classic date serial: days since 1899-12-30, the time as the fraction of a day (which,
// before the zero date, counts away from zero).
double dateToSerial(const QDateTime& d) {
    const double days = double(classicZeroDate().daysTo(d.date()));
    const double fraction = d.time().msecsSinceStartOfDay() / 86400000.0;
    return days < 0 ? days - fraction : days + fraction;
}

QByteArray twoDigits(int v) {
    QByteArray s = QByteArray::number(v);
    return s.size() < 2 ? '0' + s : s;
}

QByteArray formatDateText(const QDateTime& value, char hash) {
    const QDate d = value.isValid() ? value.date() : classicZeroDate();
    const QTime t = value.isValid() ? value.time() : QTime(0, 0);
    const bool zeroDate = d == classicZeroDate();
    const bool midnight = t.hour() == 0 && t.minute() == 0 && t.second() == 0;
    QByteArray out;
    if (hash) out += hash;
    if (!zeroDate) {
        QByteArray year = QByteArray::number(d.year());
        while (year.size() < 4)
            year.prepend('0');
        out += year + '-' + twoDigits(d.month()) + '-' + twoDigits(d.day());
    }
    if (!midnight || zeroDate) {
        if (!zeroDate) out += ' ';
        out += twoDigits(t.hour()) + ':' + twoDigits(t.minute()) + ':' + twoDigits(t.second());
    }
    if (hash) out += hash;
    return out;
}

QByteArray formatNumber(double value, bool leadingZero) {
    if (!std::isfinite(value)) throw vbError(err::Overflow);
    if (value == 0) return QByteArrayLiteral("0");
    // d.dddddddddddddde+XX: fifteen significant digits, rounded by to_chars.
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const QByteArrayView sci(buf, r.ptr - buf);
    const bool negative = sci[0] == '-';
    const qsizetype mantissa = negative ? 1 : 0;
    const qsizetype e = sci.indexOf('e');
    QByteArray digits;
    digits += sci[mantissa];
    digits.append(sci.sliced(mantissa + 2, e - mantissa - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.chop(1);
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);

    QByteArray out;
    if (negative) out += '-';
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out += '.' + digits.mid(1);
        out += exponent < 0 ? "E-" : "E+";
        out += twoDigits(std::abs(exponent));
    } else if (exponent < 0) {
        if (leadingZero) out += '0';
        out += '.' + QByteArray(-exponent - 1, '0') + digits;
    } else {
        const int whole = exponent + 1;
        if (digits.size() <= whole) {
            out += digits + QByteArray(whole - digits.size(), '0');
        } else {
            out += digits.left(whole) + '.' + digits.mid(whole);
        }
    }
    return out;
}

} // namespace

QDate classicZeroDate() {
    return QDate(1899, 12, 30);
}

QByteArray formatRecordNumber(double value) {
    return formatNumber(value, false);
}

// ---------------------------------------------------------------------------------------------
// RecordValue

QString RecordValue::toText() const {
    switch (kind) {
    case Kind::Empty:
    case Kind::Null:
        return {};
    case Kind::String:
        return text;
    case Kind::Number:
        return QString::fromLatin1(formatNumber(number, true));
    case Kind::Boolean:
        return boolean ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Date:
        return QString::fromLatin1(formatDateText(date, 0));
    case Kind::Error:
        return QStringLiteral("Error %1").arg(errorNumber);
    }
    return {};
}

RecordValue RecordValue::ofString(QString value) {
    RecordValue v;
    v.kind = Kind::String;
    v.text = std::move(value);
    return v;
}

RecordValue RecordValue::ofNumber(double value) {
    RecordValue v;
    v.kind = Kind::Number;
    v.number = value;
    return v;
}

RecordValue RecordValue::ofBool(bool value) {
    RecordValue v;
    v.kind = Kind::Boolean;
    v.boolean = value;
    return v;
}

RecordValue RecordValue::null() {
    RecordValue v;
    v.kind = Kind::Null;
    return v;
}

RecordValue RecordValue::ofDate(QDateTime value) {
    RecordValue v;
    v.kind = Kind::Date;
    v.date = std::move(value);
    return v;
}

RecordValue RecordValue::ofError(int number) {
    RecordValue v;
    v.kind = Kind::Error;
    v.errorNumber = number;
    return v;
}

RecordValue RecordValue::empty() {
    return RecordValue();
}

bool RecordValue::operator==(const RecordValue& o) const {
    if (kind != o.kind) return false;
    switch (kind) {
    case Kind::Empty:
    case Kind::Null:
        return true;
    case Kind::String:
        return text == o.text;
    case Kind::Number:
        return number == o.number;
    case Kind::Boolean:
        return boolean == o.boolean;
    case Kind::Date:
        return date.date() == o.date.date() && date.time() == o.date.time();
    case Kind::Error:
        return errorNumber == o.errorNumber;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// RecordReader

struct RecordReader::Field {
    enum class Type { Empty, Quoted, Bare };
    Type type = Type::Empty;
    QByteArrayView bytes;
};

RecordReader RecordReader::open(const QString& path) {
    QFileInfo info(path);
    if (!info.exists()) throw vbError(err::FileNotFound);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) throw vbError(err::PathFileAccessError);
    return RecordReader(file.readAll());
}

RecordReader::RecordReader(QByteArray bytes) : data_(std::move(bytes)) {}

RecordReader::Field RecordReader::nextField() {
    const char* d = data_.constData();
    const qsizetype n = data_.size();
    qsizetype p = pos_;
    if (p >= n) throw vbError(err::InputPastEndOfFile);
    while (p < n && isBlank(d[p]))
        ++p;

    auto atDelimiter = [&](qsizetype i) { return d[i] == ',' || d[i] == '\r' || d[i] == '\n'; };
    Field f;
    if (p < n && d[p] == '"') {
        const auto* close =
            static_cast<const char*>(std::memchr(d + p + 1, '"', size_t(n - p - 1)));
        const qsizetype end = close ? close - d : n;
        f.type = Field::Type::Quoted;
        f.bytes = QByteArrayView(d + p + 1, end - p - 1);
        p = close ? end + 1 : n;
        while (p < n && !atDelimiter(p))
            ++p;
    } else {
        const qsizetype begin = p;
        while (p < n && !atDelimiter(p))
            ++p;
        qsizetype end = p;
        while (end > begin && isBlank(d[end - 1]))
            --end;
        f.type = end > begin ? Field::Type::Bare : Field::Type::Empty;
        f.bytes = QByteArrayView(d + begin, end - begin);
    }

    // The delimiter belongs to the field it ends: a comma, or one line end of any style.
    if (p < n) {
        if (d[p] == '\r' && p + 1 < n && d[p + 1] == '\n') ++p;
        ++p;
    }
    pos_ = p;
    return f;
}

RecordValue RecordReader::readVariant() {
    const Field f = nextField();
    switch (f.type) {
    case Field::Type::Empty:
        return RecordValue::empty();
    case Field::Type::Quoted:
        return RecordValue::ofString(fromCp1252(f.bytes));
    case Field::Type::Bare:
        break;
    }
    return interpretBare(f.bytes);
}

QString RecordReader::readString() {
    const Field f = nextField();
    if (f.type == Field::Type::Bare && f.bytes.front() == '#') {
        RecordValue v;
        if (parseHashLiteral(f.bytes, v)) {
            if (v.kind == RecordValue::Kind::Null) throw vbError(err::InvalidUseOfNull);
            return v.toText();
        }
    }
    return fromCp1252(f.bytes);
}

double RecordReader::fieldToDouble(const Field& f) const {
    if (f.type == Field::Type::Empty) return 0;
    double number = 0;
    switch (parseNumber(f.bytes, number)) {
    case NumberParse::Ok:
        return number;
    case NumberParse::Overflow:
        throw vbError(err::Overflow);
    case NumberParse::NotNumber:
        break;
    }
    RecordValue v;
    if (f.type == Field::Type::Bare && parseHashLiteral(f.bytes, v)) {
        switch (v.kind) {
        case RecordValue::Kind::Boolean:
            return v.boolean ? -1 : 0;
        case RecordValue::Kind::Null:
            throw vbError(err::InvalidUseOfNull);
        case RecordValue::Kind::Date:
            return dateToSerial(v.date);
        default:
            break;
        }
    }
    throw vbError(err::TypeMismatch);
}

double RecordReader::readDouble() {
    return fieldToDouble(nextField());
}

qint16 RecordReader::readInt16() {
    const double r = std::nearbyint(readDouble()); // the default rounding mode is half-to-even
    if (r < -32768.0 || r > 32767.0) throw vbError(err::Overflow);
    return qint16(r);
}

qint32 RecordReader::readInt32() {
    const double r = std::nearbyint(readDouble());
    if (r < -2147483648.0 || r > 2147483647.0) throw vbError(err::Overflow);
    return qint32(r);
}

bool RecordReader::readBool() {
    const Field f = nextField();
    const QByteArrayView t = trimmed(f.bytes);
    if (f.type != Field::Type::Empty) {
        if (equalsNoCase(t, "TRUE")) return true;
        if (equalsNoCase(t, "FALSE")) return false;
    }
    return fieldToDouble(f) != 0;
}

QString RecordReader::readLine() {
    const char* d = data_.constData();
    const qsizetype n = data_.size();
    if (pos_ >= n) throw vbError(err::InputPastEndOfFile);
    qsizetype p = pos_;
    while (p < n && d[p] != '\r' && d[p] != '\n')
        ++p;
    const QString line = fromCp1252(QByteArrayView(d + pos_, p - pos_));
    if (p < n) {
        if (d[p] == '\r' && p + 1 < n && d[p + 1] == '\n') ++p;
        ++p;
    }
    pos_ = p;
    return line;
}

RecordValue RecordReader::peekVariant() {
    const qint64 saved = pos_;
    try {
        RecordValue v = readVariant();
        pos_ = saved;
        return v;
    } catch (...) {
        pos_ = saved;
        throw;
    }
}

QString RecordReader::peekString() {
    const qint64 saved = pos_;
    try {
        QString s = readString();
        pos_ = saved;
        return s;
    } catch (...) {
        pos_ = saved;
        throw;
    }
}

void RecordReader::skip(int count) {
    for (int i = 0; i < count; ++i)
        nextField();
}

void RecordReader::seek(qint64 pos) {
    pos_ = qBound<qint64>(0, pos, data_.size());
}

// ---------------------------------------------------------------------------------------------
// RecordWriter

RecordWriter& RecordWriter::item(const QByteArray& text) {
    if (lineStarted_) out_ += ',';
    out_ += text;
    lineStarted_ = true;
    return *this;
}

RecordWriter& RecordWriter::value(const RecordValue& v) {
    switch (v.kind) {
    case RecordValue::Kind::Empty:
        return empty();
    case RecordValue::Kind::String:
        return string(v.text);
    case RecordValue::Kind::Number:
        return number(v.number);
    case RecordValue::Kind::Boolean:
        return boolean(v.boolean);
    case RecordValue::Kind::Null:
        return null();
    case RecordValue::Kind::Date:
        return date(v.date);
    case RecordValue::Kind::Error:
        return error(v.errorNumber);
    }
    return *this;
}

RecordWriter& RecordWriter::string(const QString& text) {
    return item('"' + toCp1252(text) + '"');
}

RecordWriter& RecordWriter::number(double value) {
    return item(formatNumber(value, false));
}

RecordWriter& RecordWriter::integer(qint64 value) {
    return item(QByteArray::number(value));
}

RecordWriter& RecordWriter::boolean(bool value) {
    return item(value ? QByteArrayLiteral("#TRUE#") : QByteArrayLiteral("#FALSE#"));
}

RecordWriter& RecordWriter::null() {
    return item(QByteArrayLiteral("#NULL#"));
}

RecordWriter& RecordWriter::date(const QDateTime& value) {
    return item(formatDateText(value, '#'));
}

RecordWriter& RecordWriter::error(int number) {
    return item("#ERROR " + QByteArray::number(number) + '#');
}

RecordWriter& RecordWriter::empty() {
    return item({});
}

RecordWriter& RecordWriter::endLine() {
    out_ += "\r\n";
    lineStarted_ = false;
    return *this;
}

void RecordWriter::saveTo(const QString& path) const {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // A full disk fails the flush, not the commit: flush first.
    if (file.open(QIODevice::WriteOnly) && file.write(out_) == out_.size() && file.flush() &&
        file.commit())
        return;
    if (!QFileInfo(path).absoluteDir().exists()) throw vbError(err::PathNotFound);
    throw vbError(err::PathFileAccessError);
}

} // namespace tv

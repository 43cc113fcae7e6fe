#include "data/record_values.h"

#include "platform/core/cp1252.h"
#include "platform/core/errors.h"

#include <cmath>

namespace tv {

namespace {

// A text is a number when the record reader would read it as one from a bare field; anything
// that would end or change such a field (delimiters, quotes, #...# literals) is not.
bool textToNumber(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    for (const QChar c : t) {
        if (c == ',' || c == '"' || c == '#' || c == '\r' || c == '\n') return false;
    }
    RecordReader in(toCp1252(t));
    try {
        out = in.readDouble();
    } catch (const VbError& e) {
        if (e.number() == err::Overflow) throw;
        return false;
    }
    return true;
}

double dateSerial(const QDateTime& d) {
    const double days = double(classicZeroDate().daysTo(d.date()));
    const double fraction = d.time().msecsSinceStartOfDay() / 86400000.0;
    return days < 0 ? days - fraction : days + fraction;
}

double rounded(const RecordValue& value, double low, double high) {
    const double r = std::nearbyint(toNumber(value)); // the default rounding is half to even
    if (r < low || r > high) throw vbError(err::Overflow);
    return r;
}

} // namespace

double toNumber(const RecordValue& value) {
    switch (value.kind) {
    case RecordValue::Kind::Empty:
        return 0;
    case RecordValue::Kind::Number:
        return value.number;
    case RecordValue::Kind::Boolean:
        return value.boolean ? -1 : 0;
    case RecordValue::Kind::Date:
        return dateSerial(value.date);
    case RecordValue::Kind::Null:
        throw vbError(err::InvalidUseOfNull);
    case RecordValue::Kind::String: {
        double d = 0;
        if (textToNumber(value.text, d)) return d;
        break;
    }
    case RecordValue::Kind::Error:
        break;
    }
    throw vbError(err::TypeMismatch);
}

bool toBool(const RecordValue& value) {
    if (value.kind == RecordValue::Kind::Boolean) return value.boolean;
    if (value.kind == RecordValue::Kind::String) {
        const QString t = value.text.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    }
    return toNumber(value) != 0;
}

qint16 toInt16(const RecordValue& value) {
    return qint16(rounded(value, -32768.0, 32767.0));
}

qint32 toInt32(const RecordValue& value) {
    return qint32(rounded(value, -2147483648.0, 2147483647.0));
}

QString toText(const RecordValue& value) {
    return value.toText();
}

} // namespace tv

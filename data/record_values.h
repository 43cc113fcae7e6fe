#pragma once
// The conversions a general field (a Variant read from a record file) goes through where the
// player uses it, with the classic runtime's rules and errors: CDbl, CBool, CInt, CLng, CStr.

#include "platform/core/records.h"

#include <QString>

namespace tv {

// CDbl: Empty 0, booleans -1/0, numbers as they are, dates as their serial (days since
// 1899-12-30), texts holding a number in a form the record reader accepts (surrounding blanks
// allowed). Other texts and error values raise "Type mismatch" (13), Null "Invalid use of
// Null" (94), a number too large "Overflow" (6).
double toNumber(const RecordValue& value);

// CBool: numbers (and numeric texts) are true when non-zero, "True"/"False" in any case,
// Empty false. Null raises 94, anything else 13.
bool toBool(const RecordValue& value);

// CInt / CLng: toNumber rounded half to even; out of range raises "Overflow" (6).
qint16 toInt16(const RecordValue& value);
qint32 toInt32(const RecordValue& value);

// CStr as a String variable receives the value (Empty and Null give "").
QString toText(const RecordValue& value);

} // namespace tv

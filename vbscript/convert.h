#pragma once
// The language's coercions between subtypes, and the text forms of numbers and dates (US
// English formats: "M/D/YYYY", "h:mm:ss AM", "." as the decimal point).

#include "vbscript/value.h"

#include <string>
#include <string_view>

namespace vbs {

// An object is replaced by its default member's value (Nothing: "Object variable not set");
// other values stay as they are.
Value scalarOf(const Value& v);

// Conversions as CDbl, CSng, CLng, CInt, CByte, CCur, CDate, CBool and CStr do them: Null fails
// with "Invalid use of Null", unconvertible text with "Type mismatch", values out of range with
// "Overflow"; integers round half to even.
double toDouble(const Value& v);
float toSingle(const Value& v);
int32_t toLong(const Value& v);
int16_t toInteger(const Value& v);
uint8_t toByte(const Value& v);
int64_t toCurrency(const Value& v); // times 10000
double toDate(const Value& v);
bool toBool(const Value& v);
std::u16string toString(const Value& v);

double roundHalfEven(double d);

// Text that reads as a number: blanks around, a sign, digits with thousands commas, a decimal
// point, an exponent, or &H / &O forms.
bool parseNumber(std::u16string_view text, double& out);
// Text that reads as a date and/or time of day.
bool parseDate(std::u16string_view text, double& out);

std::u16string formatDouble(double d);
std::u16string formatSingle(float f);
std::u16string formatCurrency(int64_t scaled);
std::u16string formatDate(double d);
std::u16string formatInteger(int64_t n);

// Calendar arithmetic on the classic date numbers (days since 30 December 1899).
double dateFromParts(int year, int month, int day); // month and day may overflow
double timeFromParts(int hour, int minute, int second);
void dateToParts(double date, int& year, int& month, int& day, int& hour, int& minute, int& second);
bool validDate(double date);

} // namespace vbs

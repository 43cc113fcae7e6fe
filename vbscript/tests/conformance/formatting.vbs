' The Format functions (United States formats) and the text forms of values.
' include: show.inc

T "FormatNumber(1234.5)" : T "FormatNumber(1234567.891, 1)" : T "FormatNumber(-1234.5)" : T "FormatNumber(0.5)"
T "FormatNumber(0.125, 2)" : T "FormatNumber(2.5, 0)" : T "FormatNumber(-2.5, 0)"
T "FormatNumber(0.5, 2, vbFalse)" : T "FormatNumber(-0.5, 2, vbFalse)" : T "FormatNumber(-5, 2, vbTrue, vbTrue)"
T "FormatNumber(1234567, 0, vbTrue, vbFalse, vbFalse)" : T "FormatNumber(1234567, -1, -2, -2, -2)"
T "FormatNumber(""12.345"", 2)" : T "FormatNumber(Empty)" : T "FormatNumber(Null)" : T "FormatNumber(""x"")"
T "FormatNumber(1, -2)" : T "FormatNumber(1E+20, 0)" : T "FormatNumber(123.456, 5)" : T "FormatNumber(999.996, 2)"
T "FormatNumber(True)" : T "FormatNumber(0, 0)" : T "FormatNumber(0.5, 0, vbFalse)"
T "FormatCurrency(1234.5)" : T "FormatCurrency(-1234.5)" : T "FormatCurrency(-1234.5, 2, vbTrue, vbFalse)"
T "FormatCurrency(0.5, 0)" : T "FormatCurrency(1234.5, 0, vbTrue, vbTrue, vbFalse)" : T "FormatCurrency(0.05, 2, vbFalse)"
T "FormatPercent(0.256)" : T "FormatPercent(-0.5)" : T "FormatPercent(1, 0)" : T "FormatPercent(-0.5, 1, vbTrue, vbTrue)"
T "FormatPercent(12.3456, 1)" : T "FormatPercent(0.001, 2, vbFalse)"
dt = #1/2/2006 3:04:05 PM#
T "FormatDateTime(dt)" : T "FormatDateTime(dt, vbGeneralDate)" : T "FormatDateTime(dt, vbLongDate)"
T "FormatDateTime(dt, vbShortDate)" : T "FormatDateTime(dt, vbLongTime)" : T "FormatDateTime(dt, vbShortTime)"
T "FormatDateTime(#3:04 AM#, vbShortTime)" : T "FormatDateTime(#1/2/2006#, vbLongTime)" : T "FormatDateTime(dt, 5)"
T "FormatDateTime(""12/25/2010"", 1)" : T "FormatDateTime(#12/25/2010#)" : T "FormatDateTime(0.25)"
' The text each subtype takes when joined to a string.
WScript.Echo "text", 1.5 & "", True & "", False & "", (1 = 1) & "|", Empty & "|", Null & "|", CCur(3) & ""
WScript.Echo "text", CSng(0.1) & "", 0.1 & "", 1E+100 & "", -1E-100 & "", 123456789012345678 & "", 1.5E-3 & ""
WScript.Echo "text", #1/1/2000# & "", #1/1/2000 12:00:01 AM# & "", #12:00:00 PM# & "", CDate(0) & ""
WScript.Echo "text", 2147483647 + 1 & "", 32767 + 1 & "", TypeName(32767 + 1), 1 / 4 & "", 10 / 2 & ""

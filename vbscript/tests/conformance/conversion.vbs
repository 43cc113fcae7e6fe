' Conversion functions: results, subtypes, rounding, ranges and error numbers.
' include: show.inc

' Banker's rounding and the ranges of the integer types.
T "CInt(2.5)" : T "CInt(3.5)" : T "CInt(-2.5)" : T "CInt(32767.4)" : T "CInt(32767.5)"
T "CInt(-32768.5)" : T "CInt(-32768.6)" : T "CInt(""12"")" : T "CInt("" 7 "")" : T "CInt(""x"")"
T "CInt(Null)" : T "CInt(Empty)" : T "CInt(True)" : T "CInt(""&HFF"")" : T "CInt(""1e3"")"
T "CLng(2147483647.4)" : T "CLng(2147483647.5)" : T "CLng(-2147483648.5)" : T "CLng(0.5)"
T "CLng(1.5)" : T "CLng(""1,000"")" : T "CLng(#1/1/2000#)"
T "CByte(255.5)" : T "CByte(254.5)" : T "CByte(-0.5)" : T "CByte(-1)" : T "CByte(""200"")"
' Floating point and currency.
T "CDbl(""1.5e3"")" : T "CDbl(""-.5"")" : T "CDbl(True)" : T "CDbl(Empty)" : T "CDbl(Null)"
T "CSng(1.1)" : T "CSng(1e39)" : T "CSng(""3.4E+38"")" : T "CDbl(1/3)" : T "CSng(1/3)"
T "CCur(1.23456)" : T "CCur(-0.00005)" : T "CCur(""12.5"")" : T "CCur(1e20)"
' Booleans.
T "CBool(0)" : T "CBool(-0.5)" : T "CBool(""true"")" : T "CBool("" False "")" : T "CBool(""1"")"
T "CBool(""yes"")" : T "CBool(Null)" : T "CBool(Empty)"
' Dates.
T "CDate(""1/2/2003"")" : T "CDate(""2003-01-02 13:04"")" : T "CDate(36526.5)" : T "CDate(0)"
T "CDate(""nonsense"")" : T "CDate(3000000)" : T "CDate(-1.25)" : T "CDate(""January 5, 2001"")"
' CStr: the text of every subtype.
T "CStr(1/3)" : T "CStr(1e15)" : T "CStr(123456789012345)" : T "CStr(1e-5)" : T "CStr(0.0001)"
T "CStr(-1.5e-20)" : T "CStr(2^53)" : T "CStr(CSng(1/3))" : T "CStr(CSng(1e8))" : T "CStr(True)"
T "CStr(CCur(-12.3))" : T "CStr(#12/31/1999 11:59:59 PM#)" : T "CStr(#3:00:00 PM#)" : T "CStr(Empty)"
T "CStr(Null)" : T "CStr(100000000000000000000)" : T "CStr(0.1 + 0.2)" : T "CStr(-0)"
' Hex and Oct take the integer type of their argument.
T "Hex(255)" : T "Hex(-1)" : T "Hex(CLng(-1))" : T "Hex(-32769)" : T "Hex(2.5)" : T "Hex(3.5)"
T "Hex(Null)" : T "Hex(Empty)" : T "Hex(2147483648)" : T "Hex(""16"")" : T "Hex(CByte(200))"
T "Oct(8)" : T "Oct(-1)" : T "Oct(CLng(-8))" : T "Oct(Null)"
' Characters: Windows-1252 for Chr/Asc, UTF-16 units for ChrW/AscW.
T "Asc(""A"")" : T "Asc(""ABC"")" : T "Asc("""")" : T "Asc(Null)" : T "Asc(ChrW(8364))" : T "Asc(128)"
T "AscW(ChrW(65535))" : T "AscW(ChrW(-1))" : T "AscW(""é"")" : T "AscB(""A"")" : T "AscB(ChrW(8364))"
T "Chr(65)" : T "Chr(-1)" : T "Chr(256)" : T "AscW(Chr(128))" : T "AscW(Chr(159))" : T "Chr(Null)"
T "ChrW(8364)" : T "ChrW(65536)" : T "ChrW(-32769)" : T "AscW(ChrW(-32768))" : T "ChrB(65)"
T "ChrB(256)"

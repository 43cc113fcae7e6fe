' The built-in functions the language tests rely on (the full library is tested on its own).
s = "Hello, World"
WScript.Echo Len(s), Left(s, 5), Right(s, 5), Mid(s, 8), Mid(s, 8, 3), Mid(s, 50) = ""
WScript.Echo UCase(s), LCase(s), "[" & Trim("  x  ") & "]", "[" & LTrim("  x ") & "]", _
    "[" & RTrim(" x  ") & "]"
WScript.Echo InStr(s, "o"), InStr(6, s, "o"), InStr(s, "z"), InStr(1, s, "WORLD", 1), InStrRev(s, "o")
WScript.Echo Replace(s, "l", "L"), Replace("aaa", "a", "b", 1, 2), Replace("AbA", "a", "x", 1, -1, 1)
WScript.Echo Len(Space(3)), String(3, "ab"), StrComp("a", "B"), StrComp("a", "A", 1), StrReverse("abc")
WScript.Echo Len(Null) & "|", IsNull(Left(Null, 1)), Len(12345), Len(True)

' Chr and Asc use the Windows-1252 code page; ChrW and AscW the UTF-16 units.
WScript.Echo Asc("A"), Chr(65), Asc(Chr(128)), AscW(Chr(128)), AscW(Chr(150)), Asc(ChrW(8364))
WScript.Echo Chr(233) = ChrW(233), AscW("é"), Asc("€"), Len(Chr(0))

' Arrays.
parts = Split("a,b,,c", ",")
WScript.Echo UBound(parts), Join(parts, "|"), Join(Array(1, Null, 2)), UBound(Split(""))
WScript.Echo Join(Split("a b  c")), UBound(Split("a-b-c", "-", 2)), Split("x", "")(0)
WScript.Echo IsArray(parts), IsArray("x"), LBound(Array()), UBound(Array())

' Conversions and tests.
WScript.Echo Hex(255), Hex(-1), Hex(CLng(-1)), Oct(8), Hex(65536)
WScript.Echo IsNumeric("12.5"), IsNumeric("1e3"), IsNumeric("abc"), IsNumeric(""), IsNumeric(Empty)
WScript.Echo IsDate("1/2/2003"), IsDate("nope"), IsDate(#1/1/2000#)
WScript.Echo Int(2.7), Int(-2.7), Fix(-2.7), TypeName(Int(2.5)), Abs(-3), Sgn(-2), Sqr(16)
WScript.Echo Round(2.5), Round(3.5), Round(0.125, 2), Round(-1.5)

' Dates from parts.
d = DateSerial(2004, 2, 29)
WScript.Echo d, Year(d), Month(d), Day(d), DateSerial(2003, 13, 1), TimeSerial(13, 5, 0)
WScript.Echo Hour(#6:07:08 PM#), Minute(#6:07:08 PM#), Second(#6:07:08 PM#)
WScript.Echo ScriptEngine, ScriptEngineMajorVersion, ScriptEngineMinorVersion

' Rnd is repeatable after a negative seed.
a = Rnd(-1) : b = Rnd : c = Rnd(-1) : e = Rnd
WScript.Echo "rnd", a = c, b = e, b >= 0 And b < 1, TypeName(b), Rnd(0) = e

' Errors of built-ins.
On Error Resume Next
x = Mid("abc", 0) : WScript.Echo "mid 0", Err.Number : Err.Clear
x = Left("abc", -1) : WScript.Echo "left -1", Err.Number : Err.Clear
x = Chr(300) : WScript.Echo "chr 300", Err.Number : Err.Clear
x = Asc("") : WScript.Echo "asc empty", Err.Number : Err.Clear
x = UBound(5) : WScript.Echo "ubound number", Err.Number : Err.Clear
x = UBound(parts, 2) : WScript.Echo "ubound dimension", Err.Number : Err.Clear
x = Len() : WScript.Echo "len()", Err.Number : Err.Clear
x = Sqr(-1) : WScript.Echo "sqr -1", Err.Number : Err.Clear

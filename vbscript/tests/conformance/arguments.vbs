' Arguments the classic engine accepts or refuses: compare modes, ranges, Boolean texts.
' include: show.inc

' Compare modes: 0 and 1 only; anything else is "Invalid procedure call or argument".
T "vbBinaryCompare" : T "vbTextCompare" : T "vbDatabaseCompare"
T "StrComp(""a"", ""A"", 1)" : T "StrComp(""a"", ""b"", 5)" : T "StrComp(""a"", ""b"", -1)"
T "StrComp(""a"", ""b"", vbDatabaseCompare)" : T "StrComp(""a"", ""b"", ""1"")"
T "StrComp(""a"", ""b"", Null)" : T "StrComp(Null, ""b"", 1)"
T "InStr(1, ""abc"", ""B"", 1)" : T "InStr(1, ""abc"", ""b"", 2)" : T "InStr(1, ""abc"", ""b"", 0)"
T "InStrRev(""abc"", ""B"", -1, 1)" : T "InStrRev(""abc"", ""b"", -1, 7)"
T "Replace(""aAa"", ""a"", ""x"", 1, -1, 1)" : T "Replace(""aAa"", ""a"", ""x"", 1, -1, 3)"
T "Split(""aXb"", ""x"", -1, 1)" : T "Split(""aXb"", ""x"", -1, 4)"
T "Filter(Array(""Ab"", ""c""), ""a"", True, 1)" : T "Filter(Array(""Ab"", ""c""), ""a"", True, 2)"
T "Filter(Array(""Ab"", ""c""), ""a"", True, -1)"

' Other ranges the library checks.
T "Mid(""abc"", 0)" : T "Mid(""abc"", 2, -1)" : T "Left(""abc"", -1)" : T "Right(""abc"", -1)"
T "Space(-1)" : T "String(-1, ""x"")" : T "String(2, """")" : T "Chr(256)" : T "Chr(-1)"
T "ChrW(65536)" : T "ChrW(-32769)" : T "AscW(ChrW(-1))" : T "Asc("""")" : T "AscW("""")"
T "InStr(0, ""abc"", ""b"")" : T "InStrRev(""abc"", ""b"", 0)" : T "Replace(""a"", ""a"", ""b"", 0)"
T "Replace(""a"", ""a"", ""b"", 1, -2)" : T "Split(""a"", "","", -2)" : T "Round(1.5, -1)"
T "Sqr(-1)" : T "Log(0)" : T "MonthName(0)" : T "MonthName(13)" : T "WeekdayName(0)"
T "WeekdayName(1, False, 8)" : T "Weekday(1, 8)" : T "LBound(Array(1), 0)" : T "UBound(Array(1), 2)"

' The Boolean texts of Write #: #TRUE# and #FALSE#, any case; other forms stay mismatches.
T "CBool(""#TRUE#"")" : T "CBool(""#FALSE#"")" : T "CBool("" #true# "")" : T "CBool(""#False#"")"
T "CBool(""#TRUE"")" : T "CBool(""# TRUE#"")" : T "CBool(""#yes#"")"

' Round keeps whole subtypes; Booleans and Empty become Integers.
T "Round(True)" : T "Round(False)" : T "Round(Empty)" : T "Round(CByte(7))" : T "Round(70000)"
T "Round(2.5)" : T "Round(""2.5"")" : T "Round(CSng(1.25), 1)" : T "Round(CCur(2.5))" : T "Round(Null)"

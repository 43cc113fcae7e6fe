' String functions: results, Null and Empty arguments, the compare modes and error numbers.
' include: show.inc

s = "Hello, World"
' Lengths and pieces.
T "Len(s)" : T "Len(Null)" : T "Len(Empty)" : T "Len(123.5)" : T "Len(#1/1/2000#)" : T "LenB(s)"
T "LenB(Null)" : T "Left(s, 5)" : T "Left(s, 0)" : T "Left(s, 100)" : T "Left(s, -1)" : T "Left(Null, 2)"
T "Left(s, Null)" : T "Left(12345, 2)" : T "Right(s, 5)" : T "Right(s, 100)" : T "Right(Null, 1)"
T "Right(s, -1)" : T "Mid(s, 8)" : T "Mid(s, 8, 3)" : T "Mid(s, 20)" : T "Mid(s, 0)" : T "Mid(s, 1, -1)"
T "Mid(Null, 1)" : T "Mid(s, 3, 0)" : T "LeftB(s, 4)" : T "LeftB(s, 5)" : T "RightB(s, 4)"
T "MidB(s, 3, 4)" : T "MidB(s, 1)"
' Searching, with the binary and text compare modes.
T "InStr(s, ""o"")" : T "InStr(6, s, ""o"")" : T "InStr(s, ""O"")" : T "InStr(1, s, ""O"", 1)"
T "InStr(1, s, ""O"", vbTextCompare)" : T "InStr(s, """")" : T "InStr(5, s, """")"
T "InStr("""", ""a"")" : T "InStr(Null, ""a"")" : T "InStr(s, Null)"
T "InStr(0, s, ""o"")" : T "InStr(Null, s, ""o"")" : T "InStr(50, s, ""o"")" : T "InStrB(s, ""l"")"
T "InStrRev(s, ""o"")" : T "InStrRev(s, ""o"", 8)" : T "InStrRev(s, ""o"", 4)" : T "InStrRev(s, ""O"", -1, 1)"
T "InStrRev(s, ""o"", 0)" : T "InStrRev(s, ""o"", 50)" : T "InStrRev(Null, ""o"")"
T "InStrRev(s, ""World"", 11)" : T "InStrRev(s, ""World"", 12)"
' Case and blanks.
T "UCase(""abc é ÿ œ"")" : T "LCase(""ABC É Ÿ Œ"")" : T "UCase(Null)" : T "LCase(12)" : T "UCase(""ж"")"
T """["" & Trim(""  a b  "") & ""]""" : T """["" & LTrim(""  a  "") & ""]""" : T """["" & RTrim(""  a  "") & ""]"""
T """["" & Trim(vbTab & ""a"" & vbTab) & ""]""" : T "Trim(Null)" : T "Trim(5)"
T "Len(Space(5))" : T "Space(0)" : T "Space(-1)" : T "Space(Null)"
T "String(3, ""xyz"")" : T "String(3, 65)" : T "String(2, 321)" : T "String(0, ""a"")" : T "String(-1, ""a"")"
T "String(3, """")" : T "String(2, Null)" : T "String(Null, ""a"")"
' Comparing.
T "StrComp(""a"", ""b"")" : T "StrComp(""b"", ""a"")" : T "StrComp(""a"", ""A"")" : T "StrComp(""a"", ""A"", 1)"
T "StrComp(""abc"", ""ab"")" : T "StrComp(Null, ""a"")" : T "StrComp(""a"", Null)" : T "StrComp(1, ""1"")"
T "StrComp(""é"", ""É"", vbTextCompare)"
T "StrReverse(""abc"")" : T "StrReverse("""")" : T "StrReverse(Null)" : T "StrReverse(123)"
' Replace.
T "Replace(s, ""o"", ""0"")" : T "Replace(s, ""O"", ""0"")" : T "Replace(s, ""O"", ""0"", 1, -1, 1)"
T "Replace(s, ""o"", ""0"", 6)" : T "Replace(s, ""l"", ""L"", 1, 2)" : T "Replace(s, ""l"", """")"
T "Replace(s, """", ""x"")" : T "Replace(s, ""l"", ""L"", 1, 0)" : T "Replace(s, ""l"", ""L"", 20)"
T "Replace(s, ""l"", ""L"", 0)" : T "Replace(""aaaa"", ""aa"", ""a"")" : T "Replace(Null, ""a"", ""b"")"
T "Replace("""", ""a"", ""b"")" : T "Replace(""abab"", ""b"", ""[$&]"")"
' Split, Join and Filter.
T "Split(""a,b,,c"", "","")" : T "UBound(Split(""a,b,,c"", "",""))" : T "UBound(Split(""""))"
T "Split(""a b c"")" : T "Split(""a,b,c"", "","", 2)" : T "Split(""a,b,c"", "","", 1)" : T "UBound(Split(""a,b"", "","", 0))"
T "Split(""a,b"", "","", -2)" : T "Split(""aXbxc"", ""x"")" : T "Split(""aXbxc"", ""x"", -1, 1)"
T "Split(""abc"", """")" : T "Split(Null)" : T "Split("",a,"", "","")"
T "Join(Array(""a"", ""b""), ""--"")" : T "Join(Array(1, 2, 3))" : T "Join(Array())" : T "Join(Array(""x""), """")"
T "Join(""abc"")" : T "Join(Array(True, 1.5, Empty))"
parts = Split("alpha|beta||gamma", "|")
WScript.Echo "round trip", Join(parts, "|") = "alpha|beta||gamma", UBound(parts)
T "Filter(Array(""apple"", ""Banana"", ""cherry""), ""an"")"
T "Filter(Array(""apple"", ""Banana"", ""cherry""), ""AN"", True, vbTextCompare)"
T "Filter(Array(""apple"", ""Banana"", ""cherry""), ""a"", False)" : T "UBound(Filter(Array(""a""), ""z""))"
T "Filter(""abc"", ""a"")" : T "Filter(Array(""a""), Null)" : T "Filter(Array(1, 12, 3), 1)"
' Escape and Unescape.
T "Escape(""a b&c=d/é€@*_+-."")" : T "Unescape(""%41%42%u20ac%zz%4"")" : T "Unescape(Escape(""x ü €""))"
T "Escape(Null)" : T "Escape("""")"

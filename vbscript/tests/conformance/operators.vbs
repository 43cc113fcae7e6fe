' Arithmetic: result subtypes and overflow promotion Integer -> Long -> Double.
Sub Show(label, v)
    WScript.Echo label, v, TypeName(v)
End Sub
Show "int+int", 1 + 2
Show "int overflow", 32767 + 1
Show "int*int", 200 * 200
Show "long overflow", 2147483647 + 1
Show "long*long", 100000 * 100000
Show "byte+byte", CByte(200) + CByte(100)
Show "byte+int", CByte(1) + 1
Show "single+long", CSng(1.5) + 100000
Show "single+int", CSng(1.5) + 1
Show "bool+bool", True + True
Show "empty+empty", Empty + Empty
Show "empty+str", Empty + "x"
Show "str+str", "1" + "2"
Show "str+num", "1" + 2
Show "cur+dbl", CCur(1.5) + 1.25
Show "date+int", #1/1/2000# + 1
Show "date-date", #1/3/2000# - #1/1/2000#
Show "divide", 10 / 4
Show "divide ints", 4 / 2
Show "intdiv", 7 \ 2
Show "intdiv rounds", 7.5 \ 2
Show "intdiv rounds even", 6.5 \ 2
Show "intdiv long", 100000 \ 3
Show "mod", 7 Mod 3
Show "mod negative", -7 Mod 3
Show "mod rounds", 7.6 Mod 3
Show "power", 2 ^ 10
Show "neg power", -3 ^ 2
Show "power left assoc", 2 ^ 3 ^ 2
Show "power of neg", 2 ^ -1
Show "negate int min", -CInt(-32768)
Show "negate bool", -True
Show "negate str", -"5"
Show "precedence", 1 + 2 * 3 - 4 / 2
Show "precedence mod", 10 Mod 4 * 2
Show "precedence intdiv", 10 \ 3 * 2
Show "concat", 1 & 2
Show "concat null", "a" & Null & "b"
Show "concat nulls", Null & Null
Show "concat bool", True & ""
Show "plus concat", "a" + "b"
Show "null arith", Null + 1
Show "null mul", 5 * Null

' Comparisons.
WScript.Echo "num", 1 < 2, 2 <= 2, 3 > 4, 1 = 1.0, 1 <> 1
WScript.Echo "str", "a" < "b", "B" < "a", "abc" = "ABC", "" < "a"
WScript.Echo "empty", Empty = 0, Empty = "", Empty < 1, Empty = Empty
WScript.Echo "null", IsNull(Null = Null), IsNull(1 < Null)
Dim sv, nv
sv = "10" : nv = 9
WScript.Echo "variant str vs num", sv > nv, nv < sv
WScript.Echo "literal rules", sv = 10, sv > 9, nv = "9", "10" = 10, "True" = True
bv = "True"
WScript.Echo "boolean literal", bv = True, bv = "True"
WScript.Echo "bool", True = -1, False = 0, True < False
WScript.Echo "dates", #1/1/2000# < #1/2/2000#, #1/1/2000# = 36526

' Logical and bitwise operators.
WScript.Echo "and", True And False, True And True, 12 And 10, TypeName(12 And 10)
WScript.Echo "or", False Or True, 12 Or 3, TypeName(CByte(1) Or CByte(2))
WScript.Echo "xor", True Xor True, 12 Xor 10
WScript.Echo "not", Not True, Not 0, Not 5, TypeName(Not 5), Not Empty
WScript.Echo "eqv", True Eqv True, False Eqv True, 12 Eqv 10
WScript.Echo "imp", True Imp False, False Imp False, True Imp True
WScript.Echo "null and", Null And False, IsNull(Null And True), Null Or True, _
    IsNull(Null Or False), False Imp Null
WScript.Echo "long bits", 65536 Or 1, TypeName(65536 Or 1)
WScript.Echo "not precedence", Not 1 = 2, Not (1 = 2) And False
WScript.Echo "is", Nothing Is Nothing
Set o1 = New C1 : Set o2 = o1 : Set o3 = New C1
WScript.Echo "is objects", o1 Is o2, o1 Is o3, Not o1 Is Nothing
Class C1
End Class

' Errors of operators.
On Error Resume Next
x = 1 / 0 : WScript.Echo "div0", Err.Number, Err.Description : Err.Clear
x = 0 / 0 : WScript.Echo "0/0", Err.Number, Err.Description : Err.Clear
x = 5 \ 0 : WScript.Echo "intdiv0", Err.Number : Err.Clear
x = 5 Mod 0 : WScript.Echo "mod0", Err.Number : Err.Clear
x = "a" * 2 : WScript.Echo "text*2", Err.Number, Err.Description : Err.Clear
x = 1E308 * 10 : WScript.Echo "double overflow", Err.Number : Err.Clear
x = 2147483647 \ 1 + 2147483647 \ 1 : WScript.Echo "sum promotes", x, TypeName(x)
x = ("abc" & "") = 5 : WScript.Echo "text vs number literal", Err.Number : Err.Clear
x = 1 Is 2 : WScript.Echo "is numbers", Err.Number, Err.Description : Err.Clear
x = (-8) ^ (1/3) : WScript.Echo "neg root", Err.Number : Err.Clear

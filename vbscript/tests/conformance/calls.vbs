' How calls are written: parentheses, Call, arguments that start with a parenthesis or a sign.
Dim seen
Sub Show(a, b)
    WScript.Echo "show", a, b
End Sub
Sub One(a)
    WScript.Echo "one", a
End Sub
Function Two(a, b)
    Two = a * 10 + b
End Function

Show 1, 2
Show (1), 2
Show (1) + 2, 3
Show -1, -2
Show "a" & "b", Two(1, 2)
Call Show(3, 4)
One (5)
One(6)
One 2 * (3 + 4)
One (2) * 3
Call One((7))
x = Two(1, 2) + Two((3), 4)
WScript.Echo "function values", x, Two(Two(1, 1), 1)
One _
    "continued " & _
    "argument"
Show _
    1, _
    2

' Empty argument lists and calls without arguments.
Function Answer()
    Answer = 42
End Function
WScript.Echo "no arguments", Answer, Answer(), Answer + 1
Call Answer
Answer

' Member calls read the same way.
Class Target
    Public Log
    Public Sub Add(a, b)
        Log = Log & "[" & a & "," & b & "]"
    End Sub
    Public Function Value(n)
        Value = n * 2
    End Function
    Public Function Me2()
        Set Me2 = Me
    End Function
End Class
Set t = New Target
t.Add 1, 2
t.Add (3), 4
Call t.Add(5, 6)
t.Me2.Add 7, 8
t.Me2().Me2.Add 9, Value2(t)
Function Value2(obj)
    Value2 = obj.Value(5)
End Function
WScript.Echo "members", t.Log, t.Value(2) + t.Value((3))

' Statements separated by colons, comments and continuations around calls.
One 1 : One 2 ' two calls on a line
One 3 : Rem a comment statement
If True Then One 4 : One 5 Else One 6
With t
    .Add "with", .Value(1)
    WScript.Echo "with", .Log
End With

' A parenthesised argument is a value even for ByRef parameters.
Sub Change(v)
    v = "changed"
End Sub
s = "kept"
Change (s)
WScript.Echo s
Change s
WScript.Echo s
s = "kept"
Call Change((s))
WScript.Echo s

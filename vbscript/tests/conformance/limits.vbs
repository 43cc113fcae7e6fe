' Deep recursion works; runaway recursion and giant allocations are script errors.
Function Depth(n)
    If n = 0 Then
        Depth = 0
    Else
        Depth = 1 + Depth(n - 1)
    End If
End Function
WScript.Echo "depth", Depth(500)

Function Forever(n)
    Forever = Forever(n + 1)
End Function
On Error Resume Next
x = Forever(0)
WScript.Echo "runaway", Err.Number, Err.Description
Err.Clear
WScript.Echo "still works", Depth(10)

ReDim big(50000000)
WScript.Echo "huge array", Err.Number, Err.Description
Err.Clear
s = String(100000000, "x")
WScript.Echo "huge string", Err.Number, Err.Description
Err.Clear
s = "x"
Do While Err.Number = 0
    s = s & s
Loop
WScript.Echo "doubling string", Err.Number, Len(s) > 1000000
Err.Clear

' Strings built piece by piece, and what the variable held meanwhile.
t = ""
For i = 1 To 20000
    t = t & Chr(65 + i Mod 26)
Next
WScript.Echo "built", Len(t), Mid(t, 1, 5)
u = "a"
Function Meddle() : u = "changed" : Meddle = "!" : End Function
u = u & Meddle()
WScript.Echo "read before the call", u
v = "x" : w = v
v = v & "y"
WScript.Echo "copies stay", v, w
n = 5 : n = n & 1
WScript.Echo "number appended", n, TypeName(n)

' The interpreter's shortcuts (operators reading locals and constants themselves, results stored
' straight back, comparisons that branch at once, one-dimensional array access) give the same
' results, subtypes, errors and evaluation order as the general path.
Function Bump(ByRef v)
    v = v + 100
    Bump = 1
End Function

Class Box
    Public Default Property Get Value
        Value = 7
    End Property
End Class

Sub Locals()
    Dim i, s, t, e, n, o, a(3), big
    i = 5 : s = "5" : e = Empty : n = Null : Set o = New Box : big = 2147483647
    WScript.Echo "add", i + 1, TypeName(i + 1), s + 1, TypeName(s + 1), e + 1, IsNull(n + 1), o + 1
    WScript.Echo "overflow", TypeName(32767 + i), TypeName(big + 1), big + 1, TypeName(i * 1.5)
    t = i : t = t + 1 : WScript.Echo "in place", t, TypeName(t)
    t = 32767 : t = t + 1 : WScript.Echo "in place grows", t, TypeName(t)
    t = "a" : t = t + 1
    ' Never reached: "a" + 1 fails.
End Sub

Sub Order()
    Dim x
    x = 1
    ' The left operand is read before a call on the right changes it.
    WScript.Echo "order", x + Bump(x), x
    x = 1
    WScript.Echo "order", x * (Bump(x) + 1), x
    x = 1
    x = x + Bump(x)
    WScript.Echo "order", x
End Sub

Sub Compares()
    Dim i, s, hits
    i = 3 : s = "10"
    If i < 5 Then hits = hits & "a"
    If i > 5 Then hits = hits & "b"
    If s > 9 Then hits = hits & "c"      ' a string variable against a number literal: numeric
    If s < "9" Then hits = hits & "d"    ' against a string literal: text
    If i = 3.0 Then hits = hits & "e"
    If Null = i Then hits = hits & "f"
    If i <> 3 Then hits = hits & "g"
    WScript.Echo "compares", hits, (i < 5), TypeName(i >= 3), IsNull(Null < i)
End Sub

Sub Arrays()
    Dim a(4), b, i, m(1, 1)
    For i = 0 To 4
        a(i) = i * i
    Next
    b = a
    b(2) = -1
    WScript.Echo "arrays", a(2), b(2), a(4), a(CLng(3)), a(2.6), a("1")
    m(1, 0) = "m" : WScript.Echo "matrix", m(1, 0)
    On Error Resume Next
    i = a(5) : WScript.Echo "past the end", Err.Number : Err.Clear
    i = a(-1) : WScript.Echo "before the start", Err.Number : Err.Clear
    a(5) = 1 : WScript.Echo "store past the end", Err.Number : Err.Clear
End Sub

Class List
    Public Default Function Item(i)
        Item = "item" & i
    End Function
End Class

Sub Elements(ByRef byRefArray, ByVal byValIndex)
    Dim local, i, s, o, e, x, y
    local = Array("a", "b", "c")
    i = 1 : s = "2"
    Set o = New List
    WScript.Echo "elements", local(i), local(s), byRefArray(byValIndex), o(i), local(byValIndex)
    On Error Resume Next
    x = e(i) : WScript.Echo "element of Empty", Err.Number : Err.Clear
    i = 3 : x = local(i) : WScript.Echo "element past the end", Err.Number : Err.Clear
    On Error GoTo 0
    ' Copies between locals: objects give their default value, references are followed.
    Set y = New Box
    x = y : WScript.Echo "copy default", x, TypeName(x)
    x = byValIndex : byRefArray = x : WScript.Echo "copy by reference", byRefArray
End Sub

Sub Loops()
    Dim i, n, total
    total = 0
    For i = 32760 To 32770
        total = total + 1
    Next
    WScript.Echo "loop across Integer", total, i, TypeName(i)
    n = 0
    For i = 10 To 1 Step -3
        n = n + i
    Next
    WScript.Echo "down", n, i
    n = 0
    For i = 2147483640 To 2147483646 Step 2
        n = n + 1
    Next
    WScript.Echo "near the top", n, i
    n = 0 : i = 0
    Do While i < 100000
        i = i + 1
        n = (n + i * 3) Mod 1000003
    Loop
    WScript.Echo "mod loop", n, i \ 7, -7 \ 2, -7 Mod 3, TypeName(7 \ 2)
End Sub

On Error Resume Next
Locals
WScript.Echo "error", Err.Number
Err.Clear
On Error GoTo 0
Order
Compares
Arrays
Dim shared
shared = Array(10, 20, 30)
Elements shared, 2
WScript.Echo "after", shared
Loops

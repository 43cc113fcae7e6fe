' Members of script objects: fields read and written straight from a local, from the stack and
' through With give what calls of the general path give: values, copies, conversions, errors,
' evaluation order and Class_Terminate.
Class Point
    Public X, Y, Items(2), Child
    Private secret
    Private Sub Class_Initialize() : secret = "hidden" : X = 0 : End Sub
    Public Function Peek(other) : Peek = other.secret : End Function
End Class

Class Shape
    Private x_
    Public Property Get X() : X = "property " & x_ : End Property
    Public Property Let X(v) : x_ = v * 10 : End Property
End Class

Class Valued
    Public Default Property Get Value() : Value = 42 : End Property
End Class

Class Loud
    Public Name, V
    Private Sub Class_Terminate() : WScript.Echo "terminate", Name : End Sub
End Class

Function Swap(ByRef o)
    Set o = New Point
    o.X = 1000
    Swap = 5
End Function

Sub Locals()
    Dim p, i, s, shapes
    Set p = New Point
    For i = 1 To 5
        p.X = p.X + i
    Next
    WScript.Echo "sum", p.X, TypeName(p.X)
    p.X = 32767 : p.X = p.X + 1
    WScript.Echo "grows", p.X, TypeName(p.X)
    p.Y = "a" : p.Y = p.Y & "b" : s = p.Y : p.Y = p.Y & "c"
    WScript.Echo "strings are copies", s, p.Y
    ' One call site, two classes: a field on one, a property on the other.
    shapes = Array(New Point, New Shape, New Point)
    For i = 0 To 2
        Set p = shapes(i)
        p.X = i + 1
        WScript.Echo "site", i, p.X
    Next
    ' Objects assigned without Set give their default value; with Set they stay objects.
    Set p = New Point
    p.X = New Valued
    WScript.Echo "let object", p.X, TypeName(p.X)
    Set p.Child = New Valued
    WScript.Echo "set object", TypeName(p.Child), p.Child
    ' A fixed array field: copied out, changed in place through an index.
    p.Items(1) = "one"
    Dim copy
    copy = p.Items
    copy(1) = "changed"
    WScript.Echo "array field", p.Items(1), copy(1), UBound(p.Items)
    ' The object is read before the value: a call that replaces the variable comes too late.
    Set p = New Point
    p.X = 1
    Dim keep
    Set keep = p
    p.X = p.X + Swap(p)
    WScript.Echo "order", keep.X, p.X
    ' Private fields: outside no, inside a method of the class yes, even of another instance.
    On Error Resume Next
    s = p.secret
    WScript.Echo "private outside", Err.Number
    Err.Clear
    WScript.Echo "private inside", p.Peek(keep)
    p.secret = 1
    WScript.Echo "private write", Err.Number
    Err.Clear
    Set p = Nothing
    s = p.X
    WScript.Echo "nothing read", Err.Number
    Err.Clear
    p.X = 1
    WScript.Echo "nothing write", Err.Number
    Err.Clear
    p = 5
    s = p.X
    WScript.Echo "not an object", Err.Number
    Err.Clear
    p.X = 2
    WScript.Echo "not an object write", Err.Number
    Err.Clear
    Set p = New Point
    s = p.Missing
    WScript.Echo "no such member", Err.Number
    Err.Clear
    p.Missing = 1
    WScript.Echo "no such member write", Err.Number
    On Error GoTo 0
End Sub

Sub ByReference(ByRef p, ByVal q)
    p.X = p.X + 1
    q.X = q.X + 1
    With p
        .Y = .X * 2
        .X = .X + .Y
    End With
End Sub

Sub Temporaries()
    Dim l
    ' The only reference is on the stack: reading its field ends it, after the read.
    WScript.Echo "temporary", (New Loud).V & "x"
    Set l = New Loud
    l.Name = "held"
    l.V = 3
    Set l = Nothing
    WScript.Echo "after"
End Sub

Locals
Dim a, b
Set a = New Point : Set b = New Point
a.X = 1 : b.X = 10
ByReference a, b
WScript.Echo "by reference", a.X, a.Y, b.X
' Globals take the stack path.
a.X = a.X * 3
WScript.Echo "global", a.X
Temporaries

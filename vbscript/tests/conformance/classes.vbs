' Classes: fields, properties, methods, default members, Me, lifetime.
Class Counter
    Private mCount
    Public Name
    Public Items(2)

    Private Sub Class_Initialize()
        mCount = 0
        Name = "counter"
        WScript.Echo "initialize"
    End Sub

    Private Sub Class_Terminate()
        WScript.Echo "terminate", Name
    End Sub

    Public Property Get Count()
        Count = mCount
    End Property

    Public Property Let Count(v)
        If v < 0 Then Err.Raise 5
        mCount = v
    End Property

    Public Sub Add(n)
        mCount = mCount + n
    End Sub

    Public Function Twice()
        Twice = Me.Count * 2
    End Function

    Public Function Self()
        Set Self = Me
    End Function

    Private Function Secret()
        Secret = "secret"
    End Function

    Public Function Reveal()
        Reveal = Secret() & " " & Me.Secret
    End Function
End Class

Set c = New Counter
c.Add 5
c.Count = c.Count + 1
WScript.Echo "count", c.Count, c.Twice, c.Twice()
WScript.Echo "name", c.Name, TypeName(c), IsObject(c), VarType(c)
c.Items(1) = "item"
WScript.Echo "array field", c.Items(1), UBound(c.Items)
WScript.Echo "self", c.Self Is c, c.Self.Name
WScript.Echo "private via public", c.Reveal
Set c = Nothing
WScript.Echo "after nothing"

' Default members.
Class Wrapper
    Private mValue
    Public Default Property Get Value()
        Value = mValue
    End Property
    Public Property Let Value(v)
        mValue = v
    End Property
End Class
Class List
    Private mItems
    Private Sub Class_Initialize : mItems = Array("zero", "one", "two") : End Sub
    Public Default Function Item(i)
        Item = mItems(i)
    End Function
End Class
Set w = New Wrapper
w.Value = 41
WScript.Echo "default get", w, w + 1, "v=" & w, VarType(w), TypeName(w)
plain = w
WScript.Echo "let copies the value", TypeName(plain), plain
Set l = New List
WScript.Echo "default with arguments", l(1), l.Item(2)

' Property Set and objects in properties.
Class Holder
    Private mObj
    Public Property Set Obj(o)
        Set mObj = o
    End Property
    Public Property Get Obj()
        Set Obj = mObj
    End Property
End Class
Set h = New Holder
Set h.Obj = w
WScript.Echo "property set", h.Obj.Value, h.Obj Is w

' Terminate runs when the last reference goes.
Sub Scope()
    Dim local
    Set local = New Counter
    local.Name = "local one"
End Sub
Scope
WScript.Echo "after scope"
Set a = New Counter
a.Name = "shared"
Set b = a
Set a = Nothing
WScript.Echo "still referenced"
Set b = Nothing

' Errors.
On Error Resume Next
Set c = New Counter
c.Name = "errors"
c.Count = -1
WScript.Echo "raise in property", Err.Number : Err.Clear
x = c.Secret
WScript.Echo "private member", Err.Number, Err.Description : Err.Clear
x = c.Missing
WScript.Echo "missing member", Err.Number : Err.Clear
Set n = Nothing
x = n.Name
WScript.Echo "member of nothing", Err.Number, Err.Description : Err.Clear
x = 5
y = x.Name
WScript.Echo "member of number", Err.Number, Err.Description : Err.Clear
Set c2 = New Counter2
WScript.Echo "unknown class", Err.Number, Err.Description : Err.Clear
Set z = 5
WScript.Echo "set non-object", Err.Number, Err.Description : Err.Clear
z = Nothing
WScript.Echo "let nothing", Err.Number, Err.Description : Err.Clear
Set r = New Counter
r.Name = "no default"
v = r + 1
WScript.Echo "no default member", Err.Number : Err.Clear
Set r = Nothing
Set c = Nothing
WScript.Echo "end"

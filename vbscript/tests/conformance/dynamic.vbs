' Execute, ExecuteGlobal, Eval and GetRef.
x = 10
Execute "y = x * 2"
WScript.Echo "execute at script level", y
ExecuteGlobal "Function Triple(v) : Triple = v * 3 : End Function"
WScript.Echo "executeglobal function", Triple(4)
Execute "Sub Greet(n)" & vbCrLf & "WScript.Echo ""hello "" & n" & vbCrLf & "End Sub"
Greet "world"
WScript.Echo "eval", Eval("x + 1"), Eval("x = 10"), TypeName(Eval("1.5"))

' Execute inside a procedure sees and changes its locals.
Sub Local()
    Dim a
    a = 1
    Execute "a = a + 41"
    WScript.Echo "local changed", a
    Execute "Dim b : b = ""declared by execute"""
    Execute "WScript.Echo b"
    Execute "x = ""global changed"""
    WScript.Echo "eval local", Eval("a * 2")
    ExecuteGlobal "newGlobal = ""from procedure"""
    Execute "Dim made : made = ""made by execute"""
    WScript.Echo "seen by the procedure", made
End Sub
Local
WScript.Echo x, newGlobal

' Execute in a method sees the object's members.
Class Thing
    Public Value
    Sub Run()
        Execute "Value = ""set by execute"""
        WScript.Echo "member", Value, Eval("Value & ""!""")
    End Sub
End Class
Set t = New Thing
t.Run

' GetRef makes a procedure an object whose default member calls it.
Function Add(a, b) : Add = a + b : End Function
Set f = GetRef("Add")
WScript.Echo "getref", f(2, 3), TypeName(f)
Sub Handler()
    WScript.Echo "handler called"
End Sub
Set h = GetRef("Handler")
h
Call h()
Sub LocalRef()
    Dim local
    Set local = GetRef("Handler")
    local
    Call local()
    x = f(1, 1) + local()
End Sub
LocalRef

' Errors inside executed code reach the caller; syntax errors too.
On Error Resume Next
Execute "z = 1 / 0"
WScript.Echo "runtime in execute", Err.Number : Err.Clear
Execute "If Then"
WScript.Echo "syntax in execute", Err.Number, Err.Description : Err.Clear
v = Eval("1 +")
WScript.Echo "syntax in eval", Err.Number : Err.Clear
Set g = GetRef("NoSuchProc")
WScript.Echo "getref missing", Err.Number : Err.Clear

' Procedures: ByRef by default, ByVal, parenthesised arguments, Call, Exit, recursion.
Sub AddOne(n)
    n = n + 1
End Sub
Sub AddOneByVal(ByVal n)
    n = n + 1
End Sub
Sub Twice(ByRef a, ByRef b)
    a = a * 2 : b = b * 2
End Sub

x = 1
AddOne x : WScript.Echo "byref", x
AddOneByVal x : WScript.Echo "byval", x
AddOne (x) : WScript.Echo "parenthesised is by value", x
Call AddOne(x) : WScript.Echo "call keeps byref", x
Call AddOne((x)) : WScript.Echo "extra parentheses", x
AddOne x + 0 : WScript.Echo "expression", x
Twice x, x : WScript.Echo "same variable twice", x

' Array elements go by reference too.
Dim arr(2)
arr(1) = 10
AddOne arr(1) : WScript.Echo "element", arr(1)
AddOne (arr(1)) : WScript.Echo "element by value", arr(1)
Dim grid(1, 1)
grid(1, 0) = 5
AddOne grid(1, 0) : WScript.Echo "2d element", grid(1, 0)

' Functions: the name is the result variable; a Function called as a statement.
Function Square(v)
    Square = v * v
End Function
Function Nothing2()
End Function
WScript.Echo "function", Square(7), IsEmpty(Nothing2())
Square 3
Call Square(4)

Function Fib(n)
    If n < 2 Then
        Fib = n
        Exit Function
    End If
    Fib = Fib(n - 1) + Fib(n - 2)
End Function
WScript.Echo "recursion", Fib(15)

Sub EarlyExit(v)
    If v Then Exit Sub
    WScript.Echo "not exited"
End Sub
EarlyExit True
EarlyExit False

' A Function's result can be read back inside it.
Function Accumulate(n)
    Accumulate = 0
    For i = 1 To n
        Accumulate = Accumulate + i
    Next
End Function
WScript.Echo "accumulate", Accumulate(4)

' Undeclared names in a procedure are local unless a global of that name exists.
g = "global"
Sub Scopes()
    g = "changed"
    newLocal = "local"
End Sub
Scopes
WScript.Echo "scopes", g, IsEmpty(newLocal)
Sub Shadow()
    Dim g
    g = "shadow"
End Sub
Shadow
WScript.Echo "shadowed", g

' Procedures may be called before their definition; Dim at script level is hoisted.
WScript.Echo "later", Later(2)
Function Later(v) : Later = v * 10 : End Function
hoisted = 5
Dim hoisted
WScript.Echo "hoisted", hoisted

' Arguments passed to a ByRef parameter through another procedure.
Sub Outer(v)
    Inner v
End Sub
Sub Inner(w)
    w = "through two calls"
End Sub
s = "start"
Outer s
WScript.Echo s

' Objects are references whatever the parameter.
Class Box
    Public V
End Class
Sub Fill(ByVal b)
    b.V = "filled"
    Set b = Nothing
End Sub
Set bx = New Box
Fill bx
WScript.Echo "object byval", bx.V

' Wrong number of arguments.
On Error Resume Next
AddOne
WScript.Echo "missing argument", Err.Number, Err.Description
Err.Clear
x = Square(1, 2)
WScript.Echo "extra argument", Err.Number
Err.Clear
NoSuchSub 1
WScript.Echo "undefined sub", Err.Number, Err.Description

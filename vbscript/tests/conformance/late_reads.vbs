' An operator reads its left operand before its right one is computed, even when the right one
' runs script code (a default Property Get) that assigns the variable a by-reference argument
' stands for: the argument then shows the value from before.
Dim x, arr(1)

Class Changer
    Public NewValue
    Public Result
    Public Default Property Get Value
        x = NewValue
        arr(0) = NewValue
        Value = Result
    End Property
End Class

Function Changes(newValue, result)
    Set Changes = New Changer
    Changes.NewValue = newValue
    Changes.Result = result
End Function

Sub Arithmetic(ByRef a, o)
    WScript.Echo "mul", a * (o + 0), x
End Sub

Sub Compare(ByRef a, o)
    WScript.Echo "less", a < (o + 0), x
End Sub

Sub StoreBack(ByRef a, o)
    a = a - (o * 1)
    WScript.Echo "store", a, x
End Sub

Sub Element(ByRef a, o)
    WScript.Echo "element sum", a + (o - 0)
End Sub

x = 3
Arithmetic x, Changes(100, 1)
x = 3
Compare x, Changes(100, 50)
x = 3
StoreBack x, Changes(100, 1)
arr(0) = 4
Element arr(0), Changes(200, 2)
WScript.Echo "element", arr(0)
' Locals passed by value cannot change meanwhile: the same results.
Dim y
y = 3
Arithmetic (y), Changes(100, 1)

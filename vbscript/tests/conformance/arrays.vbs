' Arrays: fixed and dynamic, several dimensions, ReDim [Preserve], Erase, value semantics.
Dim fixed(3)
WScript.Echo "fixed", UBound(fixed), LBound(fixed), IsEmpty(fixed(0)), TypeName(fixed), VarType(fixed)
fixed(3) = "last"
WScript.Echo fixed(3)

Dim grid(2, 4)
WScript.Echo "grid", UBound(grid), UBound(grid, 1), UBound(grid, 2)
For i = 0 To 2
    For j = 0 To 4
        grid(i, j) = i * 10 + j
    Next
Next
WScript.Echo grid(2, 3), grid(1, 4)

Dim dyn()
WScript.Echo "dynamic", TypeName(dyn), IsArray(dyn)
ReDim dyn(2)
dyn(0) = "a" : dyn(1) = "b" : dyn(2) = "c"
ReDim Preserve dyn(4)
WScript.Echo "preserve", dyn(0), dyn(2), IsEmpty(dyn(4)), UBound(dyn)
ReDim Preserve dyn(1)
WScript.Echo "shrink", UBound(dyn), dyn(1)
ReDim dyn(1)
WScript.Echo "redim clears", IsEmpty(dyn(0))
ReDim m(1, 2)
m(1, 2) = "corner"
ReDim Preserve m(1, 5)
WScript.Echo "preserve last dimension", m(1, 2), UBound(m, 2)
ReDim e(-1)
WScript.Echo "empty array", UBound(e)

' ReDim also declares.
ReDim fresh(1)
fresh(1) = 1
WScript.Echo "redim declares", UBound(fresh)

' Array() and nested arrays.
a = Array(1, "two", Array(3, 4))
WScript.Echo "array()", UBound(a), a(1), a(2)(1), UBound(Array())

' Arrays are values: assignment copies.
b = a
b(0) = "changed"
WScript.Echo "copy", a(0), b(0)
Function Modify(ByVal arr)
    arr(0) = "inside"
    Modify = arr(0)
End Function
WScript.Echo "byval copy", Modify(a), a(0)
Sub ModifyRef(arr)
    arr(0) = "by reference"
End Sub
ModifyRef a
WScript.Echo "byref", a(0)
c = fixed
c(0) = "copy of fixed"
WScript.Echo "fixed copy", IsEmpty(fixed(0)), c(0)
ReDim Preserve c(5)
WScript.Echo "copy of fixed is dynamic", UBound(c)

' Erase.
Erase fixed
WScript.Echo "erase fixed", UBound(fixed), IsEmpty(fixed(3))
Erase dyn
On Error Resume Next
x = UBound(dyn)
WScript.Echo "erase dynamic", Err.Number
Err.Clear

' Errors.
x = fixed(4)
WScript.Echo "out of range", Err.Number, Err.Description : Err.Clear
x = grid(1)
WScript.Echo "wrong dimensions", Err.Number : Err.Clear
ReDim fixed(5)
WScript.Echo "redim fixed", Err.Number, Err.Description : Err.Clear
y = 5
x = y(0)
WScript.Echo "index a number", Err.Number : Err.Clear
ReDim Preserve m(3, 5)
WScript.Echo "preserve other dimension", Err.Number : Err.Clear
Sub Lock(el)
    ReDim a(0)
End Sub
Lock a(1)
WScript.Echo "locked while passed", Err.Number, Err.Description : Err.Clear
ReDim huge(100000, 100000)
WScript.Echo "giant allocation", Err.Number, Err.Description : Err.Clear

Option Explicit
' Declared names work; an undeclared one is a run-time error with its place.
Dim declared
declared = 1
WScript.Echo "declared", declared
Sub UsesUndeclared()
    Dim ok
    ok = 2
    WScript.Echo "in sub", ok
    notDeclared = 3
End Sub
On Error Resume Next
UsesUndeclared
WScript.Echo "trapped", Err.Number, Err.Description
On Error GoTo 0
WScript.Echo "next", alsoUndeclared

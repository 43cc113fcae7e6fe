Option Explicit
' Under Option Explicit ReDim declares the name it sizes: at script level a global, in a procedure
' a local (unless a global of that name exists); other undeclared names are still errors.
ReDim grown(2)
grown(1) = "one"
WScript.Echo "script level", UBound(grown), grown(1), TypeName(grown)
ReDim Preserve grown(4)
WScript.Echo "preserved", UBound(grown), grown(1)

Sub SizesGlobal()
    ReDim Preserve grown(6)
    grown(6) = "six"
End Sub
SizesGlobal
WScript.Echo "a procedure sizes the global", UBound(grown), grown(1), grown(6)

Function LocalArray(n)
    ReDim items(n)
    Dim i
    For i = 0 To n
        items(i) = i * i
    Next
    ReDim Preserve items(n + 1)
    items(n + 1) = "last"
    LocalArray = Join(items, ",")
End Function
WScript.Echo "a local", LocalArray(3)
WScript.Echo "each call its own", LocalArray(1)

Sub PassesIt()
    ReDim parts(1)
    parts(0) = "a"
    Fill parts
    WScript.Echo "passed by reference", parts(1), UBound(parts)
End Sub
Sub Fill(arr)
    ReDim Preserve arr(2)
    arr(1) = "b"
End Sub
PassesIt

Class Holder
    Public Function Make()
        ReDim inMethod(2)
        inMethod(2) = "method"
        Make = inMethod(2)
    End Function
End Class
Dim h
Set h = New Holder
WScript.Echo "in a method", h.Make()

On Error Resume Next
Sub Undeclared()
    ReDim ok(1)
    notDeclared = 1
End Sub
Undeclared
WScript.Echo "still undefined", Err.Number
Err.Clear
x = 1
WScript.Echo "at script level too", Err.Number

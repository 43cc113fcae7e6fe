' Class_Terminate of elements an array drops (ReDim, ReDim Preserve, Erase) runs when the array
' already has its new size: reading it there sees the new bounds, never the old elements.
Dim keep(), fixed(3)
Class Peeker
    Public Name
    Private Sub Class_Terminate()
        Dim x, u
        On Error Resume Next
        u = UBound(keep)
        If Err.Number <> 0 Then u = "error " & Err.Number
        Err.Clear
        x = keep(3)
        WScript.Echo Name, "sees bound", u, "element 3:", Err.Number
        Err.Clear
        x = fixed(3)
        WScript.Echo Name, "sees fixed(3):", TypeName(x)
    End Sub
End Class

Function Peek(name)
    Set Peek = New Peeker
    Peek.Name = name
End Function

ReDim keep(3)
Set keep(3) = Peek("redim")
ReDim keep(1)
ReDim keep(3)
Set keep(3) = Peek("preserve")
ReDim Preserve keep(1)
ReDim keep(3)
Set keep(3) = Peek("erase")
Erase keep
Set fixed(3) = Peek("fixed")
Erase fixed
ReDim keep(5)
Set keep(2) = Peek("reassigned")
keep = Empty
WScript.Echo "done"

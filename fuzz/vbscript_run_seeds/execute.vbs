' Code compiled while running: Execute in procedures sees their locals, ExecuteGlobal declares.
Function Outer(a)
    Dim b
    b = 2
    Execute "c = a + b : Dim d : d = c * 2"
    Execute "Outer = d + c"
    ExecuteGlobal "Function Made(x) : Made = x & ""!"" : End Function"
End Function
WScript.Echo Outer(1), Made("made")
On Error Resume Next
Execute "If True Then" & vbLf & "Sub Hoisted() : End Sub" & vbLf & "End If"
Execute "Class K : Public V : End Class : Set k = New K : k.V = Eval(""1 + 2"")"
WScript.Echo k.V, Err.Number
Execute "x = "
WScript.Echo Err.Number, Err.Description
Err.Clear
For Each w In Array("Err.Raise 5", "Error 7", "x = 1 / 0", "ReDim q(-2)")
    Execute w
    WScript.Echo Err.Number
    Err.Clear
Next

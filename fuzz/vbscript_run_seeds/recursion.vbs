' Deep and runaway recursion, through functions, properties, Execute and default members.
Function Down(n)
    If n > 0 Then Down = Down(n - 1) + 1 Else Down = 0
End Function
Class Chain
    Public Next_
    Public Default Property Get Value() : Value = Me.Value : End Property
End Class
On Error Resume Next
x = Down(100)
x = Down(100000)
WScript.Echo Err.Number
Err.Clear
Set c = New Chain
y = c
WScript.Echo Err.Number
Err.Clear
Sub Again(n) : Execute "Again n + 1" : End Sub
Again 1
WScript.Echo Err.Number
Function Mutual(n) : Mutual = Eval("Mutual(n + 1)") : End Function
z = Mutual(1)

' On Error Resume Next, On Error GoTo 0 and the Err object.
WScript.Echo "initial", Err.Number, "[" & Err.Description & "]", Err
On Error Resume Next
x = 1 / 0
WScript.Echo "caught", Err.Number, Err.Description, Err.Source
WScript.Echo "still set", Err.Number
Err.Clear
WScript.Echo "cleared", Err.Number, "[" & Err.Description & "]"

' The failing statement is skipped; execution goes on with the next one.
y = "before"
y = 1 / 0 : WScript.Echo "same line runs", y
Err.Clear

' An error in an If condition continues inside the Then block.
If 1 / 0 = 5 Then
    WScript.Echo "inside then after error"
Else
    WScript.Echo "else"
End If
Err.Clear

' Err.Raise with and without descriptions.
Err.Raise 6
WScript.Echo "raise 6", Err.Number, Err.Description
Err.Raise vbObjectError + 1, "MySource", "My description"
WScript.Echo "raise custom", Err.Number - vbObjectError, Err.Source, Err.Description
Err.Raise 1234
WScript.Echo "raise unknown", Err.Number, Err.Description
Err.Number = 42
WScript.Echo "set number", Err.Number
Err.Clear

' Errors in called procedures end the procedure and come back to the caller's handler.
Sub Fails()
    WScript.Echo "fails: before"
    x = CLng("no")
    WScript.Echo "fails: never"
End Sub
Fails
WScript.Echo "after failing sub", Err.Number
Err.Clear

' A procedure's own handler.
Function Safe()
    On Error Resume Next
    Safe = 1 / 0
    Safe = "recovered " & Err.Number
End Function
WScript.Echo Safe(), Err.Number

' On Error GoTo 0 clears Err and turns handling off (for this procedure).
Sub Strict()
    On Error GoTo 0
    x = 1 / 0
    WScript.Echo "strict: never"
End Sub
Err.Raise 5
On Error GoTo 0
WScript.Echo "goto 0 clears", Err.Number
On Error Resume Next
Strict
WScript.Echo "strict error reached caller", Err.Number
Err.Clear

' The classic numbers and descriptions.
Sub Try(code)
    On Error Resume Next
    Execute code
    WScript.Echo Err.Number, Err.Description
End Sub
Try "x = Array(1)(5)"
Try "x = CInt(""x"")"
Try "Set o = New RegExpLike"
Try "Set o = Nothing : o.Foo"
Try "x = Err.NoSuchThing"
Try "x = Mid(""abc"", 0)"
Try "x = CInt(99999)"
Try "x = 1 \ 0"
Try "Dim a(1) : ReDim a(2)"
Try "Err.Raise 70"
Try "Err.Raise 53"
Try "x = UBound(5)"

' Resume Next inside loops keeps looping.
count = 0
For i = 1 To 3
    z = 1 / (i - 2)
    count = count + 1
Next
WScript.Echo "loop with errors", count, Err.Number
Err.Clear
On Error GoTo 0
WScript.Echo "done"

' Procedures and classes declared inside blocks of script-level code: the blocks parse, and the
' declarations are global whether or not their block runs.
WScript.Echo "called before its block", Tripled(3)
If False Then
    Function Tripled(x)
        Tripled = x * 3
    End Function
    WScript.Echo "not run"
ElseIf True Then
    Private Sub HiddenAway()
        WScript.Echo "sub from an ElseIf"
    End Sub
    WScript.Echo "elseif branch"
Else
    WScript.Echo "not run either"
End If
HiddenAway

For i = 1 To 2
    Sub FromLoop : WScript.Echo "sub from a loop" : End Sub
    WScript.Echo "iteration", i
Next
FromLoop

Select Case 2
Case 1
    Public Function NeverChosen()
        NeverChosen = "chosen anyway"
    End Function
Case 2
    WScript.Echo "case 2"
End Select
WScript.Echo NeverChosen()

Do While n < 1
    n = n + 1
    Class Counter
        Public Count
        Sub Bump : Count = Count + 1 : End Sub
    End Class
Loop
Set c = New Counter
c.Bump : c.Bump
WScript.Echo "class from a loop", c.Count

While False
    Function InWhile() : InWhile = "from While" : End Function
Wend
WScript.Echo InWhile()

' Nested blocks, and code after the declaration that still belongs to the block.
If True Then
    For Each v In Array("a", "b")
        If v = "b" Then
            Function Deep(s)
                Deep = "deep " & s
            End Function
            WScript.Echo "after the declaration", Deep(v)
        End If
    Next
End If

' A single-line If cannot hold a declaration; inside a procedure a declaration is still an error.
On Error Resume Next
ExecuteGlobal "If True Then Sub OneLine : End Sub"
WScript.Echo "single-line If", Err.Number
Err.Clear
ExecuteGlobal "Sub Outer()" & vbLf & "If True Then" & vbLf & "Sub Inner()" & vbLf & "End Sub" & _
    vbLf & "End If" & vbLf & "End Sub"
WScript.Echo "inside a procedure", Err.Number
Err.Clear
' Executed code hoists the same way.
ExecuteGlobal "If False Then" & vbLf & "Function Dyn() : Dyn = 42 : End Function" & vbLf & "End If"
WScript.Echo "from ExecuteGlobal", Err.Number, Dyn()
' The block around a declaration still needs its end.
ExecuteGlobal "If True Then" & vbLf & "Sub Unclosed()" & vbLf & "End Sub"
WScript.Echo "unclosed block", Err.Number, Err.Description

' Class_Terminate running while the arrays and variables holding its objects change.
Dim keep(), log
Class Noisy
    Public Id, Other
    Private Sub Class_Initialize() : Id = 1 : End Sub
    Private Sub Class_Terminate()
        log = log & "t" & Id
        On Error Resume Next
        If IsArray(keep) Then x = keep(0) : ReDim Preserve keep(1) : Erase keep
        Set Other = Nothing
    End Sub
End Class
ReDim keep(3)
For i = 0 To 3
    Set keep(i) = New Noisy
    keep(i).Id = i
Next
Set keep(1).Other = keep(2)
Set keep(2).Other = keep(1)
ReDim Preserve keep(1)
ReDim keep(2)
Set keep(0) = New Noisy
Erase keep
Dim fixed(2)
Set fixed(0) = New Noisy
Erase fixed
Set a = New Noisy : Set b = New Noisy : Set a.Other = b : Set b.Other = a
a = Empty
Sub InUse(el)
    Erase keep
    ReDim keep(5)
    el = 3
End Sub
ReDim keep(2)
On Error Resume Next
InUse keep(1)
WScript.Echo Err.Number, log

' What the compiler makes of the usual shapes: vbsrun --dump prints it, the test compares.
Class Counter
    Private count
    Public Sub Add(n)
        count = count + n
    End Sub
End Class

Function Scale(ByRef a, o, list)
    Dim i, s
    s = ""
    For i = 0 To UBound(list)
        If list(i) > 2 Then s = s & list(i)
    Next
    Scale = a * (o + 1) + i * (o + 1)
End Function

Function Halve(n, p)
    Dim q
    Set q = p
    Do While n > 1
        n = n \ 2
        q.Steps = q.Steps + p.Steps
    Loop
    Halve = n
End Function

On Error Resume Next
Dim c
Set c = New Counter
c.Add 2
With c
    .Add 3
End With

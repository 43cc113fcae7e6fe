' Loop counters of every kind of variable, and counters that change subtype.
Class Walker
    Public Pos
    Public Sub Walk()
        For Pos = 1 To 3
        Next
        WScript.Echo "field counter", Pos
    End Sub
End Class
Set w = New Walker
w.Walk

Sub CountWith(ByRef c)
    For c = 10 To 14 Step 2
    Next
End Sub
CountWith outside
WScript.Echo "byref counter", outside

For i = 32766 To 32768
    WScript.Echo "promoting", i, TypeName(i)
Next
For i = 2147483646 To 2147483648
    WScript.Echo "to double", i, TypeName(i)
Next
For d = 0 To 1 Step 0.25
    s = s & d & " "
Next
WScript.Echo "fractional", s
For i = 3 To 1 Step -1
    WScript.Echo "down", i
Next
For i = "1" To "3"
    WScript.Echo "text bounds", i, TypeName(i)
Next
For i = 1 To 3 Step 1
    i = i + 0
Next
WScript.Echo "after", i

' For Each walks every element of a multi-dimensional array in storage order.
Dim g(1, 2)
For r = 0 To 1
    For c = 0 To 2
        g(r, c) = r & c
    Next
Next
s = ""
For Each e In g
    s = s & e & " "
Next
WScript.Echo "2d each", s
For Each inner In Array(Array(1, 2), Array(3))
    For Each e In inner
        WScript.Echo "nested each", e
    Next
Next
For Each e In Array()
    WScript.Echo "never"
Next
WScript.Echo "empty each done"

' Exit from loops nested in Select and If.
For i = 1 To 5
    Select Case i
        Case 2
            If True Then Exit For
    End Select
Next
WScript.Echo "exit from select", i
n = 0
Do
    n = n + 1
    With w
        If n = 3 Then Exit Do
    End With
Loop
WScript.Echo "exit from with", n
Do Until n = 0 Or n > 100
    n = n - 1
Loop
WScript.Echo "compound condition", n

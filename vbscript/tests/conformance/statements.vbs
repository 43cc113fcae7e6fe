' If in all its forms.
x = 5
If x > 3 Then WScript.Echo "single-line then"
If x > 9 Then WScript.Echo "no" Else WScript.Echo "single-line else"
If x = 5 Then WScript.Echo "a" : WScript.Echo "b" Else WScript.Echo "c"
If x > 1 Then If x > 9 Then WScript.Echo "inner" Else WScript.Echo "inner else"
If x = 1 Then
    WScript.Echo "one"
ElseIf x = 5 Then
    WScript.Echo "elseif five"
Else
    WScript.Echo "other"
End If
If Null Then WScript.Echo "null is true" Else WScript.Echo "null is false"
If "True" Then WScript.Echo "text true"
If x Then WScript.Echo "nonzero true"

' Select Case: lists, strings, Else, first match wins.
For Each v In Array(1, 2, 5, 7)
    Select Case v
        Case 1, 2
            WScript.Echo v, "one or two"
        Case 4 + 1: WScript.Echo v, "five"
        Case Else
            WScript.Echo v, "else"
    End Select
Next
Select Case "10"
Case 10
    WScript.Echo "text selector matches number literal"
End Select
Select Case "b"
Case "a"
    WScript.Echo "a"
Case "b", "b"
    WScript.Echo "b once"
Case "b"
    WScript.Echo "b twice"
End Select

' For: bounds and step are evaluated once; the variable keeps going past the limit.
n = 3
For i = 1 To n
    n = 10
    WScript.Echo "for", i
Next
WScript.Echo "after for", i
For i = 10 To 1 Step -4 : WScript.Echo "down", i : Next
For i = 1 To 2 Step 0.5 : WScript.Echo "half", i : Next
For i = 5 To 1 : WScript.Echo "never" : Next
WScript.Echo "empty loop leaves", i
For i = 1 To 10
    If i = 3 Then Exit For
Next
WScript.Echo "exit for at", i
For i = 1 To 3
    For j = 1 To 3
        If j = 2 Then Exit For
        WScript.Echo "nested", i, j
    Next
Next
For k = 1 To 2
    k = k + 1
    WScript.Echo "changed counter", k
Next

' For Each over arrays (a snapshot) and objects.
arr = Array(1, 2, 3)
total = 0
For Each v In arr
    arr(2) = 100
    total = total + v
Next
WScript.Echo "for each total", total, arr(2)
For Each a In WScript.Arguments
    WScript.Echo "argument", a
Next

' Do loops.
i = 0
Do While i < 3 : i = i + 1 : Loop
WScript.Echo "do while", i
Do Until i = 0 : i = i - 1 : Loop
WScript.Echo "do until", i
Do : i = i + 1 : Loop While i < 5
WScript.Echo "loop while", i
Do : i = i + 1 : Loop Until True
WScript.Echo "loop until runs once", i
Do
    i = i + 1
    If i >= 10 Then Exit Do
Loop
WScript.Echo "exit do", i
Do While False : WScript.Echo "never" : Loop
i = 0
While i < 4
    i = i + 2
Wend
WScript.Echo "while wend", i
Do
    For m = 1 To 5
        If m = 2 Then Exit Do
    Next
Loop
WScript.Echo "exit do from for", m
For m = 1 To 3
    Do While True
        Exit Do
    Loop
    While False : Wend
Next
WScript.Echo "exit do inside for", m

' With.
Class Point
    Public X, Y
End Class
Set p = New Point
With p
    .X = 1
    .Y = .X + 1
    With New Point
        .X = 99
        WScript.Echo "inner with", .X
    End With
    WScript.Echo "with", .X, .Y
End With

' Stop has no effect; Randomize takes an optional seed.
Stop
Randomize 1
Randomize
WScript.Echo "done"

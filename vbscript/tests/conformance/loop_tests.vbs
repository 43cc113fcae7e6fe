' Test-first loops in procedures without On Error are compiled with the test at the bottom: they
' run as written, whatever the condition gives (Booleans, numbers, strings, Null, Empty, objects)
' and however they are left.
Class Flag
    Public Count
    Public Default Property Get Value() : Count = Count + 1 : Value = Count < 3 : End Property
End Class

Function Collatz(n)
    Dim steps
    Do While n <> 1
        If n Mod 2 = 0 Then n = n \ 2 Else n = 3 * n + 1
        steps = steps + 1
    Loop
    Collatz = steps
End Function

Function Kinds()
    Dim i, s, f, out, v
    i = 0
    Do Until i >= 3 : i = i + 1 : Loop
    out = "until " & i
    i = 0
    While i < 4 : i = i + 1 : Wend
    out = out & ", while " & i
    Do While False : out = out & " never" : Loop
    Do Until True : out = out & " never" : Loop
    s = "a"
    Do While s < "aaaa" : s = s & "a" : Loop
    out = out & ", string " & s
    i = 0
    Do While i < "3" : i = i + 1 : Loop
    out = out & ", mixed " & i
    v = 5
    Do While v : v = v - 1 : Loop
    out = out & ", number " & v
    Do While Null : out = out & " null ran" : Exit Do : Loop
    Do Until Null : out = out & ", until null runs" : Exit Do : Loop
    Do While Empty : out = out & " empty ran" : Loop
    Set f = New Flag
    Do While f : Loop
    out = out & ", default member " & f.Count
    i = 0
    Do While True
        i = i + 1
        If i = 5 Then Exit Do
    Loop
    out = out & ", exit " & i
    i = 0
    Do While i < 10
        i = i + 1
        Dim j : j = 0
        Do Until j = i : j = j + 1 : If j > 2 Then Exit Do
        Loop
        If i > 3 Then Exit Do
    Loop
    out = out & ", nested " & i & " " & j
    Kinds = out
End Function

Function FailsInTest()
    Dim x
    x = "abc"
    Do While x > 0 : x = x - 1 : Loop
End Function

WScript.Echo "collatz", Collatz(27)
WScript.Echo Kinds()
On Error Resume Next
FailsInTest
WScript.Echo "error in the test", Err.Number

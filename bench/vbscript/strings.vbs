' A string of one million characters built by appending to it 100,000 times.
Function Build()
    Dim s, i
    s = ""
    For i = 1 To 100000
        s = s & "abcdefghij"
    Next
    Build = Len(s) & ":" & Mid(s, 999991)
End Function

result = Build()

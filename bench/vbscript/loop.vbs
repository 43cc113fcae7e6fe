' Integer arithmetic in a counted loop of 10 million iterations.
Function SumLoop()
    Dim i, s
    s = 0
    For i = 1 To 10000000
        s = (s + i * 3) Mod 1000003
    Next
    SumLoop = s
End Function

result = SumLoop()

' Mod and integer arithmetic on locals in a counted loop of 30 million iterations.
Function ModLoop()
    Dim i, s
    s = 0
    For i = 1 To 30000000
        s = s + (i Mod 7) * 2
    Next
    ModLoop = s
End Function

result = ModLoop()

' Five million reads and writes of a public member of a script class's object.
Class Counter
    Public V
End Class

Function MemberTest()
    Dim o, i
    Set o = New Counter
    o.V = 0
    For i = 1 To 5000000
        o.V = o.V + 1
    Next
    MemberTest = o.V
End Function

result = MemberTest()

' One million reads and one million writes of a property of a host object.
Function HostTest()
    Dim i
    For i = 1 To 1000000
        Host.Value = Host.Value + 1
    Next
    HostTest = Host.Value
End Function

result = HostTest()

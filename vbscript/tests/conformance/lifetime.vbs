' Objects stay alive while their own code runs, even when that code drops the last reference.
Class SelfDropper
    Public Name
    Public Default Function Value(x)
        Set holder = Nothing
        Value = Name & " still here " & x
    End Function
    Public Property Let Item(i, v)
        Set holder = Nothing
        Name = Name & v
        WScript.Echo "let ran", Name
    End Property
    Public Sub Drop()
        Set holder = Nothing
        WScript.Echo "drop ran", Name
    End Sub
    Private Sub Class_Terminate()
        WScript.Echo "terminate", Name
    End Sub
End Class
Set holder = New SelfDropper
holder.Name = "a"
WScript.Echo holder(1)
Set holder = New SelfDropper
holder.Name = "b"
holder.Drop
Set holder = New SelfDropper
holder.Name = "c"
holder.Item(1) = "!"
Set holder = New SelfDropper
holder.Name = "d"
WScript.Echo "concat " & holder(2)
WScript.Echo "end"

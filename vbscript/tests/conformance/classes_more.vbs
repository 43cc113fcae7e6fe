' Properties with arguments, Me, chains, Exit Property, lifetime order.
Class Grid
    Private mCells(2, 2)
    Public Property Get Cell(r, c)
        If IsObject(mCells(r, c)) Then
            Set Cell = mCells(r, c)
        Else
            Cell = mCells(r, c)
        End If
    End Property
    Public Property Let Cell(r, c, v)
        mCells(r, c) = v
    End Property
    Public Property Set Cell(r, c, o)
        Set mCells(r, c) = o
    End Property
    Public Property Get Checked(v)
        Checked = "small"
        If v > 10 Then Exit Property
        Checked = "checked " & v
    End Property
End Class
Set g = New Grid
g.Cell(1, 2) = "b"
WScript.Echo "indexed property", g.Cell(1, 2), IsEmpty(g.Cell(0, 0))
Set g.Cell(0, 0) = g
WScript.Echo "indexed set", g.Cell(0, 0) Is g
WScript.Echo "exit property", g.Checked(20), g.Checked(3)

Class Node
    Public Value, NextNode
    Public Function Init(v, n)
        Value = v
        Set NextNode = n
        Set Init = Me
    End Function
    Public Function IsSame(other)
        IsSame = other Is Me
    End Function
    Public Sub Bump(ByRef target)
        target = target + Value
    End Sub
    Public Sub BumpOwn()
        Bump Value
    End Sub
End Class
Set chain = (New Node).Init(1, (New Node).Init(2, (New Node).Init(3, Nothing)))
WScript.Echo "chain", chain.Value, chain.NextNode.Value, chain.NextNode.NextNode.Value
WScript.Echo "me", chain.IsSame(chain), chain.IsSame(chain.NextNode)
total = 10
chain.Bump total
WScript.Echo "byref into method", total
chain.BumpOwn
WScript.Echo "byref field", chain.Value
chain.Bump chain.Value
WScript.Echo "property argument is by value", chain.Value
With chain.NextNode
    .Bump total
    .Value = .Value * 100
    WScript.Echo "with method", total, .Value
End With

' Class_Initialize can call methods; Terminate runs in release order.
Class Noisy
    Public Id
    Private Sub Class_Initialize()
        Id = "new"
        Announce "init"
    End Sub
    Sub Announce(what)
        WScript.Echo what, Id
    End Sub
    Private Sub Class_Terminate()
        Announce "terminate"
    End Sub
End Class
Set n1 = New Noisy : n1.Id = "first"
Set n2 = New Noisy : n2.Id = "second"
Set n1 = n2
WScript.Echo "reassigned"
Dim holder(1)
Set holder(0) = New Noisy : holder(0).Id = "in array"
Erase holder
WScript.Echo "erased"
Function MakeTemp()
    Set MakeTemp = New Noisy
    MakeTemp.Id = "temporary"
End Function
tid = MakeTemp().Id
WScript.Echo "temp id", tid
Set n2 = Nothing
Set n1 = Nothing
WScript.Echo "released"

' Errors inside Class_Initialize reach New.
Class Broken
    Private Sub Class_Initialize()
        Err.Raise 5, "Broken", "cannot build"
    End Sub
End Class
On Error Resume Next
Set b = New Broken
WScript.Echo "initialize error", Err.Number, Err.Description, IsEmpty(b)
Err.Clear
For Each x In g
Next
WScript.Echo "for each over a class", Err.Number
Err.Clear

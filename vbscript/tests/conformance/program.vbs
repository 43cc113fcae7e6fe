Option Explicit
' A small adventure-game model: rooms, an inventory, scripted events and a report.
' It uses most of the language at once, as game scripts do.

Const GAME_TITLE = "The Lost Key"
Const MAX_ITEMS = 4
Dim gLog, gTurn, gRooms(3), gEvents, gScore
gLog = ""
gTurn = 0
gScore = 0

' ---- A keyed collection written in the language ------------------------------------------
Class Dictionary
    Private mKeys(), mValues(), mCount

    Private Sub Class_Initialize()
        mCount = 0
        ReDim mKeys(3)
        ReDim mValues(3)
    End Sub

    Public Property Get Count()
        Count = mCount
    End Property

    Private Function IndexOf(key)
        Dim i
        IndexOf = -1
        For i = 0 To mCount - 1
            If LCase(mKeys(i)) = LCase(key) Then
                IndexOf = i
                Exit Function
            End If
        Next
    End Function

    Public Function Exists(key)
        Exists = IndexOf(key) >= 0
    End Function

    Public Default Property Get Item(key)
        Dim i
        i = IndexOf(key)
        If i < 0 Then Err.Raise 9, "Dictionary", "No such key: " & key
        If IsObject(mValues(i)) Then
            Set Item = mValues(i)
        Else
            Item = mValues(i)
        End If
    End Property

    Public Property Let Item(key, value)
        Dim i
        i = IndexOf(key)
        If i < 0 Then
            If mCount > UBound(mKeys) Then
                ReDim Preserve mKeys(mCount * 2)
                ReDim Preserve mValues(mCount * 2)
            End If
            i = mCount
            mCount = mCount + 1
            mKeys(i) = key
        End If
        mValues(i) = value
    End Property

    Public Function Keys()
        Dim result(), i
        If mCount = 0 Then
            Keys = Array()
            Exit Function
        End If
        ReDim result(mCount - 1)
        For i = 0 To mCount - 1
            result(i) = mKeys(i)
        Next
        Keys = result
    End Function
End Class

' ---- Rooms and the player ------------------------------------------------------------------
Class Room
    Public Name, Exits, Items, Visited

    Public Function Init(roomName, exitList)
        Name = roomName
        Exits = Split(exitList, ",")
        Set Items = New Dictionary
        Visited = False
        Set Init = Me
    End Function

    Public Function HasExit(direction)
        Dim e
        HasExit = False
        For Each e In Exits
            If Trim(e) = direction Then HasExit = True
        Next
    End Function
End Class

Class Player
    Private mInventory(), mCount
    Public Location, Health

    Private Sub Class_Initialize()
        ReDim mInventory(MAX_ITEMS - 1)
        mCount = 0
        Health = 10
    End Sub

    Public Property Get ItemCount()
        ItemCount = mCount
    End Property

    Public Function Take(itemName)
        If mCount >= MAX_ITEMS Then
            Take = False
        Else
            mInventory(mCount) = itemName
            mCount = mCount + 1
            Take = True
        End If
    End Function

    Public Function Has(itemName)
        Dim i
        Has = False
        For i = 0 To mCount - 1
            If mInventory(i) = itemName Then Has = True : Exit For
        Next
    End Function

    Public Function Describe()
        Dim i, s
        s = ""
        For i = 0 To mCount - 1
            If i > 0 Then s = s & ", "
            s = s & mInventory(i)
        Next
        If s = "" Then s = "nothing"
        Describe = s
    End Function
End Class

' ---- Helpers ---------------------------------------------------------------------------------
Sub Log(message)
    gTurn = gTurn + 1
    gLog = gLog & Right("00" & gTurn, 3) & ": " & message & vbLf
End Sub

Sub Swap(ByRef a, ByRef b)
    Dim t
    t = a : a = b : b = t
End Sub

Sub QuickSort(arr, low, high)
    Dim pivot, i, j
    If low >= high Then Exit Sub
    pivot = arr((low + high) \ 2)
    i = low : j = high
    Do While i <= j
        Do While arr(i) < pivot : i = i + 1 : Loop
        Do While arr(j) > pivot : j = j - 1 : Loop
        If i <= j Then
            Swap arr(i), arr(j)
            i = i + 1 : j = j - 1
        End If
    Loop
    QuickSort arr, low, j
    QuickSort arr, i, high
End Sub

Function Pad(text, width)
    Pad = text & Space(width - Len(text))
End Function

Function Direction(code)
    Select Case UCase(code)
        Case "N", "NORTH" : Direction = "north"
        Case "S", "SOUTH" : Direction = "south"
        Case "E", "EAST" : Direction = "east"
        Case "W", "WEST" : Direction = "west"
        Case Else : Direction = ""
    End Select
End Function

' ---- Building the world ------------------------------------------------------------------
Set gRooms(0) = (New Room).Init("Hall", "north,east")
Set gRooms(1) = (New Room).Init("Library", "south")
Set gRooms(2) = (New Room).Init("Kitchen", "west, north")
Set gRooms(3) = (New Room).Init("Cellar", "south")
gRooms(0).Items("lamp") = 1
gRooms(1).Items("book") = 3
gRooms(1).Items("key") = 1
gRooms(2).Items("bread") = 2

Function RoomAfter(current, direction)
    Dim target
    Set RoomAfter = Nothing
    Select Case current.Name & ">" & direction
        Case "Hall>north" : target = 1
        Case "Hall>east" : target = 2
        Case "Library>south", "Kitchen>west" : target = 0
        Case "Kitchen>north" : target = 3
        Case "Cellar>south" : target = 2
        Case Else : target = -1
    End Select
    If target >= 0 Then Set RoomAfter = gRooms(target)
End Function

' ---- Events run by name, as a game's actions do --------------------------------------------
Set gEvents = New Dictionary
gEvents("Library") = "OnLibrary"
gEvents("Cellar") = "OnCellar"

Sub OnLibrary(p)
    Log "The books whisper."
    gScore = gScore + 5
End Sub

Sub OnCellar(p)
    If p.Has("lamp") Then
        Log "The lamp shows a door."
        gScore = gScore + 20
    Else
        Log "It is too dark."
        p.Health = p.Health - 3
    End If
End Sub

Sub Enter(p, room)
    Dim handler
    Set p.Location = room
    Log "Entered " & room.Name & IIfText(room.Visited, " again", "")
    If Not room.Visited And gEvents.Exists(room.Name) Then
        Set handler = GetRef(gEvents(room.Name))
        handler p
    End If
    room.Visited = True
End Sub

Function IIfText(condition, whenTrue, whenFalse)
    If condition Then IIfText = whenTrue Else IIfText = whenFalse
End Function

Sub TakeAll(p)
    Dim key
    For Each key In p.Location.Items.Keys
        If p.Take(key) Then
            Log "Took " & key & " x" & p.Location.Items(key)
            gScore = gScore + p.Location.Items(key)
        Else
            Log "No room for " & key
        End If
    Next
End Sub

' ---- Playing a walkthrough -----------------------------------------------------------------
Dim hero, moves, move, nextRoom, steps
Set hero = New Player
Enter hero, gRooms(0)
TakeAll hero
moves = Array("n", "x", "s", "e", "N", "s", "w")
steps = 0
For Each move In moves
    steps = steps + 1
    If Direction(move) = "" Then
        Log "Unknown direction '" & move & "'"
    Else
        Set nextRoom = RoomAfter(hero.Location, Direction(move))
        If nextRoom Is Nothing Then
            Log "No way " & Direction(move)
        Else
            Enter hero, nextRoom
            TakeAll hero
        End If
    End If
    If hero.Health <= 0 Then Exit For
Next

' ---- Errors are part of the game -----------------------------------------------------------
Dim missing, errorText
On Error Resume Next
missing = gRooms(0).Items("sword")
errorText = Err.Number & " " & Err.Description & " (" & Err.Source & ")"
Err.Clear
missing = gRooms(9).Name
errorText = errorText & "; " & Err.Number
On Error GoTo 0
Log "Errors seen: " & errorText

' ---- Scripted formulas, as authors write them in variables -------------------------------
Dim formula, bonus
formula = "gScore * 2 + hero.ItemCount"
bonus = Eval(formula)
Execute "gScore = gScore + " & bonus & " \ 10"
Log "Bonus " & bonus

' ---- The report ----------------------------------------------------------------------------
Dim names(), i, report, key
ReDim names(UBound(gRooms))
For i = 0 To UBound(gRooms)
    names(i) = gRooms(i).Name
Next
QuickSort names, 0, UBound(names)

report = GAME_TITLE & vbLf & String(Len(GAME_TITLE), "=") & vbLf
report = report & gLog
report = report & "Rooms: " & Join(names, ", ") & vbLf
With hero
    report = report & Pad("Carrying:", 10) & .Describe() & vbLf
    report = report & Pad("Health:", 10) & .Health & vbLf
End With
For i = 0 To UBound(gRooms)
    report = report & Pad(gRooms(i).Name, 8) & IIfText(gRooms(i).Visited, "visited", "unseen")
    report = report & " (" & gRooms(i).Items.Count & " item kinds)" & vbLf
Next
report = report & "Score: " & gScore & " in " & steps & " moves, " & TypeName(gScore) & vbLf
Dim numbers
numbers = Array(5, 3, 9, 1, 7, 2)
QuickSort numbers, 0, UBound(numbers)
report = report & "Sorted: " & Join(numbers, " ") & vbLf
report = report & "Checks: " & (7 \ 2) & " " & (7 Mod 3) & " " & (2 ^ 10) & " " & (-3 ^ 2) & _
    " " & CStr(1 / 4) & " " & (&HFF And 15) & " " & TypeName(32767 + 1) & vbLf
WScript.StdOut.Write report
If gScore > 50 Then
    WScript.Echo "You win."
Else
    WScript.Echo "Keep trying."
End If

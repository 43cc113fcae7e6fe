' Strings and arrays growing past the limits, copies of arrays, and handlers around it all.
On Error Resume Next
s = "ab"
Do While Err.Number = 0
    s = s & s
Loop
WScript.Echo Len(s), Err.Number
Err.Clear
Dim parts(100)
For i = 0 To 100
    parts(i) = Space(4000) & i
    copy = parts
    copy(i) = Replace(parts(i), " ", "xy")
Next
WScript.Echo Err.Number
ReDim big(5000)
ReDim grid(100, 100)
ReDim Preserve grid(100, 200)
ReDim Preserve grid(50, 200)
x = Join(Split(String(3000, ","), ","), "--")
y = Filter(Split(String(100, "a"), ""), "a")
WScript.Echo Err.Number, UBound(grid, 2)

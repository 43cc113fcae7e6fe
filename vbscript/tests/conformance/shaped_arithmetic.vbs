' Arithmetic on locals and constants in each operand shape the compiler fuses (local op constant,
' stack op constant, local = local op constant, local = local op computed) gives the same values,
' subtypes and errors for every operator at the edges of the subtypes.
Function Shapes(v)
    Dim r, t
    On Error Resume Next
    r = TypeName(v) & ":"
    t = v + 1 : r = r & " " & Show(t) : t = v - 1 : r = r & " " & Show(t)
    t = v * 2 : r = r & " " & Show(t) : t = v / 2 : r = r & " " & Show(t)
    t = v \ 2 : r = r & " " & Show(t) : t = v Mod 7 : r = r & " " & Show(t)
    t = v \ -1 : r = r & " " & Show(t) : t = v Mod -1 : r = r & " " & Show(t)
    Err.Clear : t = v \ 0 : r = r & " /0:" & Err.Number
    Err.Clear : t = v Mod 0 : r = r & " mod0:" & Err.Number
    Err.Clear : t = (v + 0) * 3 : r = r & " " & Show(t)
    t = (v + 0) - 32768 : r = r & " " & Show(t)
    t = v : t = t + 1 : r = r & " " & Show(t)
    t = v : t = t - 1 : r = r & " " & Show(t)
    t = v : t = t * 2 : r = r & " " & Show(t)
    t = v : t = t \ 3 : r = r & " " & Show(t)
    t = v : t = t Mod 3 : r = r & " " & Show(t)
    t = v : t = t + (v \ 2) : r = r & " " & Show(t)
    t = v : t = t * (v + 0) : r = r & " " & Show(t)
    Err.Clear : t = v : t = t \ (v - v) : r = r & " " & Err.Number
    Shapes = r
End Function

' The other shapes: local op computed, computed op constant into a local, computed op computed
' (into a local or not), a by-reference argument op constant.
Function More(ByVal v, w)
    Dim r, t, u
    On Error Resume Next
    u = v
    r = u + (v * 1)
    r = r & " " & Show(r)
    t = (u + 0) * 3
    r = r & " " & Show(t)
    t = (u * 2) + (v - 1)
    r = r & " " & Show(t)
    r = r & " " & Show((u * 2) + (v - 1)) & " " & Show((u \ 3) Mod (v - 5))
    t = w - 7
    r = r & " " & Show(t)
    t = u - (w + 1)
    r = r & " " & Show(t) & " " & Err.Number
    More = r
End Function

Function Show(x)
    Show = TypeName(x) & " " & x
End Function

For Each v In Array(0, 1, -1, 32767, -32768, 32766, CLng(65536), 2147483647, -2147483647 - 1, _
                    1.5, -2.5, CByte(255), True, Empty, "12", CCur(3.5), Null)
    WScript.Echo Shapes(v)
    WScript.Echo "  " & More(v, v)
Next

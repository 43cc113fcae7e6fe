' Quicksort of 400,000 pseudo-random numbers in a script array, then a check that they are sorted.
Sub QSort(a, lo, hi)
    Dim i, j, p, t
    i = lo
    j = hi
    p = a((lo + hi) \ 2)
    Do While i <= j
        Do While a(i) < p
            i = i + 1
        Loop
        Do While a(j) > p
            j = j - 1
        Loop
        If i <= j Then
            t = a(i)
            a(i) = a(j)
            a(j) = t
            i = i + 1
            j = j - 1
        End If
    Loop
    If lo < j Then QSort a, lo, j
    If i < hi Then QSort a, i, hi
End Sub

Function SortTest()
    Dim a(), n, i, x
    n = 400000
    ReDim a(n - 1)
    x = 12345
    For i = 0 To n - 1
        x = (x * 1103 + 12345) Mod 1000003
        a(i) = x
    Next
    QSort a, 0, n - 1
    For i = 1 To n - 1
        If a(i - 1) > a(i) Then
            SortTest = -1
            Exit Function
        End If
    Next
    SortTest = a(0) + a(n \ 2) + a(n - 1)
End Function

result = SortTest()

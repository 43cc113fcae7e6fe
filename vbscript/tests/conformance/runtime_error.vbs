' An unhandled error inside a procedure is reported at the failing statement.
Sub Inner()
    Dim a(2)
    WScript.Echo "before"
      a(5) = 1
    WScript.Echo "never"
End Sub
Sub Outer()
    Inner
End Sub
Outer

' A syntax error stops the whole script before anything runs.
WScript.Echo "never printed"
If x Then
    y = (1 + 2
End If

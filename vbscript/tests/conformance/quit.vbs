' WScript: Arguments, StdOut, Echo of several values, MsgBox to standard output, Quit.
WScript.Echo "count", WScript.Arguments.Count, WScript.Arguments(0), WScript.Arguments.Item(1)
WScript.StdOut.Write "no newline;"
WScript.StdOut.WriteLine " then a line"
WScript.Echo
WScript.Echo 1, "two", 3.5, True, Empty, Null
r = MsgBox("message box text", vbOKCancel, "Title")
WScript.Echo "msgbox returned", r
WScript.Echo "name", WScript.ScriptName
WScript.Quit 3
WScript.Echo "never"

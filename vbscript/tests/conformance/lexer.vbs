' Lexical structure: comments, continuations, separators, literals.
Rem A Rem comment at the start of a line
Dim a : a = 1 : WScript.Echo "colons", a ' trailing comment
a = 1 + _
    2 + _
    3
WScript.Echo "continued", a
WScript.Echo "rem after colon" : Rem the rest is ignored
Sub Tiny : WScript.Echo "one-line sub" : End Sub
Tiny
DIM Mixed : mIxEd = "case" : WScript.Echo MIXED, "insensitive"
wscript.echo "keywords", TypeName(EMPTY), TypeName(nULL), tRUE

' Numbers take the smallest subtype that holds them.
WScript.Echo 32767, TypeName(32767)
WScript.Echo 32768, TypeName(32768)
WScript.Echo 2147483647, TypeName(2147483647)
WScript.Echo 2147483648, TypeName(2147483648)
WScript.Echo -32768, TypeName(-32768)
WScript.Echo 1.5, TypeName(1.5), .5, 1E3, TypeName(1E3), 2.5e-3
WScript.Echo &HFF, TypeName(&HFF), &HFFFF, TypeName(&HFFFF), &H8000
WScript.Echo &HFFFF&, TypeName(&HFFFF&), &H10000, TypeName(&H10000), &HFFFFFFFF
WScript.Echo &O17, &o777, &H7FFFFFFF

' Strings double their quotes.
WScript.Echo "say ""hi""", Len(""""), "" = Empty

' Date literals.
d = #1/2/2003#
WScript.Echo TypeName(d), d, Year(d), Month(d), Day(d)
WScript.Echo #2003-12-31#, #12:30:15 PM#, #1/2/2003 6:05:00 AM#
WScript.Echo #March 4, 1999#

' Keywords are plain names after a dot.
Class Bag
    Public [Next], [End], [Step]
End Class
Set b = New Bag
b.Next = "n" : b.End = "e" : b.Step = "s"
WScript.Echo "members", b.Next, b.End, b.Step
With b
    .End = "with-end"
    WScript.Echo .End
End With

' [Bracketed] names may hold any character.
[my var] = 7
WScript.Echo [my var]

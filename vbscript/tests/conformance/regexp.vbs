' RegExp: properties, Test, Execute with its Matches, Match and SubMatches, Replace with $
' references, the option flags, and pattern errors.
Function Matches(pattern, text, flags)
    Dim re, ms, m, out, i
    Set re = New RegExp
    re.Pattern = pattern
    re.Global = InStr(flags, "g") > 0
    re.IgnoreCase = InStr(flags, "i") > 0
    re.Multiline = InStr(flags, "m") > 0
    Set ms = re.Execute(text)
    out = ms.Count & ":"
    For Each m In ms
        out = out & " [" & m.Value & "@" & m.FirstIndex & "+" & m.Length
        For i = 0 To m.SubMatches.Count - 1
            If IsEmpty(m.SubMatches(i)) Then
                out = out & " <empty>"
            Else
                out = out & " <" & m.SubMatches(i) & ">"
            End If
        Next
        out = out & "]"
    Next
    Matches = out
End Function

Function Rep(pattern, text, replacement, flags)
    Dim re
    Set re = CreateObject("VBScript.RegExp")
    re.Pattern = pattern
    re.Global = InStr(flags, "g") > 0
    re.IgnoreCase = InStr(flags, "i") > 0
    re.Multiline = InStr(flags, "m") > 0
    Rep = re.Replace(text, replacement)
End Function

Set re = New RegExp
WScript.Echo "defaults", "[" & re.Pattern & "]", re.IgnoreCase, re.Global, re.Multiline, TypeName(re)
re.Pattern = "b+"
re.IgnoreCase = 1
WScript.Echo "set", re.Pattern, re.IgnoreCase, re.Test("aBBc"), re.Test("ac"), re.Test(123)
re.Pattern = ""
WScript.Echo "empty pattern", re.Test(""), re.Execute("abc").Count, re.Execute("abc")(0).FirstIndex

' Execute.
WScript.Echo Matches("\d+", "a1b22c333", "")
WScript.Echo Matches("\d+", "a1b22c333", "g")
WScript.Echo Matches("(\w+)@(\w+)\.com", "joe@site.com, ann@web.com", "g")
WScript.Echo Matches("(a)|(b)", "ab", "g")
WScript.Echo Matches("x*", "abc", "g")
WScript.Echo Matches("A", "aAa", "gi")
WScript.Echo Matches("^\w", "one" & vbLf & "two", "g")
WScript.Echo Matches("^\w", "one" & vbLf & "two", "gm")
WScript.Echo Matches("\w$", "one" & vbLf & "two" & vbLf, "g")
WScript.Echo Matches("\w$", "one" & vbLf & "two", "gm")
WScript.Echo Matches("a.c", "a" & vbLf & "c abc", "g")
WScript.Echo Matches("\u0041\x42", "xAB", "")
WScript.Echo Matches("(\d)(\d)?", "1 23", "g")
WScript.Echo Matches("(?:ab)+(?=c)", "ababc", "")
WScript.Echo Matches("\bcat\b", "cat concat cat.", "g")
WScript.Echo Matches("[^]]", "]a", "g")
WScript.Echo Matches("€+", "a€€b", "g")
WScript.Echo Matches("no", "match", "g")
' IgnoreCase folds letters beyond ASCII too; \w, \d and \b stay ASCII either way.
WScript.Echo Matches("é+", "aÉé", "gi"), Matches("straße", "STRASSE STRAßE", "gi"), Matches("ж", "Ж", "i")
WScript.Echo Matches("\w+", "héllo wörld", "g")
WScript.Echo Matches("\w+", "héllo WÖRLD", "gi")
WScript.Echo Matches("\bcat\b", "Cat concat CAT. écat", "gi")
WScript.Echo Matches("[\w-]+|\d", "a-b é 9", "gi"), Matches("[^\w\s]", "a,b é", "gi")
WScript.Echo Matches("\B.\B", "abc", "gi"), Matches("\D\W", "1a.b!", "gi"), Matches("\\w", "\w", "i")
WScript.Echo Matches("[]a]", "a]", "gi"), Matches("[^]a]", "]ba", "gi")
Set ms = Matches2()
Function Matches2()
    Dim r
    Set r = New RegExp
    r.Pattern = "o"
    r.Global = True
    Set Matches2 = r.Execute("foo boo")
End Function
WScript.Echo "collection", TypeName(ms), ms.Count, ms.Item(1).FirstIndex, ms(3).FirstIndex, ms(0), TypeName(ms(0))
WScript.Echo "submatches", TypeName(ms(0).SubMatches), ms(0).SubMatches.Count

' Replace: $n, $&, $`, $', $$, missing groups, two-digit references.
WScript.Echo Rep("(\w+)\s(\w+)", "John Smith", "$2, $1", "")
WScript.Echo Rep("o", "foo boo", "0", "")
WScript.Echo Rep("o", "foo boo", "0", "g")
WScript.Echo Rep("O", "foo boo", "0", "gi")
WScript.Echo Rep("b", "abc", "[$&|$`|$'|$$|$]", "")
WScript.Echo Rep("(a)(b)?", "a ab", "<$1$2$3$0>", "g")
WScript.Echo Rep("(\d{2})/(\d{2})/(\d{4})", "12/25/2010 and 01/02/2003", "$3-$1-$2", "g")
WScript.Echo Rep("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11-$10-$1", "")
WScript.Echo Rep("x*", "abc", "-", "g")
WScript.Echo Rep("^", "a" & vbLf & "b", "> ", "gm")
WScript.Echo Rep("\s+", "  lots   of   space  ", " ", "g")
WScript.Echo Rep("(\w)(\w*)", "hello world", "$2$1ay", "g")

' Errors: a bad pattern fails when it is used; unknown members and wrong arguments.
Sub Try(code)
    On Error Resume Next
    Execute code
    WScript.Echo "error", Err.Number, code
End Sub
Try "re.Pattern = ""(a"" : re.Test ""a"""
Try "re.Pattern = ""[a"" : re.Test ""a"""
Try "re.Pattern = ""a**"" : re.Test ""a"""
Try "re.Pattern = ""[z-a]"" : re.Test ""a"""
Try "re.Pattern = ""a{2,1}"" : re.Test ""a"""
Try "re.Pattern = ""a"" : x = re.Nope"
Try "x = re.Test()"
Try "x = re.Execute(""a"")(5)"
Try "re.Execute(""a"").Count = 3"

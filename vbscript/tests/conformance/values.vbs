' Subtypes and the conversion functions.
Dim e
WScript.Echo "empty", TypeName(e), VarType(e), IsEmpty(e), e = 0, e = "", Len(e)
n = Null
WScript.Echo "null", TypeName(n), VarType(n), IsNull(n), IsNull(n = 1), IsNull(n & "")
WScript.Echo "types", TypeName(CInt(1)), TypeName(CLng(1)), TypeName(CSng(1)), _
    TypeName(CDbl(1)), TypeName(CCur(1)), TypeName(CDate(1)), TypeName(CStr(1)), _
    TypeName(CBool(1)), TypeName(CByte(1)), TypeName(Nothing), TypeName(Array())
WScript.Echo "vartypes", VarType(CInt(1)), VarType(CLng(1)), VarType(CSng(1)), _
    VarType(CDbl(1)), VarType(CCur(1)), VarType(CDate(1)), VarType("s"), _
    VarType(True), VarType(CByte(1)), VarType(Nothing), VarType(Array(1))

' Integer conversions round half to even.
WScript.Echo "round", CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1.5), CLng(2.5), CByte(254.5)
WScript.Echo "from text", CInt("12"), CDbl(" 1.5 "), CLng("&H10"), CDbl("1e3"), CLng("1,000")
WScript.Echo "booleans", CBool("true"), CBool("False"), CBool(0), CBool(-5), CBool("1"), _
    CInt(True), CStr(False)

' Text forms of numbers: 15 significant digits.
WScript.Echo "doubles", 0.1 + 0.2, 1 / 3, 2 / 3, 1E15, 1E14, 123456789012345678, 1.5E-7
WScript.Echo "more", 0.0001, 0.00001, -2.5, 100 / 4, 3.0, 1E+300 * 10 = 1E+301
WScript.Echo "single", CSng(1) / 3, CSng(0.1), CSng(123456789)
WScript.Echo "currency", CCur(1.5), CCur(2) / 3, CCur(10.12345), CCur(1) * CCur(3.3333)
WScript.Echo "dates", CDate("2004-02-29"), CDate(0), CDate(1.5), CDate("3:04:05 PM")
WScript.Echo "date math", #1/31/2003# + 1, #3/1/2004# - #2/1/2004#, TypeName(#1/1/2000# + 1)

' Conversion failures.
On Error Resume Next
x = CInt(40000) : WScript.Echo "overflow", Err.Number, Err.Description : Err.Clear
x = CByte(-1) : WScript.Echo "byte", Err.Number : Err.Clear
x = CLng("abc") : WScript.Echo "mismatch", Err.Number, Err.Description : Err.Clear
x = CStr(Null) : WScript.Echo "null", Err.Number, Err.Description : Err.Clear
x = CDbl("") : WScript.Echo "empty text", Err.Number : Err.Clear

' Integer subtypes at their limits: hexadecimal and octal literals, and the conversions' rounding
' (half to even) and overflow.
' include: show.inc

' A literal's subtype follows its value; the trailing & widens the digits to 32 bits, no more.
T "&HFFFFFFFF&" : T "&HFFFFFFFF" : T "&HFFFF" : T "&HFFFF&" : T "&H7FFF&" : T "&H8000" : T "&H8000&"
T "&H10000" : T "&H7FFFFFFF" : T "&H80000000" : T "&HFFFF8000&" : T "&HFFFF7FFF&" : T "&O177777"
T "&O177777&" : T "&O37777777777&" : T "&H0&" : T "-&HFFFFFFFF&" : T "&HFFFFFFFF& + 1"
WScript.Echo VarType(&HFFFFFFFF&), VarType(&HFFFF&), VarType(&HFFFF), VarType(&O77&)

' Rounding half to even at and near the limits, and overflow (6) just past them.
T "CInt(32767.5)" : T "CInt(32766.5)" : T "CInt(32767.49)" : T "CInt(-32768.5)" : T "CInt(-32767.5)"
T "CInt(-32768.51)" : T "CInt(""32767.5"")" : T "CInt(""-32768.5"")" : T "CInt(CCur(32767.5))"
T "CInt(CSng(-32768.5))" : T "CInt(0.5)" : T "CInt(1.5)" : T "CInt(-0.5)" : T "CInt(-1.5)"
T "CByte(255.5)" : T "CByte(254.5)" : T "CByte(255.49)" : T "CByte(-0.5)" : T "CByte(-0.51)"
T "CByte(0.5)" : T "CByte(1.5)" : T "CByte(""255.5"")" : T "CByte(True)" : T "CByte(256)"
T "CLng(2147483647.5)" : T "CLng(2147483646.5)" : T "CLng(-2147483648.5)" : T "CLng(-2147483648.51)"
T "CLng(-2147483647.5)" : T "CLng(""2147483647.5"")" : T "CLng(CCur(-2147483648.5))" : T "CLng(2.5)"
T "CLng(3.5)" : T "CLng(1E10)" : T "CInt(&HFFFFFFFF&)" : T "CByte(&HFF&)"

' Arithmetic past a limit moves to the next subtype up.
T "32767 + 1" : T "-32768 - 1" : T "2147483647 + 1" : T "CInt(200) * CInt(200)" : T "CByte(255) + CByte(1)"
T "&H7FFF + &H7FFF" : T "&H7FFFFFFF * 2"

' Math functions: results and subtypes, Null and Empty, domain errors, and the classic generator.
' include: show.inc

T "Abs(-3)" : T "Abs(-32768)" : T "Abs(CLng(-5))" : T "Abs(-2.5)" : T "Abs(""-4"")" : T "Abs(Null)"
T "Abs(Empty)" : T "Abs(True)" : T "Abs(CCur(-1.5))" : T "Abs(CSng(-1.5))" : T "Abs(""x"")"
T "Sgn(-0.1)" : T "Sgn(0)" : T "Sgn(7)" : T "Sgn(Null)" : T "Sgn(Empty)" : T "Sgn(""-3"")"
T "Int(2.7)" : T "Int(-2.7)" : T "Int(-2)" : T "Int(Null)" : T "Int(""2.5"")" : T "Int(CSng(-0.5))"
T "Int(CCur(-1.5))" : T "Int(#1/1/2000 6:00#)" : T "Int(True)" : T "Int(Empty)"
T "Fix(2.7)" : T "Fix(-2.7)" : T "Fix(Null)" : T "Fix(-0.5)" : T "Fix(1E+300)"
T "Round(2.5)" : T "Round(3.5)" : T "Round(-2.5)" : T "Round(0.125, 2)"
T "Round(1.23456, 3)" : T "Round(5)" : T "Round(CSng(2.5))" : T "Round(CCur(2.55), 1)" : T "Round(Null)"
T "Round(2.5, -1)" : T "Round(""3.5"")" : T "Round(12345.678, 0)" : T "Round(-0.5)"
T "Sqr(16)" : T "Sqr(2)" : T "Sqr(0)" : T "Sqr(-1)"
T "Exp(0)" : T "Exp(1)" : T "Exp(709)" : T "Exp(710)" : T "Exp(-1000)"
T "Log(1)" : T "Log(Exp(2))" : T "Log(0)" : T "Log(-1)" : T "Log(10) / Log(10)"
T "Atn(1) * 4" : T "Sin(0)" : T "Cos(0)" : T "Tan(0)" : T "Sin(Atn(1) * 2)" : T "Cos(""0"")"
T "Sin(""abc"")"

' The classic generator: the default seed, Rnd(0), Rnd(negative) and Randomize with a number all
' give the same sequences as the original runtime.
WScript.Echo "start", Rnd, Rnd, Rnd, Rnd(0), Rnd(0)
WScript.Echo "reseed", Rnd(-1), Rnd, Rnd, Rnd(-1)
WScript.Echo "negative", Rnd(-2.5), Rnd, Rnd(-0.001), Rnd
Rnd -1
Randomize 10
WScript.Echo "randomize 10", Rnd, Rnd, Rnd
Rnd -1
Randomize 10
WScript.Echo "again", Rnd, Rnd, Rnd
Rnd -1
Randomize 1.5
WScript.Echo "randomize 1.5", Rnd, Rnd
Rnd -1
Randomize -7
WScript.Echo "randomize -7", Rnd, Rnd
Randomize
x = Rnd
WScript.Echo "timer seed", x >= 0 And x < 1, TypeName(x)
lo = 1 : hi = 0
For i = 1 To 2000
    v = Int(6 * Rnd + 1)
    If v < lo Then lo = v
    If v > hi Then hi = v
Next
WScript.Echo "dice", lo, hi

' Arrays and types, colours, the engine's identity, the locale and the named constants.
' include: show.inc

Dim fixed(2, 3), dynamic()
T "UBound(Array(1, 2, 3))" : T "LBound(Array(1, 2, 3))" : T "UBound(Array())" : T "UBound(fixed)"
T "UBound(fixed, 2)" : T "LBound(fixed, 2)" : T "UBound(fixed, 3)" : T "UBound(fixed, 0)" : T "UBound(dynamic)"
T "UBound(Null)" : T "UBound(""abc"")" : T "Array(1, ""a"", Null)(2)" : T "TypeName(Array())"
T "IsArray(fixed)" : T "IsArray(dynamic)" : T "IsArray(Empty)" : T "IsArray(Null)"
T "IsEmpty(Empty)" : T "IsEmpty("""")" : T "IsEmpty(Null)" : T "IsEmpty(0)" : T "IsEmpty(undeclared)"
T "IsNull(Null)" : T "IsNull(Empty)" : T "IsNull("""")" : T "IsNull(Null + 1)"
T "IsNumeric(""12"")" : T "IsNumeric("" -1.5e3 "")" : T "IsNumeric(""&HFF"")" : T "IsNumeric(""1,000.5"")"
T "IsNumeric(""abc"")" : T "IsNumeric("""")" : T "IsNumeric(Empty)" : T "IsNumeric(Null)" : T "IsNumeric(True)"
T "IsNumeric(CCur(1))" : T "IsNumeric(""1e"")" : T "IsNumeric(""."")" : T "IsNumeric(Array(1))"
Set o = New RegExp
T "IsObject(o)" : T "IsObject(Nothing)" : T "IsObject(1)" : T "IsObject(Empty)"
' TypeName and VarType of every subtype.
T "TypeName(Empty)" : T "TypeName(Null)" : T "TypeName(1)" : T "TypeName(100000)" : T "TypeName(CSng(1))"
T "TypeName(1.5)" : T "TypeName(CCur(1))" : T "TypeName(Now)" : T "TypeName(""s"")" : T "TypeName(o)"
T "TypeName(Nothing)" : T "TypeName(True)" : T "TypeName(CByte(1))" : T "TypeName(Array(1))"
T "VarType(Empty)" : T "VarType(Null)" : T "VarType(1)" : T "VarType(100000)" : T "VarType(CSng(1))"
T "VarType(1.5)" : T "VarType(CCur(1))" : T "VarType(Now)" : T "VarType(""s"")" : T "VarType(o)"
T "VarType(Nothing)" : T "VarType(True)" : T "VarType(CByte(1))" : T "VarType(Array(1))" : T "VarType(fixed)"
' Colours.
T "RGB(255, 0, 0)" : T "RGB(0, 255, 0)" : T "RGB(0, 0, 255)" : T "RGB(300, 1, 1)" : T "RGB(-1, 0, 0)"
T "RGB(1.5, 2.5, 0)" : T "RGB(Null, 0, 0)" : T "RGB(255, 255, 255) = vbWhite"
' The engine and the locale.
T "ScriptEngine" : T "ScriptEngineMajorVersion" : T "ScriptEngineMinorVersion" : T "ScriptEngineBuildVersion > 0"
T "GetLocale" : T "SetLocale(1031)" : T "GetLocale" : T "SetLocale(""en-us"")" : T "CStr(1.5)"
' Constants.
T "vbCrLf = Chr(13) & Chr(10)" : T "vbNewLine = vbCrLf" : T "Asc(vbCr)" : T "Asc(vbLf)" : T "Asc(vbTab)"
T "Asc(vbFormFeed)" : T "Asc(vbVerticalTab)" : T "Asc(vbBack)" : T "Len(vbNullChar)" : T "Len(vbNullString)"
T "vbObjectError" : T "Hex(vbObjectError)" : T "vbTrue" : T "vbFalse" : T "vbUseDefault"
T "vbBinaryCompare" : T "vbTextCompare"
T "vbBlack" : T "vbRed" : T "vbGreen" : T "vbYellow" : T "vbBlue" : T "vbMagenta" : T "vbCyan" : T "vbWhite"
T "vbOKOnly" : T "vbOKCancel" : T "vbAbortRetryIgnore" : T "vbYesNoCancel" : T "vbYesNo" : T "vbRetryCancel"
T "vbCritical" : T "vbQuestion" : T "vbExclamation" : T "vbInformation" : T "vbDefaultButton1"
T "vbDefaultButton2" : T "vbDefaultButton3" : T "vbDefaultButton4" : T "vbApplicationModal" : T "vbSystemModal"
T "vbMsgBoxHelpButton" : T "vbMsgBoxSetForeground" : T "vbMsgBoxRight" : T "vbMsgBoxRtlReading"
T "vbOK" : T "vbCancel" : T "vbAbort" : T "vbRetry" : T "vbIgnore" : T "vbYes" : T "vbNo"
T "vbEmpty" : T "vbNull" : T "vbInteger" : T "vbLong" : T "vbSingle" : T "vbDouble" : T "vbCurrency"
T "vbDate" : T "vbString" : T "vbObject" : T "vbError" : T "vbBoolean" : T "vbVariant" : T "vbDataObject"
T "vbDecimal" : T "vbByte" : T "vbArray"
T "vbSunday" : T "vbMonday" : T "vbTuesday" : T "vbWednesday" : T "vbThursday" : T "vbFriday" : T "vbSaturday"
T "vbUseSystemDayOfWeek" : T "vbUseSystem" : T "vbFirstJan1" : T "vbFirstFourDays" : T "vbFirstFullWeek"
T "vbGeneralDate" : T "vbLongDate" : T "vbShortDate" : T "vbLongTime" : T "vbShortTime"

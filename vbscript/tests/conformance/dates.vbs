' Dates and times: serial numbers, parts, calendar arithmetic, week rules, parsing and literals.
' include: show.inc

' Serial days count from 30 December 1899; the fraction is the time of day.
T "CDbl(#12/30/1899#)" : T "CDbl(#1/1/1900#)" : T "CDbl(#1/1/2000 6:00:00 PM#)" : T "CDbl(#12/29/1899 6:00 AM#)"
T "#2/29/2000#" : T "#1/1/100#" : T "#12/31/9999 11:59:59 PM#" : T "#13:45#" : T "#2000-03-04#"
T "#March 4, 2000#" : T "#4 Mar 2000 1:02:03 pm#"
' Parts.
d = #2/29/2004 1:02:03 PM#
T "Year(d)" : T "Month(d)" : T "Day(d)" : T "Hour(d)" : T "Minute(d)" : T "Second(d)" : T "Weekday(d)"
T "Year(Null)" : T "Day(Empty)" : T "Year(Empty)" : T "Month(""3/4/2001"")" : T "Hour(0.75)" : T "Minute(""x"")"
T "Weekday(d, vbMonday)" : T "Weekday(d, 0)" : T "Weekday(d, 8)" : T "Weekday(Null)" : T "Weekday(#12/30/1899#)"
T "Second(#12/29/1899 11:59:59 PM#)"
' Building dates.
T "DateSerial(2004, 2, 29)" : T "DateSerial(2003, 2, 29)" : T "DateSerial(2003, 13, 1)" : T "DateSerial(2003, 0, 0)"
T "DateSerial(2003, 1, -1)" : T "DateSerial(99, 1, 1)" : T "DateSerial(29, 1, 1)" : T "DateSerial(30, 1, 1)"
T "DateSerial(10000, 1, 1)" : T "DateSerial(2000, 1, 1.5)" : T "DateSerial(Null, 1, 1)"
T "TimeSerial(13, 5, 9)" : T "TimeSerial(25, 0, 0)" : T "TimeSerial(0, 90, 0)"
T "TimeSerial(12, 0, -1)"
T "DateValue(""1/2/2003 4:05 PM"")" : T "DateValue(#1/2/2003 4:05 PM#)" : T "DateValue(""4:05"")" : T "DateValue(Null)"
T "DateValue(""x"")" : T "TimeValue(""1/2/2003 4:05 PM"")" : T "TimeValue(""16:05:30"")" : T "TimeValue(Null)"
' Leap years.
T "Day(DateSerial(1900, 3, 0))" : T "Day(DateSerial(2000, 3, 0))" : T "Day(DateSerial(2100, 3, 0))"
T "IsDate(""2/29/2001"")" : T "IsDate(""2/29/2004"")" : T "IsDate(""2/29/1900"")"
' IsDate and the texts that read as dates.
T "IsDate(""1/2/2003"")" : T "IsDate(""2003-01-02"")" : T "IsDate(""Jan 2 2003"")" : T "IsDate(""13/13/2003"")"
T "IsDate(""12:30"")" : T "IsDate(""25:00"")" : T "IsDate(""hello"")" : T "IsDate(36526)" : T "IsDate(Now)"
T "IsDate(Null)" : T "IsDate("""")" : T "CDate(""13/1/2003"")" : T "CDate(""Monday, January 02, 2006"")"
T "CDate(""1/2/03"")" : T "CDate(""1/2/45"")" : T "CDate(""12:30 AM"")" : T "CDate(""12:30 PM"")"
T "CDate(""2 PM"")" : T "CDate(""1/2/2003 9 am"")" : T "CDate(""January 2003"")" : T "CDate(""Feb 29, 2001"")"
T "CDate(""2003/1/2"")" : T "CDate(""1.2.2003"")" : T "CDate(""13 PM"")" : T "CDate(""10:61"")"
' DateAdd.
T "DateAdd(""d"", 1, #12/31/1999#)" : T "DateAdd(""m"", 1, #1/31/2000#)" : T "DateAdd(""m"", 1, #1/31/2001#)"
T "DateAdd(""yyyy"", 1, #2/29/2000#)" : T "DateAdd(""q"", -1, #5/31/2000#)" : T "DateAdd(""ww"", 2, #1/1/2000#)"
T "DateAdd(""w"", 3, #1/1/2000#)" : T "DateAdd(""y"", 3, #1/1/2000#)" : T "DateAdd(""h"", 25, #1/1/2000 1:00 AM#)"
T "DateAdd(""n"", -90, #1/1/2000#)" : T "DateAdd(""s"", 86400, #1/1/2000 12:00 PM#)" : T "DateAdd(""m"", 1, #1/31/2000 3:00 PM#)"
T "DateAdd(""x"", 1, #1/1/2000#)" : T "DateAdd(""yyyy"", 10000, #1/1/2000#)"
T "DateAdd(""D"", 1, ""1/1/2000"")" : T "DateAdd(""h"", -1, #12/30/1899#)"
' DateDiff counts the boundaries crossed.
T "DateDiff(""d"", #1/1/2000 11:00 PM#, #1/2/2000 1:00 AM#)" : T "DateDiff(""d"", #1/2/2000#, #1/1/2000#)"
T "DateDiff(""yyyy"", #12/31/1999#, #1/1/2000#)" : T "DateDiff(""m"", #1/31/2000#, #2/1/2000#)"
T "DateDiff(""q"", #3/31/2000#, #4/1/2000#)" : T "DateDiff(""h"", #1/1/2000 1:59 AM#, #1/1/2000 2:01 AM#)"
T "DateDiff(""n"", #1/1/2000 1:00:59 AM#, #1/1/2000 1:01:00 AM#)" : T "DateDiff(""s"", #1/1/2000#, #1/2/2000#)"
T "DateDiff(""w"", #1/1/2000#, #1/14/2000#)" : T "DateDiff(""w"", #1/1/2000#, #1/15/2000#)"
T "DateDiff(""ww"", #1/1/2000#, #1/2/2000#)" : T "DateDiff(""ww"", #1/1/2000#, #1/2/2000#, vbMonday)"
T "DateDiff(""ww"", #1/2/2000#, #1/1/2000#)" : T "DateDiff(""y"", #1/1/2000#, #3/1/2000#)"
T "DateDiff(""h"", #12/29/1899 11:00 PM#, #12/30/1899 1:00 AM#)" : T "DateDiff(""d"", Null, #1/1/2000#)"
T "DateDiff(""z"", #1/1/2000#, #1/1/2000#)" : T "DateDiff(""s"", #1/1/100#, #12/31/9999#)"
' DatePart and the week rules.
T "DatePart(""yyyy"", d)" : T "DatePart(""q"", d)" : T "DatePart(""m"", d)" : T "DatePart(""y"", d)"
T "DatePart(""d"", d)" : T "DatePart(""w"", d)" : T "DatePart(""ww"", d)" : T "DatePart(""h"", d)"
T "DatePart(""n"", d)" : T "DatePart(""s"", d)" : T "DatePart(""y"", #12/31/2000#)" : T "DatePart(""ww"", #12/31/2000#)"
T "DatePart(""ww"", #1/1/2005#, vbMonday, vbFirstFourDays)" : T "DatePart(""ww"", #1/3/2005#, vbMonday, vbFirstFourDays)"
T "DatePart(""ww"", #1/1/2005#, vbSunday, vbFirstFullWeek)" : T "DatePart(""ww"", #1/2/2005#, vbSunday, vbFirstFullWeek)"
T "DatePart(""ww"", #12/31/2004#, vbMonday, vbFirstFourDays)" : T "DatePart(""w"", d, vbWednesday)"
T "DatePart(""ww"", d, 9)" : T "DatePart(""ww"", d, 1, 4)" : T "DatePart(""d"", Null)"
' Names.
T "WeekdayName(1)" : T "WeekdayName(7, True)" : T "WeekdayName(1, False, vbMonday)" : T "WeekdayName(0)"
T "WeekdayName(8)" : T "MonthName(1)" : T "MonthName(12, True)" : T "MonthName(13)" : T "MonthName(Null)"
' The clock: today's values are consistent with each other.
n = Now
WScript.Echo "now", TypeName(n), TypeName(Date), TypeName(Time), TypeName(Timer), Int(n) = Date
WScript.Echo "time", Time >= 0 And Time < 1, Timer >= 0 And Timer < 86400, Year(Date) >= 2000

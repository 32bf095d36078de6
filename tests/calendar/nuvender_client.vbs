' An independent client: the script host creates the calendar by its ProgID,
' with no site and no window, and uses its text property, putdate and markday. Any
' FAIL line fails the test, and so does a script that stops before PASS.
Option Explicit
Dim c, d

Sub Check(what, got, expected)
    If got <> expected Then WScript.Echo "FAIL " & what & ": [" & got & "] expected [" & expected & "]"
End Sub

Set c = CreateObject("Ruviruve.Nuvender")
c.text = "11-15-1999"
Check "put of another form", c.text, "November  15,  1999"
d = DateSerial(2001, 3, 7) + TimeSerial(18, 30, 0)
c.putdate (d)
Check "putdate", c.text, "March  7,  2001"
Check "putdate leaves its argument alone", d, DateSerial(2001, 3, 7) + TimeSerial(18, 30, 0)
Check "reads back as a date", CDate(c.text), DateSerial(2001, 3, 7)
c.markday d, True
c.markday DateSerial(2001, 3, 8), False
Check "marking leaves the date", c.text, "March  7,  2001"
WScript.Echo "PASS"

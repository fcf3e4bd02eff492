# Texts of the rp57x frame format: link line pieces, message type names and the format
# strings of the message lines, each taking exactly the arguments its renderer passes.

UNUSED = ("? nicht belegt", "? not assigned")


def odd_names():
    n = {0: ("KT Kurztelegramm", "ST short telegram"), 1: ("SW Statuswort", "SW status word"),
         2: ("MC Meldung mit Code", "MC message with code"), 3: ("GW Gruppenwert", "GV group value"),
         4: ("WA Wert mit Art", "VK value with kind"), 5: ("GW Gruppenwert", "GV group value"),
         6: ("CW Code mit zwei Werten", "CV code with two values"), 7: ("KT Kurztelegramm", "ST short telegram"),
         8: ("KT Kurztelegramm", "ST short telegram"), 9: ("GZ Gruppenwert mit Zustand", "GS group value with state"),
         11: ("SW Statuswort", "SW status word"), 12: ("DZ Datum und Uhrzeit", "DT date and time"),
         13: ("GZ Gruppenwert mit Zustand", "GS group value with state"), 14: ("CO Code", "CO code"),
         15: ("KT Kurztelegramm", "ST short telegram")}
    return [n.get(t, UNUSED) for t in range(16)]


def even_names():
    n = {}
    for t in (0, 1, 2, 3, 4, 12, 13):
        n[t] = ("KT Kurztelegramm", "ST short telegram")
    n[5] = ("BM Bitmuster", "BS bitstring")
    n[6] = ("BW Bitmuster mit Werten", "BV bitstring with values")
    n[7] = n[8] = ("MD Meldung mit Daten", "MD message with data")
    n[9] = ("ZW Zählwert", "CT counter")
    n[10] = ("GW Gruppenwert", "GV group value")
    n[11] = ("OB Objektbeschreibung", "OD object description")
    n[14] = ("CO Code", "CO code")
    n[15] = ("CO Code", "CO code")
    for base in (20, 64):
        n[base] = n[base + 1] = ("MP Messwerte, 12 Bit gepackt", "MP measured values, 12 bit packed")
        n[base + 2] = n[base + 3] = ("MS Messwerte mit Status", "MS measured values with state")
        n[base + 4] = n[base + 5] = ("BM Bitmuster", "BS bitstrings")
        n[base + 6] = n[base + 7] = ("BK Bitmuster mit Maske", "BM bitstrings with mask")
    for t in (28, 29, 72, 73):
        n[t] = ("MW Messwert", "MV measured value")
    for t in (30, 31, 74, 75):
        n[t] = ("ZU Zählwert mit Uhrzeit", "CH counter with time")
    n[32] = ("ZE Zustandsereignis", "SE state event")
    n[33] = n[34] = ("BE Befehlsereignis", "CE command event")
    n[35] = ("EL Ereignisliste", "EL event list")
    n[36] = ("MB Messwertblock mit Datum", "MB measured value block with date")
    for t in (37, 38, 76, 77):
        n[t] = ("ZW Zählwert", "CT counter")
    for t in (39, 40, 78, 79):
        n[t] = ("ZD Zählwert mit Dauer", "CD counter with duration")
    n[41] = n[44] = ("ZA Zustandsereignis mit Adresse", "SA state event with address")
    n[43] = ("WA Wert mit Adresse", "VA value with address")
    return [n.get(t, UNUSED) for t in range(82)]


def define_rp(T, R, COMBO, FIELD):
    R(1485, ["gerade  ", "ungerade  "], ["even  ", "odd  "], note="rp57x link line: control field even, odd")
    R(1487, ["  Bit5=0", "  Bit5=1"], note="rp57x link line: bit 5 of an odd control field clear, set")
    T(1489, "%s (%s, Typ %d)", "%s (%s, type %d)", fmt="s,s,d", note="rp57x link line: type name (long part, short part, type)")
    T(1490, "  Bit7,6=", note="rp57x link line: before bits 6..7 of an odd control field")
    T(1491, "Adr %d  ", "addr %d  ", fmt="d", note="rp57x link line: address, function 5")
    T(1492, "Adr %d  ", "addr %d  ", fmt="d", note="rp57x link line: address, function 6 fixed frame or type 12")
    T(1493, "Adr %d  Station %d  ", "addr %d  station %d  ", fmt="d,d", note="rp57x link line: address and station, function 6")
    T(1495, "Wert %d  Art %d %s", "value %d  kind %d %s", fmt="d,d,s", note="rp57x odd type 4 (m1, kind, kind name)")
    R(1496, [""] * 8, note="rp57x odd type 4: names of kind 0..7 (may stay empty)", req=False)
    T(1504, "Wert %d  Gruppe %d %s  B7=%d  %s", "value %d  group %d %s  B7=%d  %s", fmt="d,d,s,d,s",
      note="rp57x odd type 9 (value, group, group name, bit 7 of m0, state name)")
    R(1505, ["AUS", "EIN"], ["OFF", "ON"], note="rp57x odd types 9, 13: bit 0 of m1")
    R(1507, [""] * 8, note="rp57x: names of group kind 0..7 (may stay empty)", req=False)
    T(1515, "Wert %d  Gruppe %d %s", "value %d  group %d %s", fmt="d,d,s", note="rp57x Grp (value, group, group name)")
    T(1516, "Wert %d  Gruppe %d %s  %s", "value %d  group %d %s  %s", fmt="d,d,s,s",
      note="rp57x odd type 13 (value, group, group name, state name)")
    T(1517, "Nr %d  Wert %d ($%4.4x)  %s", "no %d  value %d ($%4.4x)  %s", fmt="d,d,d,s",
      note="rp57x odd types 1, 11 (m0, signed word, word, bits)")
    T(1518, ",%3.3d", fmt="d", note="rp57x time: milliseconds after the time of day")
    T(1519, "  (Tag %d, Zeit %d)", "  (day %d, time %d)", fmt="d,d", note="rp57x odd type 12 (day number, time)")
    on = odd_names()
    R(1520, [x[0] for x in on], [x[1] for x in on], note="rp57x names of odd types 0..15 (short part, blank, long part)")
    en = even_names()
    R(1540, [x[0] for x in en], [x[1] for x in en], note="rp57x names of even types 0..81 (short part, blank, long part)")
    T(1630, "Code %d %s  Werte %d, %d", "code %d %s  values %d, %d", fmt="d,s,d,d",
      note="rp57x odd type 6 (m0, code name, m1, m2)")
    R(1631, [""] * 25, note="rp57x odd type 6: code names by m0 mod 25 (may stay empty)", req=False)
    T(1656, "Meldung %d %s", "message %d %s", fmt="d,s", note="rp57x odd type 2 (m0, code name)")
    R(1657, [""] * 113, note="rp57x odd type 2: code names 0..112 (may stay empty; codes above 112 take the name of 112, as 1770 is a format)",
      req=False)
    T(1770, "Code %d %s", "code %d %s", fmt="d,s", note="rp57x type 14 (m0, code name)")
    T(1771, "unbekannt", "unknown", note="rp57x type 14: code not in the list 6, 7, 8, 96, 97")
    R(1772, [""] * 5, note="rp57x type 14: names of the codes 6, 7, 8, 96, 97 (may stay empty)", req=False)
    T(1780, "Code %d %s", "code %d %s", fmt="d,s", note="rp57x even type 15 (m0, code name)")
    R(1781, [""] * 22, note="rp57x even type 15: code names 0..21 (may stay empty)", req=False)
    T(1805, "Nr %3d  ", "no %3d  ", fmt="d", note="rp57x Nr")
    T(1806, "Kd %d/%d %s  ", "cmd %d/%d %s  ", fmt="d,d,s", note="rp57x Kd (bit 4, state, state name)")
    R(1807, [""] * 8, note="rp57x Kd: names of state 0..7 (may stay empty)", req=False)
    T(1815, "%6d=%6.*f%%  ", fmt="d,d,f", note="rp57x Mw (raw value, decimals, percent)")
    T(1816, "Bits %s  ", fmt="s", note="rp57x bits")
    T(1817, "Maske %s  ", "mask %s  ", fmt="s", note="rp57x mask bits")
    T(1818, "Zählwert %s  ", "counter %s  ", fmt="s", note="rp57x Zw (reading with separators, right-aligned in 13)")
    T(1819, "%2.2d:%2.2d:%2.2d", fmt="d,d,d", note="rp57x Hm")
    R(1820, ["", "B7 ", "", "B6 ", "", "B5 ", "", "B4 ", "", "B3 ", "", "B2 ", "", "B1 "],
      note="rp57x Fl: words for bits 7..1 (1820 + bit 7 .. 1826 + bit 4, 1828 + bit 3 .. 1832 + bit 1)", req=False)
    T(1834, "Flags %s", fmt="s", note="rp57x Fl (words)")
    T(1835, "Dauer %d/%2.2d:%2.2d:%2.2d  ", "duration %d/%2.2d:%2.2d:%2.2d  ", fmt="d,d,d,d",
      note="rp57x Dauer (high bits, hours, minutes, seconds)")
    T(1836, "Zählwert %s ($%8.8x)  ", "counter %s ($%8.8x)  ", fmt="s,d", note="rp57x Zw2 (reading with separators, reading)")
    T(1837, "Zustand %d  B2=%d %s  ", "state %d  B2=%d %s  ", fmt="d,d,s", note="rp57x St (a >> 4, bit 2, state name)")
    T(1838, "Q=%d %s B1=%d B0=%d  ", fmt="d,s,d,d", note="rp57x Ql (quality, quality name, bit 1, bit 0)")
    R(1839, [""] * 4, note="rp57x Ql: names of quality 0..3 (may stay empty)", req=False)
    T(1847, "Nr2 %d  ", "no2 %d  ", fmt="d", note="rp57x Nr2")
    T(1848, "Nr3 %d  ", "no3 %d  ", fmt="d", note="rp57x Nr3")
    T(1849, "  Adr %d.%d.%d", "  addr %d.%d.%d", fmt="d,d,d", note="rp57x Adr3")
    T(1850, "Kd B6=%d B4=%d %d %s  ", "cmd B6=%d B4=%d %d %s  ", fmt="d,d,d,s", note="rp57x Kd2 (bit 6, bit 4, state, state name)")
    T(1851, "Wert %s  ", "value %s  ", fmt="s", note="rp57x even type 43 (value as text)")
    T(1852, "  Adr %d", "  addr %d", fmt="d", note="rp57x Adr")
    T(1853, "Liste %d/%d  Art %d %s", "list %d/%d  kind %d %s", fmt="d,d,d,s", note="rp57x even type 35 (m0, m1, kind, kind word)")
    R(1854, ["unbekannt", "Zustandsereignis", "Befehlsereignis", "Sonderereignis"],
      ["unknown", "state event", "command event", "special event"],
      note="rp57x even type 35: kind words (other, 0, 2, 4)")
    T(1858, "Nr %d  Wert %d  ", "no %d  value %d  ", fmt="d,d", note="rp57x even type 35, kind 4")
    T(1859, "Q=%d %s B1=%d  ", fmt="d,s,d", note="rp57x Ql2 (quality, quality name, bit 1)")
    T(1860, "Block %d/%d  %d  ", "block %d/%d  %d  ", fmt="d,d,d", note="rp57x even type 36 (m0, m1, byte)")
    T(1862, "Nr %d  %s", "no %d  %s", fmt="d,s", note="rp57x even type 5 (m0, bits)")
    T(1863, "Werte %d, %d  Nr %d  %s", "values %d, %d  no %d  %s", fmt="d,d,d,s", note="rp57x even type 6 (x, y, m0, bits)")
    T(1865, "Code %d %s", "code %d %s", fmt="d,s", note="rp57x even type 7 (m0, code name)")
    T(1866, "Werte %d, %d  Code %d %s", "values %d, %d  code %d %s", fmt="d,d,d,s", note="rp57x even type 8 (two bytes, m0, code name)")
    T(1867, "Daten %s", "data %s", fmt="s", note="rp57x even types 7, 8: later lines (dump)")
    R(1868, [""] * 31, note="rp57x even types 7, 8: code names 0..30 (may stay empty)", req=False)
    T(1900, "Zählwert %s  Zusatz %d", "counter %s  extra %d", fmt="s,d", note="rp57x even type 9 (reading with separators, byte)")
    T(1901, "Objekt %d  Art %d  Nr %d  Werte %d %d %d", "object %d  kind %d  no %d  values %d %d %d",
      fmt="d,d,d,d,d,d", note="rp57x even type 11, first line")
    T(1902, "Name %s  Art %d  Wert %s  ", "name %s  kind %d  value %s  ", fmt="s,d,s",
      note="rp57x even type 11, second line (name, byte, value with separators)")
    T(1903, "Grenzen %s  %s", "limits %s  %s", fmt="s,s", note="rp57x even type 11, third line (two values as text)")
    R(1904, ["Zwischenstellung", "AUS", "EIN", "Störstellung"], ["intermediate", "OFF", "ON", "faulty"],
      note="rp57x St: names of state 0..3 (1904 + (a AND 3))")

# Data texts, interpretation words, names of types, causes and function codes, status texts.
from catalogue import (CAUSES, GENERAL_CAUSES, PERMITTED, PICK, TYPES, two_digit_codes)

FC_UNBAL_PRI = [
    ("Link rücksetzen", "reset of remote link"),
    ("Anwenderprozess rücksetzen", "reset of user process"),
    ("reserviert", "reserved"),
    ("Nutzdaten senden, Quittung erwartet", "user data, confirm expected"),
    ("Nutzdaten senden, keine Antwort erwartet", "user data, no reply expected"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("Zugriffsanforderung abfragen", "request for access demand"),
    ("Linkzustand abfragen", "request status of link"),
    ("Daten Klasse 1 abfragen", "request user data class 1"),
    ("Daten Klasse 2 abfragen", "request user data class 2"),
    ("reserviert", "reserved"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
]
FC_UNBAL_SEC = [
    ("positive Quittung (ACK)", "positive acknowledgement (ACK)"),
    ("negative Quittung (NACK), Link belegt", "message not accepted (NACK), link busy"),
    ("reserviert", "reserved"), ("reserviert", "reserved"), ("reserviert", "reserved"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("Antwort mit Nutzdaten", "user data (response)"),
    ("angeforderte Daten nicht vorhanden (NACK)", "requested data not available (NACK)"),
    ("reserviert", "reserved"),
    ("Linkzustand oder Zugriffsanforderung", "status of link or access demand"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("Linkdienst arbeitet nicht", "link service not functioning"),
    ("Linkdienst nicht implementiert", "link service not implemented"),
]
FC_BAL_PRI = [
    ("Link rücksetzen", "reset of remote link"),
    ("Anwenderprozess rücksetzen", "reset of user process"),
    ("Test des Links", "test function for link"),
    ("Nutzdaten senden, Quittung erwartet", "user data, confirm expected"),
    ("Nutzdaten senden, keine Antwort erwartet", "user data, no reply expected"),
    ("reserviert", "reserved"), ("reserviert", "reserved"), ("reserviert", "reserved"),
    ("reserviert", "reserved"),
    ("Linkzustand abfragen", "request status of link"),
    ("reserviert", "reserved"), ("reserviert", "reserved"), ("reserviert", "reserved"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
]
FC_BAL_SEC = [
    ("positive Quittung (ACK)", "positive acknowledgement (ACK)"),
    ("negative Quittung (NACK), Link belegt", "message not accepted (NACK), link busy"),
] + [("reserviert", "reserved")] * 9 + [
    ("Linkzustand", "status of link"),
    ("reserviert", "reserved"),
    ("reserviert (Sondernutzung)", "reserved for special use"),
    ("Linkdienst arbeitet nicht", "link service not functioning"),
    ("Linkdienst nicht implementiert", "link service not implemented"),
]

# Status texts 432 + stat (stat 0..53).
STATUS = {
    1: ("Übertragungsfehler: ", "line error: "),
    5: ("kein gültiges Startzeichen", "no valid start character"),
    6: ("zweites Startzeichen falsch", "second start character wrong"),
    7: ("Längenoktette ungleich", "length octets differ"),
    8: ("Telegrammlänge falsch", "wrong frame length"),
    9: ("Prüfsummenfehler", "checksum error"),
    10: ("Endezeichen falsch", "wrong end character"),
    12: ("Einzelzeichen E5 nicht zulässig", "single character E5 not permitted"),
    14: ("Wiederholung (FCB nicht gewechselt)", "repetition (FCB not toggled)"),
    15: ("FCB vor Rücksetzen des Links", "FCB used before the link was reset"),
    16: ("FCV passt nicht zum Funktionscode", "FCV does not fit the function code"),
    17: ("Funktionscode in dieser Richtung nicht zulässig",
         "function code not permitted in this direction"),
    18: ("Richtungsbit DIR falsch", "direction bit DIR wrong"),
    19: ("DFC gesetzt: Gegenstelle überlastet", "DFC set: partner cannot take more data"),
    20: ("Primärtelegramm an die Leitstation", "primary frame to the controlling station"),
    21: ("unerwartetes Telegramm", "unexpected frame"),
    22: ("Telegrammformat passt nicht zum Funktionscode",
         "frame format does not fit the function code"),
    23: ("Anforderung während laufender Sendung", "request while a transmission is in progress"),
    25: ("SQ/Anzahl oder Ursache passt nicht zum Typ",
         "structure qualifier or cause does not fit the type"),
    26: ("ASDU-Länge passt nicht zu Typ und Anzahl",
         "ASDU length does not fit type and number of objects"),
    27: ("Ursache für diesen Typ nicht zulässig", "cause not permitted for this type"),
    29: ("Linkadresse nicht projektiert", "link address not configured"),
    30: ("Typ im rp57x-Format unbekannt", "type unknown in the rp57x format"),
    32: ("Verbindung zur Station ausgefallen", "link to station lost"),
    33: ("Programmmeldung", "program message"),
    34: ("Dateiangebot abgelehnt: Übertragung läuft",
         "file offer refused: a transfer is running"),
    35: ("Dateitransfer: Datei nicht im Verzeichnis", "file transfer: file not in directory"),
    36: ("Dateiangebot abgelehnt: Datei zu lang", "file offer refused: file too long"),
    37: ("Dateitransfer: Telegramm einer anderen Datei oder eines anderen Abschnitts",
         "file transfer: frame of another file or section"),
    38: ("Dateitransfer: Telegramm im aktuellen Zustand nicht erwartet",
         "file transfer: frame not expected in this state"),
    39: ("Dateitransfer: Datei nicht zu öffnen oder Zeitüberschreitung",
         "file transfer: file cannot be opened, or time-out"),
    40: ("ok", "ok"),
    41: ("Ursache nicht zulässig (Abfrage oder Hintergrund bei Typ mit Zeitmarke)",
         "cause not permitted (interrogation or background scan of a time-tagged type)"),
    42: ("Typkennung unbekannt", "type identification unknown"),
    43: ("Modemleitungen", "modem lines"),
    44: ("Link von der Gegenstelle rückgesetzt", "link reset by the remote station"),
    45: ("Verbindung zur Station aufgebaut", "link to station established"),
    46: ("Dateitransfer: Zeitüberschreitung nach Dateiende",
         "file transfer: time-out after the end of the file"),
    47: ("Ursache nicht genormt (private Ursache mit Farbe)",
         "cause not in the standard (private cause with a colour)"),
    50: ("RTS=", "RTS="),
    51: ("Textzeile", "text line"),
    52: ("Programmmeldung", "program message"),
    53: ("Befehl mit Zeitmarke (Typ 58..64)", "command with time tag (types 58..64)"),
}

# Value format per pick entry: type -> (format, (low, high) or None, German hint, English hint)
# A text without a range holds no digits at all, so that no bound can be read from it.
VALUES = {}


def _v(types, fmt, rng, de, en):
    for t in types:
        VALUES[t] = (fmt, rng, de, en)


_v((1, 2, 30), 1, (0, 1), "Meldezustand SPI: 0 = AUS, 1 = EIN", "state SPI: 0 = OFF, 1 = ON")
_v((3, 4, 31), 1, (0, 3), "Meldezustand DPI: 0 = Zwischenstellung, 1 = AUS, 2 = EIN, 3 = Störstellung",
   "state DPI: 0 = intermediate, 1 = OFF, 2 = ON, 3 = faulty")
_v((5, 6, 32), 1, (-64, 63), "Stufenstellung VTI (Transient-Bit im eigenen Feld)",
   "step position VTI (transient bit in its own field)")
_v((7, 8, 33), 2, None, "Bitmuster aus vier Oktetten, hexadezimal mit Präfix $",
   "bitstring of four octets, hexadecimal with prefix $")
_v((9, 10, 34, 21), 1, (-32768, 32767), "normierter Wert NVA als Rohwert (32767 = +100 %)",
   "normalized value NVA as raw value (32767 = +100 %)")
_v((11, 12, 35), 1, (-32768, 32767), "skalierter Wert SVA", "scaled value SVA")
_v((13, 14, 36), 5, None, "Gleitkommawert (IEEE 754), Komma oder Punkt als Dezimalzeichen",
   "short floating point value (IEEE 754), decimal point or comma")
_v((15, 16, 37), 1, None, "Zählerstand BCR, ganze Zahl mit Vorzeichen; Folgenummer im Zusatzfeld",
   "counter reading BCR, signed integer; sequence number in the extra field")
_v((17, 38), 1, (0, 3), "Ereigniszustand ES: 1 = AUS, 2 = EIN, 0 und 3 unbestimmt",
   "event state ES: 1 = OFF, 2 = ON, 0 and 3 indeterminate")
_v((18, 39), 1, (0, 63), "Anregungen SPE als Summe: 1 GS, 2 SL1, 4 SL2, 8 SL3, 16 SIE, 32 SRD",
   "start events SPE as a sum: 1 GS, 2 SL1, 4 SL2, 8 SL3, 16 SIE, 32 SRD")
_v((19, 40), 1, (0, 15), "Auslösungen OCI als Summe: 1 GC, 2 CL1, 4 CL2, 8 CL3",
   "output circuits OCI as a sum: 1 GC, 2 CL1, 4 CL2, 8 CL3")
_v((20,), 2, None, "Zustände (niederwertiges Wort) und Änderungsbits, hexadezimal mit Präfix $",
   "states (low word) and change detection bits, hexadecimal with prefix $")
_v((45,), 1, (0, 1), "Befehlszustand SCS: 0 = AUS, 1 = EIN", "command state SCS: 0 = OFF, 1 = ON")
_v((46,), 1, (0, 3), "Befehlszustand DCS: 1 = AUS, 2 = EIN (0 und 3 nicht zulässig)",
   "command state DCS: 1 = OFF, 2 = ON (0 and 3 not permitted)")
_v((47,), 1, (0, 3), "Regelschritt RCS: 1 = tiefer, 2 = höher (0 und 3 nicht zulässig)",
   "step RCS: 1 = lower, 2 = higher (0 and 3 not permitted)")
_v((48,), 1, (-32768, 32767), "Sollwert normiert, Rohwert (32767 = +100 %)",
   "set-point normalized, raw value (32767 = +100 %)")
_v((49,), 1, (-32768, 32767), "Sollwert skaliert", "set-point scaled")
_v((50,), 5, None, "Sollwert Gleitkomma (IEEE 754)", "set-point short floating point (IEEE 754)")
_v((51,), 2, None, "Bitmuster aus vier Oktetten, hexadezimal mit Präfix $",
   "bitstring of four octets, hexadecimal with prefix $")
_v((70,), 1, (0, 255), "Ursache COI: 0 = Netz ein, 1 = Hand-Rücksetzen, 2 = Fern-Rücksetzen; +128 nach Parameteränderung",
   "cause COI: 0 = local power on, 1 = local manual reset, 2 = remote reset; +128 after a parameter change")
_v((100,), 1, (0, 255), "Kennung QOI: 20 = Stationsabfrage, 21..36 = Gruppe 1..16",
   "qualifier QOI: 20 = station interrogation, 21..36 = group 1..16")
_v((101,), 1, (0, 63), "Anforderung RQT: 1..4 Zählergruppe, 5 allgemein",
   "request RQT: 1..4 counter group, 5 general")
_v((102,), 0, None, "kein Wert", "no value")
_v((103,), 0, None, "kein Wert: die Uhrzeit steht in der Zeitmarke",
   "no value: the time is the time tag")
_v((104,), 2, (0, 65535), "Prüfmuster TSC, hexadezimal mit Präfix $", "test pattern TSC, hexadecimal with prefix $")
_v((105,), 1, (0, 255), "Kennung QRP: 1 = Generalrücksetzen, 2 = zeitmarkierte Ereignisse löschen",
   "qualifier QRP: 1 = general reset, 2 = reset pending events with time tag")
_v((106,), 1, (0, 59999), "Verzögerung in ms (CP16Time2a)", "delay in ms (CP16Time2a)")
_v((110,), 1, (-32768, 32767), "Parameter normiert, Rohwert", "parameter normalized, raw value")
_v((111,), 1, (-32768, 32767), "Parameter skaliert", "parameter scaled")
_v((112,), 5, None, "Parameter Gleitkomma (IEEE 754)", "parameter short floating point (IEEE 754)")
_v((113,), 1, (0, 255), "Kennung QPA: 1 = geladene Parameter, 2 = Parameter des Objekts, 3 = zyklische Übertragung",
   "qualifier QPA: 1 = loaded parameters, 2 = parameter of the object, 3 = cyclic transmission")
_v((120,), 0, None, "kein Wert: Datei aus der Dateiauswahl", "no value: file from the file list")
_v((121, 123, 124, 125), 0, None, "kein Wert: nur innerhalb eines Dateitransfers",
   "no value: within a file transfer only")
_v((122,), 1, (0, 65535), "Name der Datei NOF", "name of file NOF")
_v((126,), 0, None, "kein Wert: Verzeichniseintrag aus der Liste", "no value: directory entry from the list")
_v(range(128, 134), 0, None, "kein Wert: Eingabe im Bytefeld", "no value: enter the bytes in the byte field")
assert sorted(VALUES) == sorted(PICK)

# Label of the value field after text 729, empty where the type has no value field.
VALUE_LABEL = {1: "SPI", 2: "SPI", 30: "SPI", 3: "DPI", 4: "DPI", 31: "DPI", 5: "VTI", 6: "VTI",
               32: "VTI", 7: "BSI", 8: "BSI", 33: "BSI", 9: "NVA", 10: "NVA", 34: "NVA",
               21: "NVA", 11: "SVA", 12: "SVA", 35: "SVA", 13: "R32", 14: "R32", 36: "R32",
               15: "BCR", 16: "BCR", 37: "BCR", 17: "ES", 38: "ES", 18: "SPE", 39: "SPE",
               19: "OCI", 40: "OCI", 20: "SCD", 45: "SCS", 46: "DCS", 47: "RCS", 48: "NVA",
               49: "SVA", 50: "R32", 51: "BSI", 70: "COI", 100: "QOI", 101: "RQT", 104: "TSC",
               105: "QRP", 106: "CP16", 110: "NVA", 111: "SVA", 112: "R32", 113: "QPA",
               122: "NOF"}

# Qualifier column hint digit per pick entry (text 1100).
QUAL_KIND = {}
for _t in (1, 2, 3, 4, 30, 31):
    QUAL_KIND[_t] = 1
for _t in list(range(5, 15)) + [20, 32, 33, 34, 35, 36]:
    QUAL_KIND[_t] = 2
for _t in (15, 16, 37):
    QUAL_KIND[_t] = 3
for _t in (17, 18, 19, 38, 39, 40):
    QUAL_KIND[_t] = 4
for _t in (45, 46, 47):
    QUAL_KIND[_t] = 5
for _t in (48, 49, 50):
    QUAL_KIND[_t] = 6
for _t in (110, 111, 112):
    QUAL_KIND[_t] = 7


def value_text(t, lang):
    fmt, rng, de, en = VALUES[t]
    hint = de if lang == 0 else en
    if fmt in (1, 2, 3) and rng is not None:
        return "%d %d..%d  %s" % (fmt, rng[0], rng[1], hint)
    assert not any(c.isdigit() for c in hint) or fmt in (0, 5), (t, hint)
    return "%d %s" % (fmt, hint)


def define_core(T, R, COMBO, FIELD):
    T(0, "", note="text 0: nothing (always empty)", req=False)
    T(1, "(ohne Version)", "(no version)", note="placeholder after the product version when the program has no version")
    T(25, "$", note="hexadecimal prefix character khex", same=True, extra="data")
    T(26, ".", note="separator between the widths of an address structure", same=True, extra="data")
    T(27, "01", note="the two bit characters bitz (0 and 1)", same=True, extra="data")
    T(28, "0B%1", note="binary value entry: position 1..3 reads 0, position 4 on reads 1", same=True, extra="data")
    T(29, "#D$-B%0", note="value and qualifier entry: positions 1,2 decimal markers, 3,4 number characters, 5 on binary", same=True, extra="data")
    R(30, [x[0] for x in FC_UNBAL_PRI], [x[1] for x in FC_UNBAL_PRI],
      note="names of function codes 0..15, primary frames, unbalanced procedure")
    R(46, [x[0] for x in FC_UNBAL_SEC], [x[1] for x in FC_UNBAL_SEC],
      note="names of function codes 0..15, secondary frames, unbalanced procedure")
    T(62, "Einzelzeichen ", "single character ", note="link line: word for the single character")
    T(64, "Funktion ", "function ", note="link line: word before the function code")
    T(65, "LA=", "LA=", note="word before the link address (link line, header line of events)")
    T(66, "2211200002000000", note="permitted function codes, balanced, primary frames", same=True, extra="data")
    T(67, "2201200022110000", note="permitted function codes, unbalanced, primary frames", same=True, extra="data")
    T(68, "2200000000020022", note="permitted function codes, balanced, secondary frames", same=True, extra="data")
    T(69, "2200000022020022", note="permitted function codes, unbalanced, secondary frames", same=True, extra="data")
    T(70, "Typ ", "type ", note="word before the number of a type without name")

    # Type names 70 + type: mnemonic, double blank, long name.
    for t in range(1, 128):
        n = 70 + t
        if t in TYPES:
            m, de, en = TYPES[t]
            T(n, "%s  %s" % (m, de), "%s  %s" % (m, en),
              note="name of type %d: short form (mnemonic), double blank, long form" % t)
        else:
            T(n, "", note="type %d: no name (shown as text 70 and the number)" % t, req=False)
    T(198, "PRIVAT  Typ aus dem privaten Bereich", "PRIVATE  type of the private range",
      note="station image: name of the types above 128 (short form, double blank, long form)")
    T(199, "Test ", "test ", note="word for the test bit T of the cause")
    T(200, "", note="not used", req=False)
    T(201, "negativ ", "negative ", note="word for the P/N bit of the cause")

    undefined = ("undefiniert", "undefined")
    for c in range(0, 64):
        n = 202 + c
        if c in CAUSES:
            ds, dl, es, el = CAUSES[c]
            T(n, "%s  %s" % (ds, dl), "%s  %s" % (es, el),
              note="name of cause %d: short form, double blank, long form" % c)
        else:
            T(n, undefined[0], undefined[1],
              note="cause %d: not defined; equal to text 202 so that the compact form shows text 1373 and the number" % c)
    T(267, "   Herkunftsadresse=", "   originator=", note="cause line: word before the originator address")
    T(269, "SZ ", "SU ", note="time tag: summer time bit SU of the hour octet")
    R(270, ["ungültig ", "nicht aktuell ", "ersetzt ", "blockiert "],
      ["invalid ", "not topical ", "substituted ", "blocked "], note="quality bits IV, NT, SB, BL, long words")
    T(274, "Reserve ", "reserve ", note="reserved bit set, long word (also bit 1 of a single command)")
    R(275, ["IV ", "NT ", "SB ", "BL "], note="quality bits IV, NT, SB, BL, short words; 275 and 277 also the minute octet bits 7 and 6 of a time tag")
    T(279, "RES ", "RES ", note="reserved bit set, short word")
    T(280, "Überlauf ", "overflow ", note="OV bit of QDS, long word")
    T(281, "OV ", "OV ", note="OV bit of QDS, short word")
    T(282, "Dauer EI ", "elapsed EI ", note="elapsed time CP16Time2a with EI set (time invalid)")
    T(283, "Dauer ", "elapsed ", note="elapsed time CP16Time2a")
    R(284, ["AUS ", "EIN "], ["OFF ", "ON "], note="single-point and single command state 0, 1")
    R(286, ["Zwischenstellung ", "AUS ", "EIN ", "Störstellung "],
      ["intermediate ", "OFF ", "ON ", "faulty "], note="double-point state, event state and double command state 0..3")
    T(290, "transient ", "transient ", note="transient bit of a step position, long word")
    T(291, "T ", "T ", note="transient bit of a step position, short word")
    T(292, "WT=", "DoW=", note="time tag CP56Time2a: word before the day of the week")
    T(298, "VdlTypKurz.ger", "VdlTypKurz.usa", note="file name of the compact type names in the program directory")
    R(300, ["SRD ", "SIE ", "SL3 ", "SL2 ", "SL1 ", "GS "],
      note="start events SPE bits 5..0 (SRD, SIE, SL3, SL2, SL1, GS)")
    R(306, ["CL3 ", "CL2 ", "CL1 ", "GC "], note="output circuits OCI bits 3..0 (CL3, CL2, CL1, GC)")
    R(310, ["Ausführen ", "Anwahl "], ["execute ", "select "], note="S/E bit 0, 1 of a command, long words")
    T(312, "Kennung ", "qualifier ", note="word before a qualifier number without a name (long form)")
    T(313, "QU=", "QU=", note="word before a QU number (short form); 313 + QU names QU 1..3")
    R(314, ["kurzer Impuls ", "langer Impuls ", "Dauerbefehl "],
      ["short pulse ", "long pulse ", "persistent output "], note="qualifier of command QU 1..3")
    R(317, ["unzulässig ", "tiefer ", "höher ", "unzulässig "],
      ["not permitted ", "lower ", "higher ", "not permitted "], note="regulating step state RCS 0..3")
    T(321, "nach Änderung lokaler Parameter", "after change of local parameters", note="COI bit 7")
    R(323, ["Netz ein", "Hand-Rücksetzen", "Fern-Rücksetzen"],
      ["local power switch on", "local manual reset", "remote reset"], note="cause of initialisation 0..2")
    T(326, "Stationsabfrage", "station interrogation", note="QOI 20")
    T(327, "Gruppenabfrage ", "group interrogation ", note="QOI 21..36, followed by the group number")
    T(328, "Parameterart ", "kind of parameter ", note="word before a KPA number (long form)")
    T(329, "KPA=", "KPA=", note="word before a KPA number (short form)")
    T(330, "POP ", "POP ", note="QPM bit 7 (parameter not in operation)")
    T(331, "LPC ", "LPC ", note="QPM bit 6 (local parameter change)")
    T(334, "QL=", "QL=", note="word before QL of a set-point (short form); 334 + KPA names KPA 1..4")
    R(335, ["Schwellwert", "Glättungsfaktor", "unterer Grenzwert", "oberer Grenzwert"],
      ["threshold value", "smoothing factor", "low limit", "high limit"], note="kind of parameter KPA 1..4")
    T(339, "zeitmarkierte Ereignisse rücksetzen", "reset of pending events with time tag",
      note="QRP 2; 339 + QPA names QPA 1..3")
    R(340, ["geladene Parameter aktivieren/deaktivieren", "Parameter des Objekts aktivieren/deaktivieren",
            "zyklische Übertragung des Objekts aktivieren/deaktivieren"],
      ["act/deact of previously loaded parameters", "act/deact of the parameter of the object",
       "act/deact of cyclic transmission of the object"], note="parameter activation QPA 1..3")
    R(343, ["ungültig ", "angepasst ", "Übertrag "], ["invalid ", "adjusted ", "carry "],
      note="counter sequence bits IV, CA, CY, long words")
    T(346, "Folgenr. ", "seq. ", note="word before the counter sequence number (long form)")
    R(347, ["Zähler lesen", "einfrieren ohne Rücksetzen", "einfrieren mit Rücksetzen", "Zähler rücksetzen"],
      ["read", "freeze without reset", "freeze with reset", "counter reset"], note="counter freeze FRZ 0..3")
    T(351, "allgemeine Zählerabfrage", "general counter request", note="RQT 5")
    T(352, "Zählergruppe ", "counter group ", note="RQT 1..4, followed by the group number")
    T(353, "Generalrücksetzen", "general reset of process", note="QRP 1")
    R(354, ["IV ", "CA ", "CY "], note="counter sequence bits IV, CA, CY, short words")
    T(357, "SQ=", "SQ=", note="word before the counter sequence number (short form)")
    R(358, ["Ausf ", "Anw "], ["exe ", "sel "], note="S/E bit 0, 1 of a command, short words")
    T(363, "Zeit ungültig (IV),Ersatzzeit (Bit 6)", "time invalid (IV),substituted time (bit 6)",
      note="send editor: check boxes of the time tag bits iv, gen", extra="list=2")
    T(364, "Sommerzeit (SU),Wochentag", "summer time (SU),day of week",
      note="send editor: check boxes su, wt of the seven-octet time tag", extra="list=2")
    T(365, "transient", "transient", note="send editor: check box of the transient bit")
    T(366, "NOF=", "NOF=", note="file transfer: word before the name of file")
    T(367, "NOS=", "NOS=", note="file transfer: word before the name of section")
    T(368, " Länge=", " length=", note="file transfer: word before the length of file, section or segment")
    R(369, [" FRQ=", " SRQ=", " SCQ=", " LSQ=", " CHS=", " AFQ=", " SOF="],
      note="file transfer: words before the qualifiers FRQ, SRQ, SCQ, LSQ, the checksum, AFQ and SOF")
    R(378, ["  DIR=", " PRM=", " FCB=", " FCV=", " RES=", " DFC="],
      note="control field flags, balanced procedure: bit 7, bit 6, FCB, FCV, bit 5 secondary, DFC")
    R(384, ["  RES=", " PRM=", " FCB=", " FCV=", " ACD=", " DFC="],
      note="control field flags, unbalanced procedure: bit 7, bit 6, FCB, FCV, ACD, DFC")
    T(390, "  ", note="header line: after the channel and direction")
    T(391, "keine Zählerabfrage", "no counter request", note="RQT 0")
    T(392, "  Steuerfeld=", "  control=", note="link line: word before the control field in hexadecimal")
    T(402, "Ursache", "Cause", note="label of the cause line (at most 9 characters)")
    T(403, "ASDU", "ASDU", note="label of the ASDU line (at most 9 characters)")
    T(404, "ASDU-Adr.", "ASDU addr", note="label of the common address line (at most 9 characters)")
    T(405, "Objekt", "Object", note="label of the object lines (at most 9 characters)")
    T(406, "Link", "Link", note="label of the link line (at most 9 characters)")
    R(407, ["ohne Zeit  ", "mit Zeit  "], ["no time  ", "time  "], note="view header: time line off, on")
    R(409, ["logisch  ", "kompakt  ", "logisch einzeilig  ", "byteseriell  ", "Export  "],
      ["full  ", "compact  ", "one line  ", "bytes  ", "export  "], note="view header: view format 3..7 (406 + format)")
    R(421, ["Log-Anzeige  ", "Online-Anzeige  "], ["log display  ", "online display  "],
      note="view header: log display, online display")
    R(423, ["ohne Linkzeile", "mit Linkzeile"], ["no link line", "link line"], note="view header: link line off, on")
    T(425, "   Telegramm ", "   telegram ", note="date line: before the relative number")
    T(427, " von ", " of ", note="date line: between the relative number and the count")
    T(428, "  Datum ", "  date ", note="export page header: before the date")
    T(429, "Seite", "page", note="export page header: before the page number")
    T(430, " Objekte (SQ=1)", " objects (SQ=1)", note="ASDU line: after the number of objects of a sequence")
    T(431, " Objekte", " objects", note="ASDU line: after the number of objects with own addresses")
    for s in range(0, 54):
        n = 432 + s
        if s == 48:
            T(n, "Kanal geöffnet: Port %s  %s  %s  %s", "channel opened: port %s  %s  %s  %s",
              fmt="s,s,s,s", note="status of event 48 (port device or number, function, procedure, baud rate)")
        elif s == 49:
            T(n, "Kanal geschlossen: Port %s  %s  %s  %s", "channel closed: port %s  %s  %s  %s",
              fmt="s,s,s,s", note="status of event 49 (port device or number, function, procedure, baud rate)")
        elif s in STATUS:
            de, en = STATUS[s]
            T(n, de, en, note="status text of stat %d" % s)
        else:
            T(n, "Status unbekannt", "unknown status", note="status text of stat %d (not used)" % s)
    T(521, "  %s %.0n (%.0n fehlerhaft)", "  %s %.0n (%.0n faulty)", fmt="s,f,f",
      note="events 48, 49: channel and direction, telegrams, faulty telegrams")

    # Value format per pick index, value field labels, permitted causes.
    T(729, "Wert ", "Value ", note="label of the value field, followed by text 730 + pick index")
    R(730, [VALUE_LABEL.get(t, "") for t in PICK], note="value field label per pick index (empty: no value field)", req=False)
    R(937, [value_text(t, 0) for t in PICK], [value_text(t, 1) for t in PICK],
      note="value format per pick index: format digit, range from the third character, hint from the second", extra="data")
    T(1009, two_digit_codes(GENERAL_CAUSES), note="causes of transmission the standard defines (two-digit codes)", same=True, extra="data")
    R(1010, [two_digit_codes(PERMITTED[t]) for t in PICK],
      note="permitted causes per pick index (two-digit codes)", same=True, extra="data")
    T(1074, "", note="must stay empty: ends the decoding of the cause texts", req=False, same=True)

    # Qualifier hints of the send list editor.
    T(1096, " (binär mit B: B10000001, dezimal, $hex)", " (binary with B: B10000001, decimal, $hex)",
      note="send list qualifier hint: suffix when the hint is shorter than 44 characters")
    T(1097, "Qualifier: ", "qualifier: ", note="send list qualifier hint: prefix")
    T(1100, "".join("%X" % QUAL_KIND.get(t, 0) for t in PICK),
      note="send list qualifier hint digit per pick index (character at the pick index, counted from 0)", same=True, extra="data")
    R(1101, ["", "IV NT SB BL", "IV NT SB BL OV(Bit 0)", "IV CA CY, Folgenr. Bit 4..0",
             "IV NT SB BL EI", "S/E, QU Bit 4..0", "S/E, QL Bit 6..0", "POP LPC, KPA Bit 5..0"],
      ["", "IV NT SB BL", "IV NT SB BL OV(bit 0)", "IV CA CY, seq. bits 4..0",
       "IV NT SB BL EI", "S/E, QU bits 4..0", "S/E, QL bits 6..0", "POP LPC, KPA bits 5..0"],
      note="send list qualifier hint per digit 1..7 (1101 unused)", req=False)
    T(1117, "Qualifier: bei diesem Typ ohne Bedeutung", "qualifier: not used by this type",
      note="send list qualifier hint for digit 0")

    R(1175, ["Programm", "K1 Empf.", "K1 Send.", "K2 Empf.", "K2 Send."],
      ["program ", "Ch1 rec.", "Ch1 sent", "Ch2 rec.", "Ch2 sent"],
      note="channel and direction by ek 0..4")
    R(1181, ["symmetrisch", "unsymmetrisch"], ["balanced", "unbalanced"], note="procedure 0, 1 (statistics, events 48, 49)")
    T(1227, " Bit: Eingabe als Zahl oder in Teilen, getrennt durch Leerzeichen ($ für hexadezimal)",
      " bits: enter a number or the parts separated by blanks ($ for hexadecimal)", note="appended to the address structure hints 836, 839")
    T(1229, " ms", " ms", note="after the delay of C_CD_NA_1")
    R(1373, ["Urs", "T:", "N:", "HK="], ["COT", "T:", "N:", "orig="],
      note="compact cause: before an unnamed cause number, test bit, P/N bit, originator")
    R(1388, ["unbekannter Fehler", "Überlauf", "Paritätsfehler", "Rahmenfehler", "Empfangspuffer voll", "Break"],
      ["unknown error", "overrun", "parity error", "framing error", "receive buffer full", "break"],
      note="line error code 0..5 (1 overrun, 2 parity, 3 framing, 4 buffer, 5 break)")
    T(1482, "%d Bit/s", "%d bit/s", fmt="d", note="events 48, 49: baud rate")
    T(2008, "Textzeile gesendet", "text line sent", note="status text of a text line sent")
    T(2009, "Textzeile empfangen", "text line received", note="status text of a text line received")
    R(2083, [" bereit", " nicht bereit", " bereit", " nicht bereit",
             " Datei anwählen", " Datei anfordern", " Datei deaktivieren", " Datei löschen",
             " Abschnitt anwählen", " Abschnitt anfordern", " Abschnitt deaktivieren",
             " Datei ohne Deaktivierung", " Datei mit Deaktivierung",
             " Abschnitt ohne Deaktivierung", " Abschnitt mit Deaktivierung",
             " positive Quittung Datei", " negative Quittung Datei",
             " positive Quittung Abschnitt", " negative Quittung Abschnitt"],
      [" ready", " not ready", " ready", " not ready",
       " select file", " request file", " deactivate file", " delete file",
       " select section", " request section", " deactivate section",
       " file transfer without deactivation", " file transfer with deactivation",
       " section transfer without deactivation", " section transfer with deactivation",
       " positive ack of file", " negative ack of file",
       " positive ack of section", " negative ack of section"],
      note="file transfer words: FRQ 2083/2084, SRQ 2085/2086, SCQ 1..7 (2087..), LSQ 1..4 (2094..), AFQ 1..4 (2098..)")
    R(2115, ["Zwischenst.", "AUS", "EIN", "Störst.", "unzulässig", "tiefer", "höher", "unzulässig"],
      ["intermediate", "OFF", "ON", "faulty", "not permitted", "lower", "higher", "not permitted"],
      note="send editor value names: double point 0..3 (2115 + v), single point 0..1 (2116 + v), RCS 0..3 (2119 + v)")
    R(2125, [x[0] for x in FC_BAL_PRI], [x[1] for x in FC_BAL_PRI],
      note="names of function codes 0..15, primary frames, balanced procedure")
    R(2141, [x[0] for x in FC_BAL_SEC], [x[1] for x in FC_BAL_SEC],
      note="names of function codes 0..15, secondary frames, balanced procedure")

# Texts of the send telegrams: the encoder's refusals and the telegram editor's own captions,
# labels and hints beyond the numbers the shared send texts already give.


def define_send(T, R, COMBO, FIELD):
    T(2330, "Telegramm %d: das Telegramm wäre %d Oktette lang; ein Telegramm fasst höchstens 261.",
      "Telegram %d: the frame would be %d octets long; a frame holds at most 261.", fmt="d,d",
      note="message: a raw send telegram longer than a frame (telegram number, frame length)")
    T(2331, "Telegramm %d: Typ %d wird nur innerhalb eines Dateitransfers gesendet.",
      "Telegram %d: type %d is sent within a file transfer only.", fmt="d,d",
      note="message: a send telegram of a file transfer type (telegram number, type)")
    FIELD(2332, ("Laufnummer", "Sequence number"),
          ("Laufnummer SQ des Zählerstands (0..31)", "sequence number SQ of the counter reading (0..31)"),
          note="send editor: zus of the counter types")
    FIELD(2334, ("Kennung QU", "Qualifier QU"),
          ("Kennung des Befehls QU: 0 keine, 1 kurz, 2 lang, 3 Dauer (0..31)",
           "qualifier of command QU: 0 none, 1 short, 2 long, 3 persistent (0..31)"),
          note="send editor: zus of the commands 45..47")
    FIELD(2336, ("Kennung QL", "Qualifier QL"),
          ("Kennung des Sollwertbefehls QL (0..127)", "qualifier of set-point command QL (0..127)"),
          note="send editor: zus of the set-points 48..50")
    FIELD(2338, ("Parameterart KPA", "Kind of parameter KPA"),
          ("Art des Parameters KPA: 1 Schwelle, 2 Glättung, 3 untere, 4 obere Grenze (0..63)",
           "kind of parameter KPA: 1 threshold, 2 smoothing, 3 low limit, 4 high limit (0..63)"),
          note="send editor: zus of the parameters 110..112")
    T(2340, "Name,Typ,Ursache,Herkunft,Sender (Kanal),Station,Datum,Uhrzeit,ms,Bytes,Datei,Verzeichnis",
      "Name,Type,Cause,Originator,Sender (channel),Station,Date,Time,ms,Bytes,File,Directory",
      note="send editor: labels of name, type, cause, originator, sender, station, date, time, "
           "milliseconds, byte field, file and directory entry", extra="list=12")
    COMBO(2341, ("Übertragung", "Transmission"),
          [("Senden/Bestätigen (53)", "send/confirm (53)"), ("Senden ohne Antwort (44)", "send/no reply (44)"),
           ("Antwort mit Daten (08)", "respond with user data (08)")],
          note="send editor: ueb")
    COMBO(2346, ("Datenklasse", "Data class"), [("Klasse 1", "class 1"), ("Klasse 2", "class 2")],
          note="send editor: klasse of a controlled station")
    T(2350, "Test (T),negativ (P/N)", "test (T),negative (P/N)",
      note="send editor: check boxes of the test and negative bits", extra="list=2")
    T(2351, "&Senden", "&Send", note="send editor: send button")
    T(2352, "Name in den Menüs (bis 27 Zeichen)", "name in the menus (up to 27 characters)",
      note="send editor: hint of the name")
    T(2353, "sendender Kanal: 1 oder 2", "sending channel: 1 or 2", note="send editor: hint of the sender")
    T(2354, "Bytes hexadezimal, Text in Anführungszeichen; Typ 132: Text (bis 264 Bytes)",
      "bytes in hexadecimal, text in double quotes; type 132: text (up to 264 bytes)",
      note="send editor: hint of the byte field")
    T(2355, "Millisekunden 0..999", "milliseconds 0..999", note="send editor: hint of the milliseconds")
    T(2356, "Datei mit einer ASDU je Zeile (*.csv im Datenverzeichnis)",
      "file with one ASDU per line (*.csv in the data directory)", note="send editor: hint of the file")
    T(2357, "%s ist keine Telegrammdatei (weniger als zwei Zeilen)",
      "%s is not a telegram file (fewer than two lines)", fmt="s",
      note="command line: a telegram text file that holds fewer than two lines (file)")
    T(2358, "Telegramm %d: Typ %d hat hier keine Kodierung; als Rohtelegramm (Typ 128..133) senden.",
      "Telegram %d: type %d has no encoding here; send it as a raw telegram (types 128..133).",
      fmt="d,d", note="message: a send telegram of a type without an element encoding (telegram number, type)")
    T(2359, "%s ist keine Telegrammdatei: die erste Zeile ist kein gültiger Telegrammkopf (Name und 15 Felder)",
      "%s is not a telegram file: its first line is no valid telegram header (a name and 15 fields)", fmt="s",
      note="command line: a telegram text file whose first line is not a valid header (file)")

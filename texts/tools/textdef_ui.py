# Captions, labels, hints, menu entries, list items, questions and messages.


def define_ui(T, R, COMBO, FIELD):
    # File names and extensions: the same in both languages, so that a change of language
    # finds the same files.
    T(395, "Vordal_Telegramm.cmd", note="command file: send telegram (data directory)", same=True)
    T(396, "Vordal_Liste.cmd", note="command file: send list or batch (data directory)", same=True)
    T(397, "Vordal_Rueckmeldung.cmd", note="command file: command feedback table (data directory)", same=True)
    T(398, "BATCH", note="keyword of a batch command file (first line)", same=True)
    T(399, " geladen", " loaded", note="batch log: after the table or telegram loaded")
    T(400, " nicht ausführbar: ", " cannot be used: ", note="batch log: after the line number of an unusable line")
    T(499, " Vordal: ", " Vordal: ", note="window caption: between the instance number and the parameter set file")
    T(502, "Auswahl mit Maus, Leertaste oder Pfeiltasten", "choose with the mouse, space bar or arrow keys",
      note="hint of check boxes, combo boxes and the active column")
    R(504, ["Datei", "Betrieb", "Senden", "Ansicht", "Parameter", "Sprache", "Filter", "Hilfe"],
      ["File", "Mode", "Send", "View", "Parameters", "Language", "Filter", "Help"],
      note="tool buttons of the main menus: file, mode, send, view, parameters, language, filter, help")
    T(519, "Schaltfläche: Mausklick, Leertaste oder Eingabetaste", "button: click, space bar or Enter",
      note="hint of buttons")
    T(520, " je Station (untere 4 Bit der Stationsadresse)", " per station (low 4 bits of the common address)",
      note="picker mode 3: description of the grouping by station")
    T(522, " der Stationsadresse ", " of common address ", note="picker mode 3: before the common address")
    R(523, ["&Online", "O&ffline", "&Log-Anzeige", "O&nline-Anzeige", "&Stationsabbild"],
      ["&Online", "O&ffline", "&Log display", "O&nline display", "&Station image"],
      note="menu mode: aGoOnl, aGoOffl, aAusgLog, aAusgOnl, aStObj")
    R(528, ["&Telegramm senden", "&Liste senden", "Senden &anhalten"],
      ["Send &telegram", "Send &list", "&Stop sending"], note="menu send: miSeTel, miSeList, miSeStop")
    R(532, ["&Zeitzeile", "&Linkzeile", "Format &logisch", "Format &kompakt", "Format logisch &einzeilig",
            "Format &byteseriell", "Format E&xport (CSV)", "Log-/Online-Anzeige &umschalten", "&Online-Anzeige"],
      ["&Time line", "&Link line", "&Full format", "&Compact format", "&One-line format",
       "&Byte format", "E&xport format (CSV)", "&Toggle log/online display", "&Online display"],
      note="menu view and pop-up menu: aZeit, aLink, aFLog, aFKomp, aFLogN, aFByte, aFCsv, aAusgLog, aAusgOnl")
    T(556, "Allgemeine Einstellungen", "General settings", note="caption of the general settings")
    R(559, ["Betrieb", "Schnittstelle"], ["Operation", "Port"], note="channel dialog: page captions")
    COMBO(562, ("Einzelzeichen E5", "Single character E5"),
          [("nie", "never"), ("statt positiver Quittung", "instead of a positive acknowledgement"),
           ("statt positiver Quittung (2)", "instead of a positive acknowledgement (2)"),
           ("auch statt 'keine Daten'", "also instead of 'no data'")], note="channel dialog vwe5")
    COMBO(568, ("Übertragungsverfahren", "Transmission procedure"),
          [("symmetrisch", "balanced"), ("unsymmetrisch", "unbalanced")], note="channel dialog pro")
    COMBO(572, ("Richtungsbit DIR", "Direction bit DIR"), [("0", "0"), ("1", "1")], note="channel dialog rb")
    COMBO(576, ("Befehle automatisch bestätigen", "Confirm commands automatically"),
          [("nein", "no"), ("ja", "yes")], note="channel dialog bcon")
    FIELD(581, ("Rohwert für 100 %", "Raw value of 100 %"),
          ("Rohwert eines normierten Werts, der 100 % entspricht (100..32767)",
           "raw value of a normalized value that stands for 100 % (100..32767)"), note="general settings mwvoll")
    COMBO(585, ("Länge der Linkadresse", "Link address length"),
          [("keine", "none"), ("1 Oktett", "1 octet"), ("2 Oktette", "2 octets")], note="general settings lgla")
    COMBO(590, ("Herkunftsadresse", "Originator address"),
          [("nein (Ursache 1 Oktett)", "no (cause 1 octet)"), ("ja (Ursache 2 Oktette)", "yes (cause 2 octets)")],
          note="general settings mitori")
    FIELD(594, ("Struktur der Stationsadresse", "Common address structure"),
          ("Bitbreiten der Teile, höchstwertiger Teil zuerst, z. B. 8.8 (zusammen 8 oder 16 Bit)",
           "bit widths of the parts, most significant first, e.g. 8.8 (8 or 16 bits in all)"),
          note="general settings castr")
    FIELD(597, ("Struktur der Objektadresse", "Object address structure"),
          ("Bitbreiten der Teile, höchstwertiger Teil zuerst, z. B. 8.8.8 (zusammen 8, 16 oder 24 Bit)",
           "bit widths of the parts, most significant first, e.g. 8.8.8 (8, 16 or 24 bits in all)"),
          note="general settings oastr")
    FIELD(600, ("Linkadressen", "Link addresses"),
          ("bis zu 15 Adressen, getrennt durch Leerzeichen oder Komma ($ für hexadezimal)",
           "up to 15 addresses separated by blanks or commas ($ for hexadecimal)"), note="channel dialog la")
    COMBO(603, ("Abfrage", "Polling"),
          [("Klasse 2, Klasse 1 nach ACD", "class 2, class 1 after ACD"), ("immer Klasse 1", "always class 1")],
          note="channel dialog abf")
    COMBO(609, ("Störimpulse unterdrücken", "Suppress spikes"), [("nein", "no"), ("ja", "yes")],
          note="channel dialog spik")
    FIELD(613, ("Max. Telegrammlänge", "Max. telegram length"),
          ("größte Telegrammlänge in Byte (1..261)", "largest telegram length in bytes (1..261)"),
          note="channel dialog tlg")
    FIELD(615, ("Wiederholungen", "Repetitions"),
          ("Wiederholungen nach fehlender Quittung (0..65535)", "repetitions after a missing acknowledgement (0..65535)"),
          note="channel dialog wh")
    FIELD(617, ("Quittungsüberwachung [ms]", "Acknowledgement time-out [ms]"),
          ("Wartezeit auf Quittung oder Antwort in ms (1..65535)",
           "time to wait for an acknowledgement or response in ms (1..65535)"), note="channel dialog qzt")
    FIELD(619, ("Pause nach Linkausfall [s]", "Pause after link failure [s]"),
          ("Pause in s nach negativer Quittung oder DFC; symmetrisch auch, bevor ein ausgefallener Link wieder abgefragt wird (1..100)",
           "pause in s after a negative acknowledgement or DFC; balanced: also before a lost link is asked for again (1..100)"),
          note="channel dialog zztl")
    FIELD(621, ("Linktestzyklus [s]", "Link test cycle [s]"),
          ("symmetrisch: Linktest nach so vielen Sekunden ohne Antwort, 0 = kein Linktest (0..30000)",
           "balanced: link test after this many seconds without an answer, 0 = no link test (0..30000)"),
          note="channel dialog zztv (balanced)")
    T(624, "Sommerzeitbit in Sendelisten setzen", "Set the summer time bit in send lists",
      note="general settings check box chbSZt")
    T(625, "Ersatzzeitbit (Bit 6 der Minute) in Sendelisten setzen",
      "Set the substituted time bit (bit 6 of the minute) in send lists", note="general settings check box chbGen")
    FIELD(627, ("Logtext", "Log text"),
          ("Text, der beim Öffnen und Schließen des Kanals protokolliert wird (bis 83 Zeichen)",
           "text logged when the channel is opened and closed (up to 83 characters)"), note="channel dialog logtxt")
    FIELD(629, ("RTS-Vorlaufzeit [ms]", "RTS lead time [ms]"),
          ("Zeit zwischen RTS und Sendebeginn in ms (0..65535)", "time between RTS and the start of sending in ms (0..65535)"),
          note="channel dialog tv")
    FIELD(631, ("RTS-Nachlaufzeit [ms]", "RTS lag time [ms]"),
          ("Zeit zwischen Sendeende und RTS-Abfall in ms (0..65535)", "time between the end of sending and RTS off in ms (0..65535)"),
          note="channel dialog tn")
    FIELD(633, ("Loggröße [1000 KiB]", "Log size [1000 KiB]"),
          ("Größe der Logdatei in Einheiten von 1000 KiB (0..2000)", "size of the log file in units of 1000 KiB (0..2000)"),
          note="general settings log size")
    COMBO(635, ("Dateiverzeichnis", "File directory"),
          [("nur Hauptverzeichnis", "main directory only"),
           ("Unterverzeichnisse nach Objektadresse", "sub-directories by object address")],
          note="general settings cobxDatAdr (file transfer)")
    FIELD(639, ("Zeitüberwachung Dateitransfer [s]", "File transfer time-out [s]"),
          ("Zeitüberwachung eines Dateitransfers in s (3..255)", "time-out of a file transfer in s (3..255)"),
          note="general settings edTimeout")
    COMBO(641, ("Dateien aus empfangenem Verzeichnis abrufen", "Call files from a received directory"),
          [("nein", "no"), ("ja", "yes")], note="general settings cobxAbruf")
    COMBO(645, ("Indexdateien (.IDX)", "Index files (.IDX)"), [("nein", "no"), ("ja", "yes")],
          note="general settings cobxIDX")
    R(652, ["Kanal 1: Betriebsparameter", "Kanal 2: Betriebsparameter"],
      ["Channel 1: operating parameters", "Channel 2: operating parameters"], note="channel dialog captions")
    COMBO(655, ("Baudrate", "Baud rate"),
          [(b, b) for b in ["300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]],
          note="channel dialog baud list (item i is text 657 + i, default index 5)")
    T(671, "Schnittstelle", "Port", note="channel dialog cbCom label (the list is built from the ports found)")
    T(672, "0", note="channel dialog cbCom: no fixed items (the port list is built by the program)", same=True)
    R(673, ["Offline", "Online"], note="status panel 0 and command-line words offline, online", same=True)
    R(676, ["OK", "Abbrechen", "Hilfe", "Zurücksetzen"], ["OK", "Cancel", "Help", "Reset"],
      note="buttons OK, Cancel, Help, Reset")
    T(681, "Löschen", "Delete", note="filter dialog: delete button")
    T(682, "Gespeicherter Filter", "Saved filter", note="filter dialog: named filter label")
    R(683, ["&Anzeigefilter...", "Anzeigefilter &ein/aus", "&Logfilter..."],
      ["&Display filter...", "Display filter &on/off", "&Log filter..."], note="menu filter: aAFilter, aAFiltAE, miLFilter")
    R(686, ["Anzeigefilter einschalten", "Anzeigefilter ausschalten"],
      ["Switch the display filter on", "Switch the display filter off"], note="aAFiltAE caption by active flag")
    R(689, ["&Hilfe", "Hilfe zum &Fenster", "&Info..."], ["&Help", "Help on this &window", "&About..."],
      note="menu help: miHelp2, aHelpF1, miVersion")
    R(692, ["Anzeigefilter", "Logfilter"], ["Display filter", "Log filter"], note="filter dialog captions")
    COMBO(694, ("Bedingung", "Condition"), [("aus", "off"), ("gleich", "matches"), ("ungleich", "does not match")],
          note="filter dialog relation")
    COMBO(699, ("Vergleich", "Comparison"),
          [("= Wert 1", "= value 1"), ("= Wert 1 oder Wert 2", "= value 1 or value 2"),
           ("Bereich Wert 1..Wert 2", "range value 1..value 2")], note="filter dialog comparison")
    R(704, ["ab Zeit", "bis Zeit", "Telegrammstatus", "Telegrammquelle"],
      ["from time", "to time", "Telegram status", "Telegram source"],
      note="filter dialog: from-time, to-time check boxes, status and source labels")
    R(708, ["Telegrammnummer", "Telegrammlänge", "Steuerfeld (PRM + Funktion)", "Linkadresse", "Typkennung",
            "Ursache", "Herkunftsadresse"] + [". Teil Stationsadresse"] * 5 + [". Teil Objektadresse"] * 5,
      ["Telegram number", "Telegram length", "Control field (PRM + function)", "Link address", "Type identification",
       "Cause", "Originator address"] + [". part of common address"] * 5 + [". part of object address"] * 5,
      note="filter dialog: row labels of fields 5..21 (703 + field); address parts get & and a number in front")
    T(725, "Qualität: mindestens ein Bit gesetzt", "Quality: at least one bit set", note="filter dialog: first quality mask label")
    R(802, ["Anforderung RQT: 0 keine, 1..4 Zählergruppe, 5 alle Zähler (Einfrieren in der Auswahl)"],
      ["request RQT: 0 none, 1..4 counter group, 5 all counters (freeze in the list)"],
      note="send editor: value hint of C_CI_NA_1")
    COMBO(806, ("Einfrieren FRZ", "Freeze FRZ"),
          [("lesen", "read"), ("einfrieren ohne Rücksetzen", "freeze without reset"),
           ("einfrieren mit Rücksetzen", "freeze with reset"), ("rücksetzen", "reset")],
          note="send editor: FRZ list of C_CI_NA_1 (quaidx)")
    FIELD(818, ("Dauer [ms]", "Elapsed time [ms]"),
          ("Dauer CP16Time2a in ms (0..59999)", "elapsed time CP16Time2a in ms (0..59999)"),
          note="send editor: elapsed time of the protection types")
    T(823, "Uhrzeit: Stunde:Minute:Sekunde", "time: hour:minute:second", note="hint of time fields")
    T(826, "Datum: Tag.Monat.Jahr", "date: day.month.year", note="hint of date fields")
    FIELD(832, ("Zyklen", "Cycles"), ("Anzahl Zyklen je Anstoß, 0 = ohne Ende", "cycles per request, 0 = without end"),
          note="send list: anzt")
    T(835, "Stationsadresse", "Common address", note="label of common address fields")
    T(836, "Stationsadresse der ASDU", "common address of the ASDU",
      note="hint of common address fields (replaced after loading by the structure text and 1227)")
    T(838, "Objektadresse", "Object address", note="label of object address fields")
    T(839, "Informationsobjektadresse", "information object address",
      note="hint of object address fields (replaced after loading by the structure text and 1227)")
    FIELD(848, ("Typ für Anstoß", "Trigger type"),
          ("0..255 Typkennung, 256 jedes Datentelegramm, 257..272 Funktionscode + 257",
           "0..255 type identification, 256 any user data frame, 257..272 function code + 257"),
          note="send telegram and list: typn")
    FIELD(851, ("Objekte je Zyklus", "Objects per cycle"),
          ("Objekte je Zyklus, 0 = alle aktiven Objekte", "objects per cycle, 0 = all active objects"),
          note="send list: anzo")
    FIELD(853, ("Pause [ms]", "Pause [ms]"),
          ("Pause zwischen zwei Sendungen in ms (0..100000)", "pause between two transmissions in ms (0..100000)"),
          note="send telegram and list: wzt")
    COMBO(856, ("Anstoß", "Trigger"),
          [("nur von Hand", "operator only"), ("bei Empfang eines Typs", "on reception of a type"),
           ("bei Linkaufbau", "on link established"), ("bei Linkreset der Gegenstelle", "on link reset by the partner"),
           ("zur Minute", "at the minute"), ("im Minutentakt", "every n minutes")],
          note="send telegram and list: trigger mode anst")
    R(864, [" Hand", " Typ ", " Linkaufbau", " Linkreset", " Minute ", " Minutentakt "],
      [" manual", " type ", " link up", " link reset", " minute ", " every "],
      note="send menus: word for trigger mode 0..5")
    T(870, "Das Programm ist offline: Senden ist nicht möglich.", "The program is offline: nothing can be sent.",
      note="message: sending while offline")
    T(871, "Der Link zur Station ist nicht aufgebaut. Trotzdem senden?",
      "The link to the station is not established. Send anyway?", note="question: send without link")
    T(873, "Linktest: 'keine Nutzdaten senden' ist eingeschaltet.", "Link test: 'send no user data' is switched on.",
      note="message: link test switch 9 on")
    T(874, "Sendeliste %d enthält keine aktiven Objekte.", "Send list %d holds no active objects.", fmt="d",
      note="message: list without active objects (list number)")
    T(877, "Qualität: alle Bits gelöscht", "Quality: all bits clear", note="filter dialog: second quality mask label")
    T(878, "fehlerfrei,fehlerhaft", "error-free,erroneous", note="filter dialog: status entries", extra="list=2")
    T(879, "Empfangen Kanal 1,Gesendet Kanal 1,Empfangen Kanal 2,Gesendet Kanal 2",
      "Received channel 1,Sent channel 1,Received channel 2,Sent channel 2",
      note="filter dialog: source entries", extra="list=4")
    T(880, "IV,NT,SB,BL,EI,OV", note="filter dialog: quality mask entries", extra="list=6")
    FIELD(881, ("Sendeverzögerung [ms]", "Send delay [ms]"),
          ("Pause vor jeder Sendung in ms (0..5000)", "pause before every transmission in ms (0..5000)"),
          note="channel dialog sverz")
    T(883, "Die Datei %s ist nicht vorhanden.", "The file %s does not exist.", fmt="s",
      note="message: file on the command line or in the recent list missing")
    COMBO(891, ("Parität", "Parity"),
          [("keine", "none"), ("ungerade", "odd"), ("gerade", "even"), ("Mark (immer 1)", "mark (always 1)"),
           ("Space (immer 0)", "space (always 0)")], note="channel dialog pari")
    COMBO(899, ("Datenbits", "Data bits"), [("5", "5"), ("6", "6"), ("7", "7"), ("8", "8")], note="channel dialog data")
    COMBO(906, ("Stoppbits", "Stop bits"), [("1", "1"), ("2", "2")], note="channel dialog stop")
    FIELD(911, ("Max. Zeilenlänge", "Max. line length"),
          ("ASCII-Modus: größte Zeilenlänge in Zeichen (1..261)", "ASCII mode: largest line length in characters (1..261)"),
          note="channel dialog tlg in ASCII mode")
    FIELD(914, ("Zeichenabstand [ms]", "Character time-out [ms]"),
          ("ASCII-Modus: eine Zeile endet nach dieser Pause in ms (1..65535)",
           "ASCII mode: a line ends after this pause in ms (1..65535)"), note="channel dialog qzt in ASCII mode")
    R(917, [" CTS=", " DSR=", " RI=", " DCD="], note="modem line event: line bits 0..3 (CTS, DSR, RI, DCD)")
    T(921, "Modemleitungen protokollieren", "Log modem lines", note="channel dialog chlbAend label")
    T(922, "DCD,DSR,CTS", note="channel dialog chlbAend entries", extra="list=3")
    FIELD(924, ("Abfragezyklus [ms]", "Poll cycle [ms]"),
          ("unsymmetrisch: Abstand der Klasse-2-Abfragen in ms (0..30000)",
           "unbalanced: interval of the class 2 polls in ms (0..30000)"), note="channel dialog zztpoll (unbalanced)")
    R(927, ["&Deutsch", "&English"], note="menu language: German, English")
    FIELD(934, ("Minute", "Minute"), ("Minute 0..59 (Minutentakt: alle n Minuten, 0 = jede Minute)",
                                      "minute 0..59 (every n minutes: 0 = every minute)"),
          note="send telegram and list: minute")
    for n, de, en, k in ((1085, "IV,NT,SB,BL", None, 1), (1086, "IV,NT,SB,BL,OV", None, 2),
                         (1087, "IV,CA,CY", None, 3), (1088, "IV,NT,SB,BL,EI", None, 4),
                         (1089, "Anwahl (S/E)", "select (S/E)", "5 and 6"), (1090, "POP,LPC", None, 8)):
        T(n, de, en, note="send editor quality check boxes of element kind %s" % k,
          extra="list=%d" % (de.count(",") + 1))
    T(1129, "CA-COL", note="object text file: keyword of the CA-column mode", same=True)
    T(1131, "zVordal_Einstellungen", note="settings file name", same=True)
    T(1132, ".cfg", note="settings file extension", same=True)
    T(1134, "Sendetelegramme oder Listen in %s wurden geändert. Vorher speichern?",
      "Send telegrams or lists in %s were changed. Save them first?", fmt="s",
      note="question Yes/No/Cancel: unsaved send data (parameter set file)")
    T(1137, "Keinem Kanal ist eine Schnittstelle zugeordnet. Wählen Sie eine unter Parameter > Kanal 1... oder Kanal 2... und gehen Sie dann wieder online.", "No channel has a port. Choose one under Parameters > Channel 1... or Channel 2..., then go online again.", note="message: no port")
    T(1138, "Kanal %d ist keine Schnittstelle zugeordnet.", "Channel %d has no port.", fmt="d",
      note="message: channel without port (channel number)")
    R(1139, ["aus", "ein"], ["off", "on"], note="status panels 2, 3: filter off, on")
    R(1142, ["Log-Anzeige", "Online-Anzeige"], ["Log display", "Online display"], note="status panel 1")
    T(1145, "Anzeigefilter ", "Display filter ", note="status panel 3")
    T(1146, "Logfilter ", "Log filter ", note="status panel 2")
    R(1148, ["Offline: klicken, um online zu gehen", "Online: klicken, um offline zu gehen"],
      ["Offline: click to go online", "Online: click to go offline"], note="hint of the online button")
    R(1154, ["Empfang Kanal 1", "Senden Kanal 1", "Empfang Kanal 2", "Senden Kanal 2"],
      ["Receive channel 1", "Transmit channel 1", "Receive channel 2", "Transmit channel 2"],
      note="hints of the lamps R1, T1, R2, T2")
    R(1159, ["Kopieren", "Ausschneiden", "Einfügen"], ["Copy", "Cut", "Paste"], note="edit menus: copy, cut, paste")
    T(1163, "guide/de/index.html", "guide/en/index.html",
      note="the user guide's start page, relative to the program directory; its other pages lie beside it")
    T(1165, "Die Änderungen verwerfen?", "Discard the changes?",
      note="question: Escape with changes; 1165 + mode: picker captions")
    R(1166, ["Typ wählen", "Ursache wählen", " Objekte", " Stationsadressen"],
      ["Choose a type", "Choose a cause", " objects", " common addresses"],
      note="picker captions modes 1..4; 1168 also after the count (modes 3, 5), 1169 after the count (mode 4)")
    T(1170, "*** Ende der Ausgabe ***", "*** end of output ***",
      note="export: last line; also the caption of picker mode 5 before its own caption is set")
    T(1171, "*** Ausgabe abgebrochen ***", "*** output cancelled ***", note="export: cancelled")
    T(1172, ";", note="list separator tz", same=True, extra="data")
    T(1173, "Nr;Obj;Kanal;Datum;Zeit;ms;ta;Status;Steuerfeld;Linkadresse;Typ;Typnr;VSQ;Ursache;Herkunft;Stationsadresse;Objektadresse;Objektname;Werte",
      "No;Obj;Channel;Date;Time;ms;ta;Status;Control;Link address;Type;Type no;VSQ;Cause;Originator;Common address;Object address;Object name;Values",
      note="export format 7: column line; the common address field holds the address and its name")
    R(1184, ["-", "auf", "ab"], ["-", "up", "down"], note="statistics: link state not used, up, down")
    T(1187, "Liste ", "List ", note="name of a new send list, followed by its number")
    T(1188, "Telegramm ", "Telegram ", note="batch log: before the telegram number")
    T(1191, "*** Ende des Logs ***", "*** end of log ***", note="log display: end of the log")
    T(1192, "Texte: ", "Texts: ", note="status panel 5: before the object text file name")
    T(1194, "Log: ", "Log: ", note="status panel 4: before the log file name")
    R(1195, ["Logdatei öffnen", "Logdatei speichern unter", "lg1", "Logdateien (*.lg1);;Alle Dateien (*)"],
      ["Open log file", "Save log file as", "lg1", "Log files (*.lg1);;All files (*)"],
      note="log file dialogs: open title, save title, default extension, filter")
    T(1199, "Vordal_Log", note="log file name", same=True)
    T(1200, ".lg1", note="log file extension", same=True)
    T(1202, "Fehler beim Schreiben der Logdatei: ", "Error writing the log file: ",
      note="message: log write error, followed by the file name")
    T(1203, "Fehler beim Lesen der Logdatei: ", "Error reading the log file: ",
      note="message: log read error, followed by the file name; 1203 + type names the pseudo types")
    T(1204, "Das Programm ist online. Offline gehen?", "The program is online. Go offline?", note="question Yes/No")
    T(1205, "Alle Telegramme der Logdatei %s löschen?", "Delete all telegrams of the log file %s?", fmt="s",
      note="question: delete the log")
    T(1206, "keine", "none", note="port list: no port")
    T(1207, "", note="port list: prefix of the port number; empty, so that the entry reads back as a number", req=False, same=True)
    T(1208, "Die Schnittstelle %s kann nicht geöffnet werden: %s", "%s cannot be opened: %s", fmt="s,s",
      note="message: port cannot be opened (device, reason)")
    T(2180, "Leitung an %s verloren: %s. Sie wird alle 2 s wieder geöffnet.",
      "Line lost on %s: %s. Trying to reopen it every 2 s.", fmt="s,s",
      note="message record and monitor message: a channel's line was lost (device, reason)")
    T(2181, "Leitung an %s wieder offen.", "Line on %s open again.", fmt="s",
      note="monitor message: a lost line is open again (device)")
    T(2182, "%s verloren", "%s lost", fmt="s", note="statistics grid and status bar: a port whose line is lost (device)")
    R(2183, ["Datei oder Gerät nicht vorhanden", "Dieser Nummer ist kein Gerät zugeordnet", "Zugriff verweigert",
             "Gerät belegt", "Keine serielle Schnittstelle", "Ein-/Ausgabefehler", "Die Gegenstelle hat aufgelegt"],
      ["No such file or directory", "No device is bound to this number", "Permission denied",
       "Device or resource busy", "Not a serial port", "Input/output error", "The other side hung up"],
      note="why a port failed: no device, number without device, no access, busy, no serial port, "
           "input/output error, hang-up")
    R(1212, ["ungefiltert  ", "gefiltert  "], ["unfiltered  ", "filtered  "], note="view header: filter inactive, active")
    T(1215, "Es ist kein Anzeigefilter festgelegt.", "No display filter is defined.", note="message: aAFiltAE without filter")
    T(1216, "Die Parameterdatei kann nicht gelesen werden oder ist ungültig:",
      "The parameter set file cannot be read or is not valid:", note="message, followed by a line break and the name")
    T(1217, "Die Parameterdatei wurde nicht vollständig geschrieben:",
      "The parameter set file was not written completely:", note="message, followed by a line break and the name")
    R(1218, ["Parameterdatei laden", "Parameterdatei speichern", "vpr", "Parameterdateien (*.vpr);;Alle Dateien (*)"],
      ["Load parameter set file", "Save parameter set file", "vpr", "Parameter set files (*.vpr);;All files (*)"],
      note="parameter set file dialogs: load title, save title, default extension, filter")
    T(1222, "Vordal_Parameter", note="parameter set file name", same=True)
    T(1223, ".vpr", note="parameter set file extension", same=True)
    R(1224, ["Typkennung (F12 oder Klick: Auswahl)", "Übertragungsursache (F12 oder Klick: Auswahl)",
             "Herkunftsadresse 0..255"],
      ["type identification (F12 or click: list)", "cause of transmission (F12 or click: list)",
       "originator address 0..255"], note="send list: hints of the type, cause and originator columns")
    T(1231, "Optionen", "Options", note="options dialog caption")
    T(1232, "14", note="options dialog: number of entries", same=True, extra="count=14")
    R(1233, ["F8 schaltet online/offline", "F9, Pfeiltasten und Esc schalten die Anzeige um",
             "F11 schaltet den Anzeigefilter ein/aus", "F12 öffnet den Anzeigefilter",
             "Umschalt+F1..F12 bearbeiten Telegramme", "Alt+F1..F12 senden Telegramme",
             "Umschalt+Strg+F1..F12 bearbeiten Sendelisten", "Strg+F1..F12 starten Sendelisten",
             "Sendelisten mit Stationsadresse je Objekt", "Zeichenformat frei wählbar",
             "(reserviert)", "Zählerstände beim Senden weiterzählen",
             "Befehlsdateien im Datenverzeichnis ausführen", "täglich neue Logdatei"],
      ["F8 switches online/offline", "F9, arrow keys and Esc switch the display",
       "F11 switches the display filter on/off", "F12 opens the display filter",
       "Shift+F1..F12 edit send telegrams", "Alt+F1..F12 send telegrams",
       "Shift+Ctrl+F1..F12 edit send lists", "Ctrl+F1..F12 start send lists",
       "send lists with a common address per object", "free character format",
       "(reserved)", "advance counter readings on every sending",
       "run command files in the data directory", "new log file every day"],
      note="options 0..13")
    T(1250, "Befehlsrückmeldung", "Command feedback", note="feedback dialog caption")
    COMBO(1251, ("Automatische Rückmeldung", "Automatic feedback"), [("aus", "off"), ("ein", "on")],
          note="feedback dialog ein")
    R(1260, ["Zeile", "Stationsadr.", "Befehlsobjekt", "Kennung", "Bestät.", "Rückmeld.", "Beend.",
             "Rückm.-Objekt", "Rückm.-Typ"],
      ["Row", "Common addr.", "Command object", "Qualifier", "Confirm", "Return", "Term.",
       "Return object", "Return type"], note="feedback table column headings 0..8")
    T(1269, "Typ der Rückmeldung: 1..14, 20, 30..36", "type of the return information: 1..14, 20, 30..36",
      note="feedback table: hint of the type column")
    T(1270, "Kennung QU oder QL des Befehls, -1 = jede", "qualifier QU or QL of the command, -1 = any",
      note="feedback table: hint of the qualifier column")
    R(1271, ["Zeile", "Aktiv", "Stationsadr.", "Objektadr.", "Typ", "Ursache", "HK", "Wert", "Qualifier"],
      ["Row", "Active", "Common addr.", "Object addr.", "Type", "Cause", "Orig.", "Value", "Qualifier"],
      note="send list column headings 0..8")
    R(1280, ["Kanal 1", "Kanal 2"], ["Channel 1", "Channel 2"], note="statistics rows")
    R(1282, ["70,", "90,Empfangen", "70,Fehler", "90,Gesendet", "70,Fehler", "80,Link Empf.", "80,Link Send.",
             "50,Port", "60,Baud", "170,Funktion", "110,Verfahren"],
      ["70,", "90,Received", "70,Errors", "90,Sent", "70,Errors", "80,Link rec.", "80,Link sent",
       "50,Port", "60,Baud", "170,Function", "110,Procedure"],
      note="statistics column widths and titles 0..10", extra="widthtitle")
    T(1294, "Die Schalter wirken sofort. Beim Schließen des Fensters werden alle ausgeschaltet.",
      "The switches take effect at once. Closing the window switches all of them off.", note="link test note")
    T(1295, "Linktest Kanal ", "Link test channel ", note="link test caption, followed by the channel number")
    T(1296, "13", note="link test: number of switches", same=True, extra="count=13")
    R(1297, ["negative statt positiver Quittung", "keine Sekundärtelegramme senden", "Bit 7 invertieren (DIR/RES)",
             "PRM-Bit invertieren", "FCB nicht wechseln", "FCV invertieren", "ACD in Antworten setzen",
             "DFC in Antworten setzen", "symmetrisch: Daten trotz Linkausfall senden", "keine Nutzdaten senden",
             "Datei-Prüfsumme verfälschen", "alle Abschnitte ablehnen", "(ohne Wirkung)"],
      ["negative instead of positive acknowledgement", "send no secondary frames", "invert bit 7 (DIR/RES)",
       "invert the PRM bit", "do not toggle FCB", "invert FCV", "set ACD in responses",
       "set DFC in responses", "balanced: send data while the link is down", "send no user data",
       "falsify the file checksum", "refuse every section", "(no effect)"],
      note="link test switches 0..12")
    T(1310, "Schließen", "Close", note="link test: close button")
    R(1312, ["Log ausgeben", "Ausgabe"], ["Log output", "Output"], note="export dialog: caption, output label")
    T(1314, "Textdatei,Drucker,Logdatei", "Text file,Printer,Log file", note="export dialog: output kinds",
      extra="list=3")
    R(1315, ["Die Ausgabedatei darf nicht die aktuelle Logdatei sein.", "Drucker", "Datei"],
      ["The output file must not be the current log file.", "Printer", "File"],
      note="export dialog: error, printer label, file label")
    R(1319, ["Ausgegeben werden alle Telegramme, die der Anzeigefilter durchlässt,",
             "im aktuellen Anzeigeformat; das Format Export ergibt eine CSV-Datei.",
             "Eine Ausgabe als Logdatei nummeriert die Telegramme neu ab 1."],
      ["All telegrams that pass the display filter are written,",
       "in the current view format; the export format gives a CSV file.",
       "Output as a log file numbers the telegrams again from 1."], note="export dialog: note lines")
    R(1323, ["Info", "Vordal: Test- und Überwachungsprogramm für IEC 60870-5-101", "Version ",
             "Tasten F1 Hilfe, F8 online/offline, F9 Anzeige, F12 Anzeigefilter"],
      ["About", "Vordal: test and monitoring tool for IEC 60870-5-101", "Version ",
       "Keys F1 help, F8 online/offline, F9 display, F12 display filter"],
      note="info dialog: caption, title line, word before the version, last line")
    T(1328, "Die Loggröße wurde geändert. Eine neue, leere Logdatei mit der neuen Größe anlegen?",
      "The log size was changed. Create a new, empty log file of the new size?", note="question Yes/No")
    T(1330, "(nur im Dateitransfer)", "(within a file transfer only)",
      note="send editor type list: name of types 121 and 123..125")
    R(1331, ["ASDU als Bytes", "Festes Telegramm als Bytes", "Variables Telegramm als Bytes",
             "Bytefolge hexadezimal", "Bytefolge als Text", "Telegramme aus Datei"],
      ["ASDU as bytes", "Fixed frame as bytes", "Variable frame as bytes",
       "Byte sequence in hexadecimal", "Byte sequence as text", "Telegrams from a file"],
      note="pseudo types 128..133 (1203 + type)")
    COMBO(1337, ("RTS/DTR", "RTS/DTR"),
          [("RTS ein, DTR ein", "RTS on, DTR on"), ("RTS aus, DTR ein", "RTS off, DTR on"),
           ("RTS beim Senden ein, DTR ein", "RTS on while sending, DTR on"),
           ("RTS beim Senden aus, DTR ein", "RTS off while sending, DTR on"),
           ("RTS ein, DTR aus", "RTS on, DTR off"), ("RTS aus, DTR aus", "RTS off, DTR off"),
           ("RTS beim Senden ein, DTR aus", "RTS on while sending, DTR off"),
           ("RTS beim Senden aus, DTR aus", "RTS off while sending, DTR off")], note="channel dialog rts")
    FIELD(1347, ("Verzögerung der Rückmeldung [ms]", "Feedback delay [ms]"),
          ("Zeit zwischen Bestätigung und Rückmeldung in ms (0..65535)",
           "time between confirmation and return information in ms (0..65535)"), note="feedback dialog wzeit")
    R(1350, ["Log &öffnen...", "Log speichern &unter...", "Log &löschen", "Log &drucken/exportieren...",
             "&Parameterdatei laden...", "Parameterdatei &speichern...", "Objekttexte l&aden...",
             "Objekttexte &entfernen", "Objekttexte an&zeigen", "&Beenden"],
      ["&Open log...", "Save log &as...", "&Delete log", "&Print/export log...",
       "&Load parameter set...", "&Save parameter set...", "Load object &texts...",
       "&Remove object texts", "&Show object texts", "E&xit"],
      note="menu file: miLogOp, miLogSav, aLogDel, miLogDrucken, miSeTeLoad, miSeTeSav, aTextLoad, aTextClear, miTextZeig, miExit")
    T(1365, "Objekttexte laden", "Load object texts", note="object text dialog title")
    T(1367, "txt", note="default extension of the text files (object texts, telegrams, lists)", same=True)
    T(1368, "Objekttexte (*.txt);;Alle Dateien (*)", "Object texts (*.txt);;All files (*)",
      note="object text dialog filter")
    T(1369, "Zeile ", "line ", note="before line numbers (faulty object text lines, unusable batch lines)")
    T(1370, ".txt", note="object text file extension", same=True)
    T(1371, "Vordal_Objekttexte.txt", note="sample object text file in the program directory", same=True)
    T(1372, "Objekttexte %s: %d Zeilen, davon %d fehlerhaft:%s",
      "Object texts %s: %d lines, %d of them faulty:%s", fmt="s,d,d,s",
      note="message: faulty object text lines (file, lines, faulty lines, list)")
    R(1377, ["Sendeliste laden", "Sendeliste speichern", "Telegramme und Listen (*.txt);;Alle Dateien (*)",
             "Telegramm laden", "Telegramm speichern", "Rückmeldetabelle laden", "Rückmeldetabelle speichern",
             "Rückmeldetabelle", "Liste", "Telegramm"],
      ["Load send list", "Save send list", "Telegrams and lists (*.txt);;All files (*)",
       "Load telegram", "Save telegram", "Load feedback table", "Save feedback table",
       "Feedback table", "List", "Telegram"],
      note="text file dialogs: list load/save, filter, telegram load/save, feedback load/save, feedback name (also batch log word), list name, telegram name")
    T(1402, "8    ,9    ,10   ,11   ,12   ,13   ,14   ,15   ,16", note="display dialog: font sizes, one per 6 characters",
      same=True, extra="sizes")
    T(1400, "Darstellung", "Display", note="display dialog caption")
    T(1401, "Schriftgröße", "Font size", note="display dialog: font size label (number proposed, not named)")
    R(1403, ["Muster", "Vordergrund", "Hintergrund", "Abstand zwischen Telegrammen [%]"],
      ["Sample", "Foreground", "Background", "Gap between telegrams [%]"],
      note="display dialog: sample, foreground, background labels, gap label (sfLeerZl)")
    R(1407, ["Empfangen K1", "Gesendet K1", "Empfangen K2", "Gesendet K2",
             "Überschrift", "Fehler", "Programmmeldung", "Qualität hervorgehoben"],
      ["Received ch1", "Sent ch1", "Received ch2", "Sent ch2",
       "Heading", "Error", "Program message", "Quality highlight"],
      note="display dialog: sample rows 0..7 (the gap field has its own hint)")
    T(1415, "IV,NT,SB,BL,EI,OV,Zeit IV,Zeit SB", "IV,NT,SB,BL,EI,OV,time IV,time SB",
      note="display dialog: quality highlight mask entries, bit 7 first (number proposed, not named)", extra="list=8")
    R(1417, ["Fenster", "Schwarz", "Blau", "Rot", "Grün", "Gelb", "Türkis", "Violett", "Weiß", "Grau",
             "Hellgrau", "Hellblau", "Rosa", "Hellgrün", "Hellgelb", "Fenster", "Fenstertext", "Menü",
             "aktive Titelleiste", "inaktive Titelleiste"],
      ["window", "black", "blue", "red", "green", "yellow", "aqua", "violet", "white", "grey",
       "light grey", "light blue", "pink", "light green", "light yellow", "window", "window text", "menu",
       "active caption", "inactive caption"], note="palette colours 0..19")
    R(1440, ["Kanal &1...", "Kanal &2...", "&Allgemein...", "&Optionen...", "&Darstellung...",
             "Farben nach &Typ...", "Farben nach &Ursache...", "Telegramm &bearbeiten", "&Liste bearbeiten",
             "Befehls&rückmeldung...", "&Modem...", "Linktest Kanal 1...", "Linktest Kanal 2..."],
      ["Channel &1...", "Channel &2...", "&General...", "&Options...", "&Display...",
       "Colours by &type...", "Colours by &cause...", "&Edit telegram", "Edit &list",
       "Command &feedback...", "&Modem...", "Link test channel 1...", "Link test channel 2..."],
      note="menu parameters: miEmSe1, miEmSe2, miAllg, miOpt, miTelSize, miFrbTyp, miFrbUrs, miParTel, miParList, miBRm, WaehlModem, miLinkT1, miLinkT2")
    R(1457, ["Farben nach Ursache", "Farben nach Typ", "Ursache", "Typkennung", "Vordergrund", "Hintergrund"],
      ["Colours by cause", "Colours by type", "Cause", "Type identification", "Foreground", "Background"],
      note="colour table dialog: caption by kind 0 (causes), 1 (types), list label by kind, colour labels")
    COMBO(1470, ("Funktion", "Function"),
          [("nur mithören", "monitor only"), ("Leitstation emulieren", "emulate controlling station"),
           ("Unterstation emulieren", "emulate controlled station"), ("FT 1.2 ohne Linkprüfung", "FT 1.2 without link checks"),
           ("ASCII-Modus", "ASCII mode"), ("rp57x Funktion 5", "rp57x function 5"), ("rp57x Funktion 6", "rp57x function 6")],
          note="channel dialog fkt; 1472 + function also in statistics and events 48, 49")
    T(1914, "Die Objekttextdatei %s kann nicht gelesen werden.", "The object text file %s cannot be read.",
      fmt="s", note="message: object text file unreadable")

    # Modem dialling window.
    R(1975, ["Modem wählen", "Modem verwenden", "Befehle", "Senden", "Auflegebefehl", "DTR"],
      ["Modem dialling", "Use a modem", "Commands", "Send", "Hang-up string", "DTR"],
      note="dialling window: caption, modem check box, command label, send button, hang-up label, DTR button")
    FIELD(1981, ("Max. Verbindungsdauer [s]", "Max. connection time [s]"),
          ("längste Dauer einer Verbindung in s (10..1000000)", "longest connection time in s (10..1000000)"),
          note="dialling window: dauer")
    FIELD(1983, ("Leerlaufzeit [s]", "Idle time-out [s]"),
          ("Verbindung trennen nach so vielen Sekunden ohne korrektes Telegramm (2..600)",
           "hang up after this many seconds without a correct frame (2..600)"), note="dialling window: link")
    R(1985, ["Verbindungsmeldung", "Programmstatus", "Offline", "Modemdialog", "verbunden"],
      ["Connect message", "Program status", "Offline", "Modem dialogue", "Connected"],
      note="dialling window: connect label, status label, status offline, dialogue, connected")
    R(1992, ["Modemeinstellungen laden", "Modemeinstellungen speichern", "Modemdateien (*.mdm);;Alle Dateien (*)", "mdm"],
      ["Load modem settings", "Save modem settings", "Modem files (*.mdm);;All files (*)", "mdm"],
      note="dialling window: load and save menu entries and titles, filter, default extension")
    T(1997, "DCD", note="dialling window: DCD label")
    R(1998, ["aus", "ein"], ["off", "on"], note="dialling window: DCD state 0, 1")
    R(2002, ["Modem: warte auf Verbindung", "Modem: verbunden", "Modem: DTR-Impuls beendet",
             "Modem: Auflegen angefordert", "Modem: maximale Verbindungsdauer erreicht",
             "Modem: Leerlaufzeit abgelaufen"],
      ["modem: waiting for a connection", "modem: connected", "modem: DTR pulse done",
       "modem: hang-up requested", "modem: maximum connection time reached", "modem: idle time-out"],
      note="modem messages 2002..2007")
    T(2010, "Anruf automatisch annehmen", "Answer calls automatically", note="dialling window: ata check box")
    T(2011, "RING", note="modem text of an incoming call", same=True)
    T(2012, "ATA", note="modem command that answers a call", same=True)
    T(2361, "Die Modemeinstellungen wurden geändert. Speichern?",
      "The modem settings were changed. Save them?", note="question Yes/No: dialling window closed with changes")
    R(2362, ["Befehl an das Modem; Eingabetaste oder die Schaltfläche daneben sendet ihn",
             "Text, mit dem das Modem auflegt; ein +++ am Anfang geht allein und ohne Zeilenende hinaus",
             "Text der Verbindungsmeldung des Modems, z. B. CONNECT"],
      ["command to the modem; Enter or the button beside it sends it",
       "text that makes the modem hang up; a +++ at its start goes out alone, without a line end",
       "text of the modem's connect message, e.g. CONNECT"],
      note="dialling window hints: command fields, hang-up string, connect message")

    # Filter dialog, station image, list messages.
    R(2015, ["Filter laden", "Filter speichern", "Filterdateien (*.flt);;Alle Dateien (*)"],
      ["Load filter", "Save filter", "Filter files (*.flt);;All files (*)"],
      note="filter dialog: load and save menu entries and titles, file dialog filter")
    T(2018, "flt", note="extension of filter files (without dot)", same=True)
    T(2019, "Den Filter %s löschen?", "Delete the filter %s?", fmt="s", note="question: delete a named filter")
    R(2020, ["gespeicherten Filter wählen oder neuen Namen eingeben",
             "gewählten Filter aus der Liste und als Datei löschen",
             "Filter übernehmen (mit Namen: auch speichern)", "alle Bedingungen löschen",
             "Bits, von denen mindestens eines gesetzt oder alle gelöscht sein müssen"],
      ["choose a saved filter or enter a new name", "delete the chosen filter from the list and its file",
       "take the filter (with a name: save it too)", "clear all conditions",
       "bits of which one must be set, or all must be clear"],
      note="filter dialog hints: named filter, delete, OK, reset, quality masks")
    T(2030, "Spalten automatisch", "Automatic columns", note="station image: chkAuto caption")
    T(2031, "Stationsabbild: %d Objekte von %s bis %s (%s)", "Station image: %d objects from %s to %s (%s)",
      fmt="d,s,s,s", note="station image caption: objects, start, end (date and time), span")
    R(2032, ["Kopieren", "alle Zeilen in die Zwischenablage kopieren", "Leeren", "alle Objekte entfernen",
             "Schließen", "Fenster schließen", "Hilfe", "Hilfe zum Stationsabbild",
             "Spaltenbreiten an den Inhalt anpassen", "Klick auf den Zeilenkopf filtert die Anzeige auf dieses Objekt"],
      ["Copy", "copy all rows to the clipboard", "Clear", "remove all objects",
       "Close", "close the window", "Help", "help on the station image",
       "fit the column widths to the contents", "a click on a row header filters the display to that object"],
      note="station image: buttons Copy, Clear, Exit, Help with their hints, hint of chkAuto, hint of the grid")
    T(2048, "16", note="station image: number of columns", same=True)
    R(2049, ["Nr", "Zeit", "Stationsadr.", "Objektadr.", "Typ", "Wert", "Ursache", "zykl", "Hint", "spont",
             "Abfr", "GA", "Bef", "Best/Rm", "Ende", "sonst"],
      ["No", "Time", "Common addr.", "Object addr.", "Type", "Value", "Cause", "cyc", "back", "spont",
       "req", "inro", "cmd", "con/ret", "term", "other"],
      note="station image column headings 0..15")
    R(2067, ["Die Datei hat mehr Zeilen, als Liste %d fasst. In Liste %d weiterlesen?",
             "Liste %d ist voll. Die Objekte von Liste %d anhängen?"],
      ["The file has more lines than list %d holds. Continue into list %d?",
       "List %d is full. Append the objects of list %d?"], fmt="d,d",
      note="questions: list load goes on into the next list, list save appends the next list (this, next list)")
    T(2069, "Sendeliste(n) %s geladen: %d aktive Objekte", "Send list(s) %s loaded: %d active objects",
      fmt="s,d", note="message: lists loaded (list number or first-last as text, active objects)")
    R(2070, ["Ausgabedatei", "Textdateien (*.txt);;CSV-Dateien (*.csv);;Logdateien (*.lg1);;Alle Dateien (*)",
             "Verzeichnis: "],
      ["Output file", "Text files (*.txt);;CSV files (*.csv);;Log files (*.lg1);;All files (*)",
       "Folder: "], note="export dialog: save dialog title, filter, directory label")
    T(2074, "Stationsabbild voll: höchstens %d Objekte", "Station image full: at most %d objects", fmt="d",
      note="message: station image full (AbbMax)")
    T(2076, "&Ja       &Nein     Abbrechen &Abbrechen", "&Yes      &No       Cancel    &Cancel   ",
      note="message box button captions, 10 characters each, at the positions of text 2077", extra="slots=2077")
    T(2077, "&Yes      &No       Cancel    &Cancel   ", note="standard button captions, 10 characters each", same=True)
    R(2079, ["Lesefehler Datei %s, Code %d", "Schreibfehler Datei %s, Code %d"],
      ["read error file %s, code %d", "write error file %s, code %d"], fmt="s,d",
      note="file transfer: file read and write errors (file, error code)")
    T(2160, "Die Logdatei %s ist beschädigt; %d Telegramme wurden wiederhergestellt.",
      "The log file %s is damaged; %d records were recovered.", fmt="s,d",
      note="message: a damaged log was opened (file, records recovered)")
    T(2161, "Bevor in sie geschrieben wird, wird die Datei unverändert als %s aufbewahrt.",
      "Before anything is written to it, the file is kept as it is now as %s.", fmt="s",
      note="message: after 2160 when the log is opened for writing (name of the copy)")
    T(2162, "Die beschädigte Logdatei wurde unverändert als %s aufbewahrt.",
      "The damaged log file was kept unchanged as %s.", fmt="s",
      note="message: the copy of a damaged log was made before writing to it (name of the copy)")
    T(2163, "Der Kopf der Logdatei %s ist nicht lesbar (keine Logdatei oder beschädigt); die Datei bleibt unverändert.",
      "The head of the log file %s cannot be read (not a log file, or damaged); the file is left as it is.",
      fmt="s", note="message: a log whose head cannot be read is refused (file)")
    T(2164, "%s ist dieselbe Datei wie die Logdatei %s.", "%s is the same file as the log file %s.",
      fmt="s,s", note="message after 1315: an output into the log file itself (target, log file)")
    T(2165, "Die beschädigte Logdatei %s kann nicht als %s aufbewahrt werden (%s); es wird nichts in sie geschrieben.",
      "The damaged log file %s cannot be kept as %s (%s); nothing is written to it.", fmt="s,s,s",
      note="message: the copy of a damaged log failed (file, name of the copy, system reason)")
    T(2166, "Die Logdatei %s kann nicht angelegt werden: %s", "The log file %s cannot be created: %s",
      fmt="s,s", note="message: a log file cannot be created (file, system reason)")
    T(2167, "Der Logfilter hat %d Telegramme verworfen.", "The log filter dropped %d records.", fmt="d",
      note="message: records refused by the log filter while writing a log (count)")
    T(2168, "%s: die Logdatei wurde mit %s %s aufgezeichnet; %s widerspricht dem (eine Logdatei behält ihre Einstellungen).",
      "%s: the log was recorded with %s %s; %s contradicts it (a log keeps its own settings).", fmt="s,s,s,s",
      note="message: an option of log write that contradicts the log's settings (file, option, the log's value, option given)")
    T(2104, "Datenverzeichnis wählen", "Choose the data directory", note="general settings: folder dialog title")
    T(2105, "Name der Ausgabedatei (Klick oder Eingabetaste: Dateiauswahl)",
      "name of the output file (click or Enter: file dialog)", note="export dialog: hint of the file field")
    T(2106, "Das Verzeichnis existiert nicht. Soll es angelegt werden?",
      "The directory does not exist. Create it?", note="question: create the data directory")
    FIELD(2107, ("Datenverzeichnis", "Data directory"),
          ("Verzeichnis für Log, Parameter und Befehlsdateien (... oder Eingabetaste: Auswahl)",
           "folder of the log, parameters and command files (... or Enter: choose)"),
          note="general settings: data directory")
    T(2290, "PDF-Datei", "PDF file", note="export dialog: the printer entry that prints into a PDF file")
    T(2291, "Der Drucker kann nicht verwendet werden: %s", "The printer cannot be used: %s", fmt="s",
      note="export dialog: the printer or PDF file could not be started (printer or file name)")
    R(2109, ["Das Datenverzeichnis existiert nicht:", "Das Datenverzeichnis muss das erste Argument und ein absoluter Pfad sein:",
             "Im Datenverzeichnis", "kann nicht geschrieben werden.", "Es bleibt beim bisherigen Verzeichnis."],
      ["The data directory does not exist:", "The data directory must be the first argument and an absolute path:",
       "The data directory", "cannot be written.", "The previous directory stays in use."],
      note="data directory messages: missing, not absolute or not first, not writable (2111, name, 2112, 2113)")

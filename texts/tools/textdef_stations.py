# Texts of the emulated stations: the demonstration line of the desktop and the command line.


def define_stations(T, R, COMBO, FIELD):
    T(2260, "Demoleitung: Kanal 1 fragt Kanal 2 ab", "Demonstration line: channel 1 polls channel 2",
      note="channel log text of the demonstration line (at most 83 characters)")
    T(2261, "Die Demoleitung kann nicht eingerichtet werden: %s",
      "The demonstration line cannot be made: %s", fmt="s",
      note="message: the pseudo-terminals of the demonstration line could not be made (reason)")
    T(2262, "Demoleitung starten", "Start demonstration line",
      note="main window: button next to the first-start hint")
    T(2263, "Kanal 1 als Zentrale und Kanal 2 als Unterstation auf einer virtuellen Leitung des "
            "Programms: Telegramme ohne Hardware sehen",
      "Channel 1 as controlling station and channel 2 as controlled station on a virtual line of "
      "the program's own: see telegrams without hardware",
      note="main window: hint of the demonstration line button")

# Texts of the command-line program: its refusals and messages, in both languages. The option
# names, value notations and usage lines stay as the command line has them.


def define_cli(T, R, COMBO, FIELD):
    T(2200, "unbekannter Befehl '%s' (vordal-cli --help nennt die Befehle)",
      "unknown command '%s' (vordal-cli --help lists the commands)", fmt="s",
      note="command line: unknown command (its name)")
    T(2201, "unbekannte Option %s", "unknown option %s", fmt="s", note="command line: unknown option")
    T(2202, "die Option %s braucht einen Wert", "option %s needs a value", fmt="s",
      note="command line: option without its value")
    T(2203, "%s: '%s' ist kein zulässiger Wert; zulässig: %s", "%s: '%s' is not a valid value; valid: %s",
      fmt="s,s,s", note="command line: refused value (option, value, what is valid)")
    T(2204, "unbekannter Unterbefehl '%s'; möglich: %s", "unknown sub-command '%s'; possible: %s",
      fmt="s,s", note="command line: unknown sub-command (its name, the possible ones)")
    T(2205, "unerwartetes Argument '%s'", "unexpected argument '%s'", fmt="s",
      note="command line: an argument too many")
    T(2206, "es fehlt: %s", "missing: %s", fmt="s", note="command line: a required argument or option is missing")
    T(2207, "%s und %s schließen einander aus", "%s and %s exclude each other", fmt="s,s",
      note="command line: two options that exclude each other")
    T(2208, "%s braucht %s", "%s needs %s", fmt="s,s", note="command line: an option that needs another")
    T(2209, "%s kann nicht geöffnet werden: die Datei gibt es nicht", "cannot open %s: no such file", fmt="s",
      note="command line: input file missing")
    T(2210, "%s kann nicht geöffnet werden: ein Verzeichnis, keine Datei",
      "cannot open %s: a directory, not a file", fmt="s", note="command line: input path is a directory")
    T(2211, "%s kann nicht gelesen werden", "cannot read %s", fmt="s",
      note="command line: input file that cannot be read")
    T(2212, "%s ist keine Logdatei", "%s is not a log file", fmt="s",
      note="command line: input file that is not a log file")
    T(2213, "%s ist keine Filterdatei", "%s is not a filter file", fmt="s", note="command line: bad filter file")
    T(2214, "die Objekttextdatei %s kann nicht gelesen werden", "cannot read the object text file %s", fmt="s",
      note="command line: bad object text file")
    T(2215, "Zeile %d: '%s' ist keine Folge hexadezimaler Bytepaare",
      "line %d: '%s' is not a sequence of hexadecimal byte pairs", fmt="d,s",
      note="decode input: bad byte token (line number, token)")
    T(2216, "Zeile %d: ein Kanal ohne Bytes", "line %d: a channel without bytes", fmt="d",
      note="decode input: channel name without bytes (line number)")
    T(2217, "Zeile %d: '%s' ist keine Zeit (@SEKUNDEN oder @HH:MM:SS.mmm)",
      "line %d: '%s' is not a time (@SECONDS or @HH:MM:SS.mmm)", fmt="d,s",
      note="decode input: bad receive time (line number, token)")
    T(2218, "Export: %d %%", "export: %d %%", fmt="d", note="command line: progress of an export in percent")
    T(2219, "zwei Instanzen des Programms laufen bereits", "two instances of the program run already",
      note="command line: no free instance slot")
    T(2220, "das Log %s kann nicht benutzt werden", "the log %s cannot be used", fmt="s",
      note="command line: the log of monitor cannot be opened")
    T(2221, "das Log %s wurde mit %s %s aufgezeichnet, dieser Lauf verwendet %s; es wird als %s aufbewahrt und ein neues Log begonnen",
      "the log %s was recorded with %s %s, this run uses %s; it is kept as %s and a new log is begun",
      fmt="s,s,s,s,s",
      note="command line: the automatic log of monitor or emulate holds other settings and is set aside (log, option, its value, the run's option and value, name of the copy)")
    T(2222, "das Log %s kann nicht als %s aufbewahrt werden: %s", "the log %s cannot be kept as %s: %s",
      fmt="s,s,s", note="command line: the automatic log cannot be renamed (log, name of the copy, system reason)")
    T(2223, "%s: das Log wurde mit %s %s aufgezeichnet, dieser Lauf verwendet %s (ein Log behält seine Einstellungen; mit --log ein anderes Log wählen)",
      "%s: the log was recorded with %s %s, this run uses %s (a log keeps its own settings; name another log with --log)",
      fmt="s,s,s,s",
      note="command line: the log named with --log holds other settings than the run (log, option, its value, the run's option and value)")
    T(2224, "--port1 %s und --port2 %s sind dasselbe Gerät; jeder Kanal braucht ein eigenes",
      "--port1 %s and --port2 %s are the same device; each channel needs one of its own", fmt="s,s",
      note="command line: both channels given the same serial device (the two names as given)")
    T(2225, "das Datenverzeichnis %s kann nicht angelegt werden: %s", "the data directory %s cannot be made: %s",
      fmt="s,s", note="command line: a missing data directory cannot be made (directory, system reason)")
    T(2226, "die anzubietende Datei %s gibt es nicht", "the file to offer, %s, does not exist", fmt="s",
      note="command line: --offer names a file that is not in the data directory (path)")
    T(2360, "%s ist keine Modemdatei (192 Bytes, das erste Feld 192)",
      "%s is not a modem file (192 bytes, the first field 192)", fmt="s",
      note="command line: a file given as modem file that is none")

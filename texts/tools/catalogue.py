# Protocol data that several texts are made from: the pick list of types, the names of the
# types and causes of transmission, and the causes the standard permits per type.

PICK = (list(range(1, 22)) + list(range(30, 41)) + list(range(45, 52)) + [70]
        + list(range(100, 107)) + list(range(110, 114)) + list(range(120, 127))
        + list(range(128, 134)))
assert len(PICK) == 64

# type: (mnemonic, German long name, English long name)
TYPES = {
    1: ("M_SP_NA_1", "Einzelmeldung", "Single-point information"),
    2: ("M_SP_TA_1", "Einzelmeldung mit Zeitmarke", "Single-point information with time tag"),
    3: ("M_DP_NA_1", "Doppelmeldung", "Double-point information"),
    4: ("M_DP_TA_1", "Doppelmeldung mit Zeitmarke", "Double-point information with time tag"),
    5: ("M_ST_NA_1", "Stufenstellung", "Step position information"),
    6: ("M_ST_TA_1", "Stufenstellung mit Zeitmarke", "Step position information with time tag"),
    7: ("M_BO_NA_1", "Bitmuster 32 Bit", "Bitstring of 32 bit"),
    8: ("M_BO_TA_1", "Bitmuster 32 Bit mit Zeitmarke", "Bitstring of 32 bit with time tag"),
    9: ("M_ME_NA_1", "Messwert, normiert", "Measured value, normalized value"),
    10: ("M_ME_TA_1", "Messwert, normiert, mit Zeitmarke",
         "Measured value, normalized value with time tag"),
    11: ("M_ME_NB_1", "Messwert, skaliert", "Measured value, scaled value"),
    12: ("M_ME_TB_1", "Messwert, skaliert, mit Zeitmarke",
         "Measured value, scaled value with time tag"),
    13: ("M_ME_NC_1", "Messwert, Gleitkomma", "Measured value, short floating point number"),
    14: ("M_ME_TC_1", "Messwert, Gleitkomma, mit Zeitmarke",
         "Measured value, short floating point number with time tag"),
    15: ("M_IT_NA_1", "Zählwert", "Integrated totals"),
    16: ("M_IT_TA_1", "Zählwert mit Zeitmarke", "Integrated totals with time tag"),
    17: ("M_EP_TA_1", "Schutzereignis mit Zeitmarke",
         "Event of protection equipment with time tag"),
    18: ("M_EP_TB_1", "Schutz-Anregungen gepackt, mit Zeitmarke",
         "Packed start events of protection equipment with time tag"),
    19: ("M_EP_TC_1", "Schutz-Auslösungen gepackt, mit Zeitmarke",
         "Packed output circuit information of protection equipment with time tag"),
    20: ("M_PS_NA_1", "Einzelmeldungen gepackt mit Änderungsbits",
         "Packed single-point information with status change detection"),
    21: ("M_ME_ND_1", "Messwert, normiert, ohne Qualität",
         "Measured value, normalized value without quality descriptor"),
    30: ("M_SP_TB_1", "Einzelmeldung mit Zeitmarke CP56Time2a",
         "Single-point information with time tag CP56Time2a"),
    31: ("M_DP_TB_1", "Doppelmeldung mit Zeitmarke CP56Time2a",
         "Double-point information with time tag CP56Time2a"),
    32: ("M_ST_TB_1", "Stufenstellung mit Zeitmarke CP56Time2a",
         "Step position information with time tag CP56Time2a"),
    33: ("M_BO_TB_1", "Bitmuster 32 Bit mit Zeitmarke CP56Time2a",
         "Bitstring of 32 bit with time tag CP56Time2a"),
    34: ("M_ME_TD_1", "Messwert, normiert, mit Zeitmarke CP56Time2a",
         "Measured value, normalized value with time tag CP56Time2a"),
    35: ("M_ME_TE_1", "Messwert, skaliert, mit Zeitmarke CP56Time2a",
         "Measured value, scaled value with time tag CP56Time2a"),
    36: ("M_ME_TF_1", "Messwert, Gleitkomma, mit Zeitmarke CP56Time2a",
         "Measured value, short floating point number with time tag CP56Time2a"),
    37: ("M_IT_TB_1", "Zählwert mit Zeitmarke CP56Time2a",
         "Integrated totals with time tag CP56Time2a"),
    38: ("M_EP_TD_1", "Schutzereignis mit Zeitmarke CP56Time2a",
         "Event of protection equipment with time tag CP56Time2a"),
    39: ("M_EP_TE_1", "Schutz-Anregungen gepackt, mit Zeitmarke CP56Time2a",
         "Packed start events of protection equipment with time tag CP56Time2a"),
    40: ("M_EP_TF_1", "Schutz-Auslösungen gepackt, mit Zeitmarke CP56Time2a",
         "Packed output circuit information of protection equipment with time tag CP56Time2a"),
    45: ("C_SC_NA_1", "Einzelbefehl", "Single command"),
    46: ("C_DC_NA_1", "Doppelbefehl", "Double command"),
    47: ("C_RC_NA_1", "Regelschrittbefehl", "Regulating step command"),
    48: ("C_SE_NA_1", "Sollwertbefehl, normiert", "Set-point command, normalized value"),
    49: ("C_SE_NB_1", "Sollwertbefehl, skaliert", "Set-point command, scaled value"),
    50: ("C_SE_NC_1", "Sollwertbefehl, Gleitkomma",
         "Set-point command, short floating point number"),
    51: ("C_BO_NA_1", "Bitmusterbefehl 32 Bit", "Bitstring of 32 bit command"),
    58: ("C_SC_TA_1", "Einzelbefehl mit Zeitmarke CP56Time2a",
         "Single command with time tag CP56Time2a"),
    59: ("C_DC_TA_1", "Doppelbefehl mit Zeitmarke CP56Time2a",
         "Double command with time tag CP56Time2a"),
    60: ("C_RC_TA_1", "Regelschrittbefehl mit Zeitmarke CP56Time2a",
         "Regulating step command with time tag CP56Time2a"),
    61: ("C_SE_TA_1", "Sollwertbefehl, normiert, mit Zeitmarke CP56Time2a",
         "Set-point command, normalized value with time tag CP56Time2a"),
    62: ("C_SE_TB_1", "Sollwertbefehl, skaliert, mit Zeitmarke CP56Time2a",
         "Set-point command, scaled value with time tag CP56Time2a"),
    63: ("C_SE_TC_1", "Sollwertbefehl, Gleitkomma, mit Zeitmarke CP56Time2a",
         "Set-point command, short floating point number with time tag CP56Time2a"),
    64: ("C_BO_TA_1", "Bitmusterbefehl 32 Bit mit Zeitmarke CP56Time2a",
         "Bitstring of 32 bit command with time tag CP56Time2a"),
    70: ("M_EI_NA_1", "Initialisierungsende", "End of initialization"),
    100: ("C_IC_NA_1", "Abfragebefehl (Generalabfrage)", "Interrogation command"),
    101: ("C_CI_NA_1", "Zählerabfragebefehl", "Counter interrogation command"),
    102: ("C_RD_NA_1", "Lesebefehl", "Read command"),
    103: ("C_CS_NA_1", "Uhrzeitsynchronisation", "Clock synchronization command"),
    104: ("C_TS_NA_1", "Prüfbefehl", "Test command"),
    105: ("C_RP_NA_1", "Prozess-Rücksetzbefehl", "Reset process command"),
    106: ("C_CD_NA_1", "Verzögerungserfassung", "Delay acquisition command"),
    107: ("C_TS_TA_1", "Prüfbefehl mit Zeitmarke CP56Time2a", "Test command with time tag CP56Time2a"),
    110: ("P_ME_NA_1", "Parameter Messwert, normiert", "Parameter of measured value, normalized value"),
    111: ("P_ME_NB_1", "Parameter Messwert, skaliert", "Parameter of measured value, scaled value"),
    112: ("P_ME_NC_1", "Parameter Messwert, Gleitkomma",
          "Parameter of measured value, short floating point number"),
    113: ("P_AC_NA_1", "Parameteraktivierung", "Parameter activation"),
    120: ("F_FR_NA_1", "Datei bereit", "File ready"),
    121: ("F_SR_NA_1", "Abschnitt bereit", "Section ready"),
    122: ("F_SC_NA_1", "Verzeichnis abrufen, Datei/Abschnitt anwählen oder abrufen",
          "Call directory, select file, call file, call section"),
    123: ("F_LS_NA_1", "Letzter Abschnitt, letztes Segment", "Last section, last segment"),
    124: ("F_AF_NA_1", "Datei/Abschnitt quittieren", "Ack file, ack section"),
    125: ("F_SG_NA_1", "Segment", "Segment"),
    126: ("F_DR_TA_1", "Verzeichnis", "Directory"),
}

# Compact type names of the type name file: (German, English)
COMPACT = {
    1: ("EM", "SP"), 2: ("EM-Z", "SP-T"), 3: ("DM", "DP"), 4: ("DM-Z", "DP-T"),
    5: ("ST", "ST"), 6: ("ST-Z", "ST-T"), 7: ("BM", "BO"), 8: ("BM-Z", "BO-T"),
    9: ("MWN", "MEN"), 10: ("MWN-Z", "MEN-T"), 11: ("MWS", "MES"), 12: ("MWS-Z", "MES-T"),
    13: ("MWG", "MEF"), 14: ("MWG-Z", "MEF-T"), 15: ("ZW", "IT"), 16: ("ZW-Z", "IT-T"),
    17: ("SE-Z", "EP-T"), 18: ("SA-Z", "EPS-T"), 19: ("SK-Z", "EPO-T"), 20: ("EMG", "PS"),
    21: ("MWN-oQ", "MEN-NQ"), 30: ("EM-Z7", "SP-T7"), 31: ("DM-Z7", "DP-T7"),
    32: ("ST-Z7", "ST-T7"), 33: ("BM-Z7", "BO-T7"), 34: ("MWN-Z7", "MEN-T7"),
    35: ("MWS-Z7", "MES-T7"), 36: ("MWG-Z7", "MEF-T7"), 37: ("ZW-Z7", "IT-T7"),
    38: ("SE-Z7", "EP-T7"), 39: ("SA-Z7", "EPS-T7"), 40: ("SK-Z7", "EPO-T7"),
    45: ("EB", "SC"), 46: ("DB", "DC"), 47: ("RB", "RC"), 48: ("SWN", "SEN"),
    49: ("SWS", "SES"), 50: ("SWG", "SEF"), 51: ("BMB", "BOC"), 58: ("EB-Z7", "SC-T7"),
    59: ("DB-Z7", "DC-T7"), 60: ("RB-Z7", "RC-T7"), 61: ("SWN-Z7", "SEN-T7"),
    62: ("SWS-Z7", "SES-T7"), 63: ("SWG-Z7", "SEF-T7"), 64: ("BMB-Z7", "BOC-T7"),
    70: ("INIT", "EOI"), 100: ("GA", "GI"), 101: ("ZA", "CI"), 102: ("LESEN", "READ"),
    103: ("UHR", "CLOCK"), 104: ("TEST", "TEST"), 105: ("RESET", "RESET"),
    106: ("VERZ", "DELAY"), 110: ("PMN", "PMEN"), 111: ("PMS", "PMES"), 112: ("PMG", "PMEF"),
    113: ("PAK", "PACT"), 120: ("DBER", "FREADY"), 121: ("ABER", "SREADY"),
    122: ("DANW", "FCALL"), 123: ("DLETZT", "FLAST"), 124: ("DQUIT", "FACK"),
    125: ("DSEG", "FSEG"), 126: ("DVERZ", "FDIR"),
}

# cause: (German short, German long, English short, English long)
CAUSES = {
    1: ("zykl", "periodisch, zyklisch", "per/cyc", "periodic, cyclic"),
    2: ("Hint", "Hintergrundabfrage", "back", "background scan"),
    3: ("spont", "spontan", "spont", "spontaneous"),
    4: ("init", "initialisiert", "init", "initialized"),
    5: ("Abfr", "Abfrage oder abgefragt", "req", "request or requested"),
    6: ("Akt", "Aktivierung", "act", "activation"),
    7: ("AktBest", "Bestätigung der Aktivierung", "actcon", "activation confirmation"),
    8: ("Deakt", "Deaktivierung", "deact", "deactivation"),
    9: ("DeaktBest", "Bestätigung der Deaktivierung", "deactcon", "deactivation confirmation"),
    10: ("AktEnde", "Beendigung der Aktivierung", "actterm", "activation termination"),
    11: ("RückFern", "Rückmeldung durch Fernbefehl", "retrem",
         "return information caused by a remote command"),
    12: ("RückÖrtl", "Rückmeldung durch örtlichen Befehl", "retloc",
         "return information caused by a local command"),
    13: ("Datei", "Dateiübertragung", "file", "file transfer"),
    20: ("GA", "Antwort auf Stationsabfrage (Generalabfrage)", "inrogen",
         "interrogated by station interrogation"),
    37: ("ZA", "Antwort auf allgemeine Zählerabfrage", "reqcogen",
         "requested by general counter request"),
    44: ("TypUnbek", "unbekannte Typkennung", "unkType", "unknown type identification"),
    45: ("UrsUnbek", "unbekannte Übertragungsursache", "unkCause",
         "unknown cause of transmission"),
    46: ("CAUnbek", "unbekannte gemeinsame Adresse der ASDU", "unkCA",
         "unknown common address of ASDU"),
    47: ("IOAUnbek", "unbekannte Informationsobjektadresse", "unkIOA",
         "unknown information object address"),
}
for g in range(1, 17):
    CAUSES[20 + g] = ("GA%d" % g, "Antwort auf Gruppenabfrage %d" % g, "inro%d" % g,
                      "interrogated by group %d interrogation" % g)
for g in range(1, 5):
    CAUSES[37 + g] = ("ZA%d" % g, "Antwort auf Zählerabfrage Gruppe %d" % g, "reqco%d" % g,
                      "requested by group %d counter request" % g)

GENERAL_CAUSES = list(range(1, 14)) + list(range(20, 42)) + list(range(44, 48))
assert sorted(CAUSES) == GENERAL_CAUSES

INRO = list(range(20, 37))
CMD = [6, 7, 8, 9, 10, 44, 45, 46, 47]
NEG = [44, 45, 46, 47]

# Causes the standard permits per type (monitor direction, control direction, system and
# parameter types, file transfer); the pseudo types 128..133 take every defined cause.
PERMITTED = {}
for t in (1, 3, 5):
    PERMITTED[t] = [2, 3, 5, 11, 12] + INRO
for t in (2, 4, 6, 30, 31, 32):
    PERMITTED[t] = [3, 5, 11, 12]
for t in (7, 20):
    PERMITTED[t] = [2, 3, 5] + INRO
for t in (9, 11, 13, 21):
    PERMITTED[t] = [1, 2, 3, 5] + INRO
for t in (8, 10, 12, 14, 33, 34, 35, 36):
    PERMITTED[t] = [3, 5]
for t in (15, 16, 37):
    PERMITTED[t] = [3, 37, 38, 39, 40, 41]
for t in (17, 18, 19, 38, 39, 40):
    PERMITTED[t] = [3]
for t in range(45, 52):
    PERMITTED[t] = CMD
PERMITTED[70] = [4]
PERMITTED[100] = CMD
PERMITTED[101] = CMD
PERMITTED[102] = [5] + NEG
PERMITTED[103] = [3, 6, 7] + NEG
PERMITTED[104] = [6, 7] + NEG
PERMITTED[105] = [6, 7] + NEG
PERMITTED[106] = [3, 6, 7] + NEG
for t in (110, 111, 112):
    PERMITTED[t] = [6, 7] + INRO + NEG
PERMITTED[113] = [6, 7, 8, 9] + NEG
for t in (120, 121, 123, 124, 125):
    PERMITTED[t] = [13]
PERMITTED[122] = [5, 13]
PERMITTED[126] = [3, 5]
for t in range(128, 134):
    PERMITTED[t] = GENERAL_CAUSES
assert sorted(PERMITTED) == sorted(PICK)
for _t, _c in PERMITTED.items():
    assert all(c in GENERAL_CAUSES for c in _c), _t


def two_digit_codes(causes):
    return "".join("%02d" % c for c in causes)

# Texts of the send lists and the command feedback table beyond the numbers the shared send
# texts already give: messages, the list editor's and the feedback dialog's own labels and hints.


def define_lists(T, R, COMBO, FIELD):
    T(2380, "Liste %d: Objekt %d vom Typ %d kann nicht gesendet werden; die Liste hält an.",
      "List %d: object %d of type %d cannot be sent; the list stops.", fmt="d,d,d",
      note="message: a send list object whose type the encoder does not build (list, object, type)")
    T(2381, "Messwerte", "Measured values", note="demonstration line: name of the list of measured values")
    T(2382, "Meldungen", "Indications", note="demonstration line: name of the list of indications")
    T(2383, "GA-Ende", "End of interrogation",
      note="demonstration line: name of the list that terminates the interrogation")
    T(2384, "Generalabfrage", "Interrogation", note="demonstration line: name of the interrogation telegram")
    T(2385, "Schalter 2001", "Breaker 2001", note="demonstration line: name of the double command telegram")

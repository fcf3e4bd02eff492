# Texts of the send telegrams: the encoder's refusals and the telegram editor's own captions,
# labels and hints beyond the numbers the shared send texts already give.


def define_send(T, R, COMBO, FIELD):
    T(2330, "Telegramm %d: das Telegramm wäre %d Oktette lang; ein Telegramm fasst höchstens 261.",
      "Telegram %d: the frame would be %d octets long; a frame holds at most 261.", fmt="d,d",
      note="message: a raw send telegram longer than a frame (telegram number, frame length)")
    T(2331, "Telegramm %d: Typ %d wird nur innerhalb eines Dateitransfers gesendet.",
      "Telegram %d: type %d is sent within a file transfer only.", fmt="d,d",
      note="message: a send telegram of a file transfer type (telegram number, type)")

# Definitions of the program texts: number, German and English wording, and the facts the
# tests check (must not be empty, format arguments, same in both languages, list shapes).
# make_texts.py writes VdlText.ger, VdlText.usa and numbers.txt from these definitions.

ENTRIES = []  # (first, last, de_list, en_list, flags, note)


def T(n, de, en=None, note="", fmt=None, req=True, same=False, extra=None):
    """One text. en None: the same wording in both languages."""
    if en is None:
        en = de
    flags = []
    if fmt is not None:
        flags.append("fmt=" + fmt)
    if same:
        flags.append("same")
    if extra:
        flags.append(extra)
    ENTRIES.append((n, n, [de], [en], req, flags, note))


def R(first, de_list, en_list=None, note="", req=True, fmt=None, same=False, extra=None):
    """A range of texts first .. first + len - 1."""
    if en_list is None:
        en_list = de_list
    assert len(de_list) == len(en_list), (first, len(de_list), len(en_list))
    flags = []
    if fmt is not None:
        flags.append("fmt=" + fmt)
    if same:
        flags.append("same")
    if extra:
        flags.append(extra)
    ENTRIES.append((first, first + len(de_list) - 1, list(de_list), list(en_list), req, flags, note))


def COMBO(n, label, items, note, hint_note=None):
    """Combo box by the form rule: label n, count n + 1, items n + 2 on."""
    de_items = [i[0] for i in items]
    en_items = [i[1] for i in items]
    T(n, label[0], label[1], note=note + " (combo box label)", extra="combo=%d" % len(items))
    T(n + 1, str(len(items)), note=note + ": number of items", same=True)
    R(n + 2, de_items, en_items, note=note + ": items")


def FIELD(n, label, hint, note):
    """Entry field by the form rule: label n, hint n + 1."""
    T(n, label[0], label[1], note=note + " (entry field label)")
    T(n + 1, hint[0], hint[1], note=note + " (hint of the entry field)")


from textdef_core import define_core  # noqa: E402
from textdef_ui import define_ui  # noqa: E402
from textdef_rp import define_rp  # noqa: E402
from textdef_cli import define_cli  # noqa: E402
from textdef_desktop import define_desktop  # noqa: E402
from textdef_send import define_send  # noqa: E402
from textdef_stations import define_stations  # noqa: E402
from textdef_lists import define_lists  # noqa: E402

define_core(T, R, COMBO, FIELD)
define_ui(T, R, COMBO, FIELD)
define_rp(T, R, COMBO, FIELD)
define_cli(T, R, COMBO, FIELD)
define_desktop(T, R, COMBO, FIELD)
define_send(T, R, COMBO, FIELD)
define_stations(T, R, COMBO, FIELD)
define_lists(T, R, COMBO, FIELD)

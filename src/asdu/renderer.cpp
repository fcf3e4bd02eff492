#include "asdu/renderer.h"

#include "asdu/address_text.h"
#include "asdu/asdu_header.h"
#include "asdu/catalogue.h"
#include "asdu/element_csv.h"
#include "asdu/element_text.h"
#include "asdu/interp_words.h"
#include "asdu/link_line.h"
#include "asdu/object_texts.h"
#include "asdu/rp57x.h"
#include "core/clock.h"
#include "core/format.h"
#include "core/utf8.h"

#include <algorithm>
#include <cmath>

namespace vdl {

namespace {

// A runaway guard: no telegram of 270 bytes needs this many lines.
constexpr int kMaxLinesPerTelegram = 4000;

const TextTable& Tx(const T_TeleAusgabe& c) {
    return *c.env->texts;
}
const std::string& tx(const T_TeleAusgabe& c, int n) {
    return c.env->texts->tx(n);
}
int Format_(const T_TeleAusgabe& c) {
    return c.env->pp->format;
}
bool TimeLine(const T_TeleAusgabe& c) {
    return c.env->pp->zeitzl != 0 || Format_(c) == VF_CSV;
}
bool LinkLineOn(const T_TeleAusgabe& c) {
    return c.env->pp->linkzl != 0;
}
int Fkt(const T_TeleAusgabe& c) {
    return c.pcv ? c.pcv->bp.fkt : 0;
}
int Pro(const T_TeleAusgabe& c) {
    return c.pcv ? c.pcv->bp.pro : PRO_UNBALANCED;
}
bool IsFrame(const T_Telegramm& te) {
    return (te.ta == TA_FIXED || te.ta == TA_VARIABLE) && te.lg > 0;
}
int Len(const T_TeleAusgabe& c) {
    return c.te.validLen();
}
// Index of the checksum: the end of the information objects.
int DataEnd(const T_TeleAusgabe& c) {
    return Len(c) - 2;
}
uint8_t Byte(const T_TeleAusgabe& c, int i) {
    return (i >= 0 && i < Len(c)) ? c.te.b[i] : 0;
}

const std::string& ChannelText(const T_TeleAusgabe& c, int ek) {
    return TxAt(Tx(c), 1175, ek, 7);
}

T_FarbIndex PairOfEk(const T_TeleAusgabe& c, int ek) {
    return (ek >= 1 && ek <= 6) ? ColourPair(*c.env->pp, ek) : ColourPair(*c.env->pp, CP_ERROR);
}

std::string Number(int64_t v, int width) {
    return Format("%*.0n", {width, static_cast<double>(v)});
}

// "tt,zzz": the long time form and the milliseconds.
// A stamp that is no date (a damaged log) shows blanks of the same width.
std::string TimeWithMs(const T_TeleAusgabe& c, double dt) {
    DateTimeParts p = DecodeDateTime(dt);
    std::string s =
        c.env->loc->LongTime(p.hour, p.minute, p.second) + "," + Format("%0.3d", {p.ms});
    if (!StampUsable(dt)) s.assign(s.size(), ' ');
    return s;
}

ElementTextEnv TextEnv(const T_TeleAusgabe& c) {
    const T_AllgVar& av = *c.env->av;
    return ElementTextEnv{*c.env->texts, *c.env->loc, Format_(c) == VF_FULL,
                          av.khex,       av.bitz,     c.env->ap->mwvoll};
}

// For a record with a line error the last byte is the error code: it leaves the copy (so the
// byte rows do not show it) and is named instead.
std::string LineErrorText(T_TeleAusgabe& c) {
    if (c.te.stat != ST_LINE_ERROR || c.te.lg <= 0) return {};
    if (!c.errByteTaken) {
        c.errByteTaken = true;
        c.te.lg = static_cast<int16_t>(c.te.validLen() - 1);
    }
    int code = c.te.b[c.te.validLen()];
    return tx(c, 1388 + ((code >= 0 && code <= 5) ? code : 0));
}

// The port of a channel-opened or channel-closed record: its device, kept after the seven
// integers, or (older records) its number.
std::string OpenCloseDevice(const T_Telegramm& te) {
    constexpr int kInts = 28;
    std::string d;
    for (int i = kInts; i < te.validLen(); ++i) {
        char ch = static_cast<char>(te.b[i]);
        if (static_cast<unsigned char>(ch) < 0x20) break;
        d += ch;
    }
    return d.empty() ? std::to_string(te.la) : d;
}

std::string StatusText(T_TeleAusgabe& c) {
    T_Telegramm& te = c.te;
    std::string s;
    if (te.stat == ST_MESSAGE_TEXT || te.stat == ST_MESSAGE_IO) {
        s = te.s0();
        c.tcl = ColourPair(*c.env->pp, te.stat == ST_MESSAGE_TEXT ? CP_EVENT : CP_ERROR);
    } else if (te.ta == TA_TEXT) {
        s = tx(c, (te.ek % 2 == 0) ? 2008 : 2009);
    } else if (te.stat == ST_MODEM_LINE) {
        s = tx(c, 475);
        for (int n = 3; n >= 0; --n) {
            if (te.la & (1 << n)) {
                s += tx(c, 917 + n);
                s += (te.la & (1 << (n + 4))) ? '1' : '0';
            }
        }
    } else if (te.stat == ST_CHANNEL_OPEN || te.stat == ST_CHANNEL_CLOSE) {
        // The frame area holds the channel's counters and settings as 32-bit integers.
        auto I = [&](int k) { return te.lng[k]; };
        std::string x, y, z;
        if (te.lg > 16) {
            x = TxAt(Tx(c), 1472, I(4), 20);
            y = Format(tx(c, 1482), {static_cast<int>(I(5))});
            if (I(4) < 3) z = TxAt(Tx(c), 1181, I(6), 20);
        }
        s = Format(TxAt(Tx(c), 432, te.stat, 255), {OpenCloseDevice(te), x, z, y});
        if (te.ek == 0) te.ek = 1;
        for (int i = 0; i < 2; ++i)
            s += Format(tx(c, 521), {ChannelText(c, te.ek + i), static_cast<double>(I(2 * i)),
                                     static_cast<double>(I(2 * i + 1))});
    } else if (te.stat == ST_RTS) {
        s = tx(c, 482) + std::to_string(te.la);
    } else {
        s = TxAt(Tx(c), 432, te.stat, 255);
    }
    return s + LineErrorText(c);
}

// The compact type name of the one-line view; without a name of the user's, text 70 and the
// number.
std::string CompactTypeName(const T_TeleAusgabe& c) {
    const std::string& n = Tx(c).TypeName(c.te.typ);
    if (!n.empty()) return n;
    return tx(c, 70) + std::to_string(c.te.typ) + "  ";
}

// The type name of the full view (long form) or the other views (short form).
std::string TypeName(const T_TeleAusgabe& c, bool longForm) {
    int typ = c.te.typ;
    if (!IsKnownType(typ)) return tx(c, 70) + std::to_string(typ);
    const std::string& t = tx(c, 70 + typ);
    return longForm ? LongForm(t) : ShortForm(t);
}

bool HasOriginator(const T_TeleAusgabe& c) {
    return c.lay.mitori != 0;
}
uint8_t Originator(const T_TeleAusgabe& c) {
    return Byte(c, c.lay.TypI + 3);
}

std::string CauseName(const T_TeleAusgabe& c, int cause, bool longForm) {
    const std::string& t = tx(c, 202 + cause);
    return longForm ? LongForm(t) : ShortForm(t);
}

// The cause as the cause line shows it.
std::string CauseText(const T_TeleAusgabe& c, bool longForm) {
    std::string s;
    uint8_t urs = c.te.urs;
    if (urs & 0x80) s += tx(c, 199);
    if (urs & 0x40) s += tx(c, 201);
    s += CauseName(c, urs & 0x3F, longForm) + "=" + std::to_string(urs & 0x3F);
    if (HasOriginator(c)) s += tx(c, 267) + std::to_string(Originator(c));
    return s;
}

// Left-justified in at least 5 characters and always with a trailing blank.
std::string CompactField(const std::string& s) {
    std::string r = PadRight(s, 5);
    if (r.empty() || r.back() != ' ') r += ' ';
    return r;
}

std::string CompactCause(const T_TeleAusgabe& c) {
    uint8_t urs = c.te.urs;
    int cause = urs & 0x3F;
    std::string name = CauseName(c, cause, false);
    // A cause without a name of its own shows its number.
    if (name.empty() || name == CauseName(c, 0, false)) name = tx(c, 1373) + std::to_string(cause);
    std::string s;
    if (urs & 0x80) s += tx(c, 1374);
    if (urs & 0x40) s += tx(c, 1375);
    s = CompactField(s + name);
    if (HasOriginator(c)) s += CompactField(tx(c, 1376) + std::to_string(Originator(c)));
    return s;
}

const std::string& CaName(const T_TeleAusgabe& c) {
    static const std::string kNone;
    return c.env->objects ? c.env->objects->CaNameCached(c.te.ca) : kNone;
}

// The common address in its structure and its name.
std::string CaText(const T_TeleAusgabe& c) {
    return FormatCa(c.te.ca, *c.env->av, *c.env->ap) + " " + CaName(c);
}

std::string Label(const T_TeleAusgabe& c, const std::string& label) {
    return LabelColumn(label, c.sek);
}

void ChooseObjectColour(T_TeleAusgabe& c, int objnr) {
    const T_AllgVar& av = *c.env->av;
    const T_Telegramm& te = c.te;
    c.oa_alt = c.oa;
    auto apply = [&](T_FarbIndex p) {
        T_FarbIndex t = PairOfEk(c, te.ek);
        if (p.fg) t.fg = p.fg;
        if (p.hg) t.hg = p.hg;
        c.tcl = t;
    };
    if (c.pcv && c.pcv->rp57x) {
        apply(av.pft ? av.pft->frb[te.typ] : T_FarbIndex{});
        return;
    }
    c.obji = c.env->objects ? c.env->objects->FindObject(static_cast<uint32_t>(c.oa), te.ca) : -1;
    if (te.stat <= 39) return;
    T_FarbIndex p{};
    T_FarbIndex none{};
    if (ObjectQuality(te, objnr, c.lay) & av.FltQuaFrb)
        p = ColourPair(*c.env->pp, CP_QUALITY);
    else if (c.env->objects && !(c.env->objects->ObjectColour(c.obji) == none))
        p = c.env->objects->ObjectColour(c.obji);
    else if (av.pft && !(av.pft->frb[te.typ] == none))
        p = av.pft->frb[te.typ];
    else if (av.pfu)
        p = av.pfu->frb[te.urs];
    apply(p);
}

// Advances to the next object to show; false when no object passes the display filter.
bool NextObject(T_TeleAusgabe& c) {
    if (c.objzl == 0 && c.obja > 0) c.objnr = c.obja;
    ++c.objnr;
    if (c.env->objectFilter) {
        while (c.objnr <= c.objanz && !c.env->objectFilter(c.te, c.objnr)) ++c.objnr;
        if (c.objnr > c.objanz) return false;
    }
    return true;
}

// The object address column: the structured address and the object's name, at least one
// trailing blank.
std::string IoaColumn(const T_TeleAusgabe& c) {
    std::string s = FormatOa(static_cast<uint32_t>(c.oa), *c.env->av, *c.env->ap);
    int lgoastr = c.env->av->lgoastr;
    size_t width = static_cast<size_t>(lgoastr + 1);
    const std::string* name = nullptr;
    if (c.env->objects) name = &c.env->objects->ObjectName(c.obji);
    if (name && !name->empty()) {
        s += ' ';
        s += *name;
        width = static_cast<size_t>(lgoastr + 17);
    }
    s = PadRight(s, width);
    if (s.empty() || s.back() != ' ') s += ' ';
    return s;
}

// Positions the current object: its address, its colour, the cursor at its element. Returns
// the number of bytes from the element to the checksum.
int PlaceObject(T_TeleAusgabe& c) {
    c.oa = static_cast<int32_t>(ObjectAddress(c.objnr, c.te, c.lay));
    ++c.objzl;
    c.pb = ObjectOffset(c.objnr, c.te, c.lay);
    if (c.objzl == 1) c.oalg = c.env->av->lgoastr + 1;
    if (c.oa != c.oa_alt) ChooseObjectColour(c, c.objnr);
    return DataEnd(c) - c.pb;
}

int ElementLen(const T_TeleAusgabe& c) {
    return c.te.typ > 133 ? 0 : ElementLength(c.te.typ);
}

// Hexadecimal rest row from the cursor up to end: at most 16 bytes, headed by their position.
std::string RestRow(T_TeleAusgabe& c, int end) {
    int count = std::min(16, end - c.pb);
    if (count <= 0 || c.pb < 0) return {};
    std::string head =
        std::to_string(16 * c.znr - 111) + "-" + std::to_string(16 * c.znr - 112 + count) + ":  ";
    std::string s = PadLeft(head, 12) + HexDump(c.te.b + c.pb, count);
    c.pb += count;
    return s;
}

// The part of an object line after the label: address column and element, or the bytes that
// are left of a cut object.
std::string ObjectBody(T_TeleAusgabe& c, bool* wholeLine) {
    *wholeLine = false;
    int r = PlaceObject(c);
    int e = ElementLen(c);
    if (r >= e) {
        int pos = c.pb;
        std::string s = IoaColumn(c) + ElementText(c.te, pos, TextEnv(c));
        c.lastOff = c.pb;
        c.pb = pos;
        return s;
    }
    if (r < 0) {
        // The object address itself is cut: show what is left of the object as a byte row.
        c.pb -= c.lay.lgoa;
        int rest = DataEnd(c) - c.pb;
        *wholeLine = true;
        if (rest <= 0 || c.pb < 0) return {};
        std::string s = "Byte" + PadLeft("1-" + std::to_string(rest) + ":  ", 8) +
                        HexDump(c.te.b + c.pb, std::min(rest, 16));
        c.pb = DataEnd(c);
        return s;
    }
    std::string s = IoaColumn(c);
    if (r > 0) s += HexDump(c.te.b + c.pb, std::min(r, 16));
    c.pb = DataEnd(c);
    return s;
}

// An element walk that does not move (a type without element length in a sequence) would
// never reach the checksum: what is left is shown in rest rows.
bool WalkStalls(const T_TeleAusgabe& c) {
    if (c.objzl == 0) return false;
    return ObjectOffset(c.objnr + 1, c.te, c.lay) <= c.lastOff;
}

std::string ObjectLine(T_TeleAusgabe& c) {
    if (WalkStalls(c)) return RestRow(c, DataEnd(c));
    if (!NextObject(c)) return {};
    std::string label = tx(c, 405);
    if (c.objanz > 1) label += PadLeft(std::to_string(c.objnr), 3);
    bool whole = false;
    std::string body = ObjectBody(c, &whole);
    if (whole) return body;
    return Label(c, label) + body;
}

std::string AsduLine(T_TeleAusgabe& c) {
    if (c.te.lg <= 8) return {};
    std::string s = Label(c, tx(c, 403));
    if (Format_(c) == VF_COMPACT) {
        s += Trim(CompactTypeName(c)) + "=" + std::to_string(c.te.typ) + "  ";
        s += CauseText(c, false) + "  " + CaText(c);
        return s;
    }
    s += TypeName(c, Format_(c) == VF_FULL) + "=" + std::to_string(c.te.typ);
    if (c.objanz > 1) s += ", " + std::to_string(c.objanz) + tx(c, (c.te.struk & 0x80) ? 430 : 431);
    return s;
}

std::string TimeDifference(T_TeleAusgabe& c) {
    const std::string kBlank(10, ' ');
    if (c.dtalt == 0 || !StampUsable(c.dtalt) || !StampUsable(c.te.dt)) return kBlank;
    double ms = std::round((c.te.dt - c.dtalt) * kMsPerDay);
    if (ms == 0 && c.te.ek == c.ekalt) return kBlank;
    double s = ms / 1000.0;
    double a = std::fabs(s);
    int d = a < 10 ? 3 : (a < 100 ? 2 : (a < 1000 ? 1 : 0));
    return Format("d=%1.*fs  ", {d, s});
}

std::string HeaderLine(T_TeleAusgabe& c) {
    T_Telegramm& te = c.te;
    std::string s = PadRight(Number(te.nr, 3) + "  ", static_cast<size_t>(12 + c.sek));
    s += ChannelText(c, te.ek) + tx(c, 390);
    s += TimeWithMs(c, te.dt);
    s += "  ";
    if (te.stat != ST_CHANNEL_OPEN && te.stat != ST_CHANNEL_CLOSE) s += TimeDifference(c);
    c.dtalt = te.dt;
    c.ekalt = te.ek;
    if (te.ta == TA_INTERNAL &&
        (te.stat == ST_LINK_LOST || te.stat == ST_REMOTE_RESET || te.stat == ST_LINK_UP) &&
        c.lay.lgla != 0)
        s += tx(c, 65) + std::to_string(te.la) + "  ";
    s += StatusText(c);
    return s;
}

// Byte row k: bytes 16k .. 16k + 15 with their 1-based numbers.
std::string ByteRow(T_TeleAusgabe& c, int k) {
    int lg = Len(c);
    if (k < 0 || 16 * k >= lg) return {};
    int first = 16 * k, last = std::min(16 * k + 15, lg - 1);
    std::string head = std::to_string(first + 1) + "-" + std::to_string(last + 1) + ":  ";
    head = k == 0 ? "Byte" + PadLeft(head, 8) : PadLeft(head, 12);
    return head + HexDump(c.te.b + first, last - first + 1);
}

// Raw rows of the channel functions without link layer checks and of text lines: decimal
// bytes in the full view, bit characters otherwise.
std::string RawRow(T_TeleAusgabe& c, int k) {
    bool full = Format_(c) == VF_FULL;
    int per = full ? 16 : 6;
    int lg = Len(c);
    if (k < 0 || per * k >= lg) return {};
    int first = per * k, last = std::min(per * k + per - 1, lg - 1);
    std::string head = std::to_string(first + 1) + "-" + std::to_string(last + 1) + ":  ";
    std::string s = k == 0 ? "Byte" + PadLeft(head, 8) : PadLeft(head, 12);
    const std::string& bitz = c.env->av->bitz;
    for (int i = first; i <= last; ++i) {
        uint8_t v = c.te.b[i];
        if (full) {
            s += PadLeft(std::to_string(v), ((i - first) % 4 == 0) ? 5 : 4);
        } else {
            std::string bits;
            for (int bit = 7; bit >= 0; --bit) {
                if (bit == 3) bits += ' ';
                bits += (v & (1 << bit)) ? (bitz.size() > 1 ? bitz[1] : '1')
                                         : (bitz.size() > 0 ? bitz[0] : '0');
            }
            s += PadLeft(bits, 12);
        }
    }
    return s;
}

// Lines of frames that are interpreted (formats 3 and 4).
std::string InterpretedLine(T_TeleAusgabe& c) {
    const T_Telegramm& te = c.te;
    if (te.ta == TA_INTERNAL || te.lg == 0) return {};
    int fkt = Fkt(c);
    if (fkt == FKT_FT12 || fkt == FKT_ASCII) {
        if (LinkLineOn(c) || te.ta == TA_VARIABLE) return RawRow(c, c.znr - 2);
        return {};
    }
    if (c.pcv && c.pcv->rp57x) return RpLine(c);
    if (c.znr == 2 && !LinkLineOn(c) && te.stat > 39) {
        if (te.ta != TA_VARIABLE) return {};
        c.znr = 3;
    }
    if (c.znr > 2 && c.pb >= DataEnd(c)) return {};
    if (Format_(c) == VF_COMPACT && c.znr == 4) c.znr = 6;
    switch (c.znr) {
    case 2:
        return LinkLineText(Tx(c), te, Pro(c), c.lay.lgla, c.sek);
    case 3:
        return AsduLine(c);
    case 4:
        return Label(c, tx(c, 402)) + CauseText(c, true);
    case 5:
        return Label(c, tx(c, 404)) + CaText(c);
    case 6:
        return ObjectLine(c);
    default:
        if (IsKnownType(te.typ) && te.typ != 125 && !c.cut) return ObjectLine(c);
        return RestRow(c, DataEnd(c));
    }
}

// The one-line view of channels with link layer (functions 0..2).
std::string LineViewLine(T_TeleAusgabe& c, int n) {
    T_Telegramm& te = c.te;
    bool textLine = te.stat == ST_TEXT_LINE;
    if (n == 0) {
        c.lgztlk = 0;
        if (te.ta == TA_FIXED && !LinkLineOn(c) && te.stat > 39) return {};
        std::string s = ChannelText(c, te.ek) + "  ";
        if (TimeLine(c)) s += Number(te.nr, 5) + "  " + TimeWithMs(c, te.dt) + "  ";
        if (te.stat == ST_RTS || te.stat == ST_MODEM_LINE) return s + StatusText(c);
        if (te.ta == TA_INTERNAL) {
            if (c.lay.lgla != 0 &&
                (te.stat == ST_LINK_LOST || te.stat == ST_REMOTE_RESET || te.stat == ST_LINK_UP))
                s += std::to_string(te.la) + "  ";
            return s + StatusText(c);
        }
        if (textLine) {
            c.pb = 0;
            c.znr = 6;
            return s + StatusText(c);
        }
        if (IsFrame(te) && (LinkLineOn(c) || te.stat <= 39)) s += LinkShortForm(te, c.lay.lgla);
        if (te.ta == TA_VARIABLE) {
            // A frame whose objects the display filter refuses, every one, is left out; one
            // without objects still shows its data unit, and what follows it in rest rows.
            const bool objects = c.objanz > 0;
            if (objects && !NextObject(c)) return {};
            // A long name of the common address and a name from the user's type name file may
            // both come without a blank after them.
            std::string ca = PadRight(CaText(c), static_cast<size_t>(c.env->av->lgcastr));
            if (ca.back() != ' ') ca += ' ';
            s += ca;
            s += CompactField(CompactTypeName(c));
            s += CompactCause(c);
            c.lgztlk = std::max(0, static_cast<int>(Utf8Length(s)) - 12);
            if (objects) {
                bool whole = false;
                s += ObjectBody(c, &whole);
            } else {
                c.pb = c.lay.OaI;
                c.cut = true;
            }
            c.znr = 6;
            // Element texts may end without a blank; keep the status text apart.
            if (!s.empty() && s.back() != ' ') s += ' ';
        }
        return s + StatusText(c);
    }
    if (te.ta == TA_INTERNAL) return {};
    int end = textLine ? Len(c) : DataEnd(c);
    if (c.pb >= end) return {};
    std::string line;
    if (te.typ == 125 || textLine || c.cut || !IsKnownType(te.typ))
        line = RestRow(c, end);
    else
        line = ObjectLine(c);
    if (!line.empty()) line.insert(0, static_cast<size_t>(c.lgztlk), ' ');
    return line;
}

// The one-line view of the functions without link layer checks, ASCII and rp57x: the bytes.
std::string HexLine(T_TeleAusgabe& c, int n) {
    const T_Telegramm& te = c.te;
    if (n > 0) return {};
    if (te.ta == TA_FIXED && !LinkLineOn(c) && te.stat > 39) return {};
    std::string s = ChannelText(c, te.ek) + "  ";
    if (TimeLine(c)) s += Number(te.nr, 2) + "  " + TimeWithMs(c, te.dt) + "  ";
    int lg = Len(c), from = 0, to = 0;
    if (Fkt(c) == FKT_ASCII || te.ta == TA_TEXT) {
        to = lg;
    } else if (lg == 1) {
        to = 1;
    } else if (te.ta == TA_FIXED) {
        from = 1;
        to = lg - 2;
    } else if (te.ta == TA_VARIABLE) {
        from = 4;
        to = lg - 2;
    }
    for (int i = from, k = 0; i < to && k < 40; ++i, ++k) s += Hex2(te.b[i]) + ' ';
    return s + StatusText(c);
}

// Export: every field followed by the separator.
class Fields {
public:
    explicit Fields(char tz) : tz_(tz) {}
    void Add(const std::string& v) {
        s_ += v;
        s_ += tz_;
    }
    void Add(long long v) { Add(std::to_string(v)); }
    void Raw(const std::string& v) { s_ += v; }
    void Separators(int n) { s_.append(static_cast<size_t>(n), tz_); }
    std::string& Str() { return s_; }

private:
    char tz_;
    std::string s_;
};

// The object part of an export line: address, name, values. A cut object shows its address
// and name and leaves its bytes to rest rows; false when even its address is cut (nothing
// written, the cursor at the address).
bool ExportObject(T_TeleAusgabe& c, Fields& f) {
    int r = PlaceObject(c);
    if (r < 0) {
        c.pb -= c.lay.lgoa;
        c.cut = true;
        return false;
    }
    f.Add(static_cast<long long>(static_cast<uint32_t>(c.oa)));
    f.Add(c.env->objects ? c.env->objects->ObjectName(c.obji) : std::string());
    if (r >= ElementLen(c)) {
        c.lastOff = c.pb;
        f.Raw(ElementCsv(c.te, c.pb, c.env->av->tz));
    } else {
        c.cut = true;
    }
    return true;
}

std::string ExportRestRow(T_TeleAusgabe& c, int end, int separators, int index) {
    int count = std::min(16, end - c.pb);
    if (count <= 0 || c.pb < 0) return {};
    Fields f(c.env->av->tz);
    f.Add(c.te.nr);
    f.Add(index);
    f.Separators(separators);
    f.Add(HexDump(c.te.b + c.pb, count, c.env->av->tz));
    c.pb += count;
    return f.Str();
}

// The fields of an export line's telegram part up to the link address: channel, date, time,
// milliseconds, ta, status, control field and link address.
Fields ExportHead(T_TeleAusgabe& c, bool linkAddress) {
    const T_Telegramm& te = c.te;
    DateTimeParts p = DecodeDateTime(te.dt);
    Fields e(c.env->av->tz);
    e.Add(ChannelText(c, te.ek));
    if (StampUsable(te.dt)) {
        e.Add(c.env->loc->ShortDate(p.year, p.month, p.day));
        e.Add(c.env->loc->LongTime(p.hour, p.minute, p.second));
        e.Add(p.ms);
    } else {
        e.Separators(3); // a stamp that is no date: empty date, time and milliseconds
    }
    e.Add(te.ta);
    e.Add(StatusText(c));
    if (!(te.lg == 0 || te.ta == TA_INTERNAL)) {
        e.Add(te.lc);
        // Without link addresses the field stays, empty, so that the columns keep their
        // places.
        if (te.lg != 1) e.Add(linkAddress ? std::to_string(te.la) : std::string());
    }
    return e;
}

// The export line of an rp57x frame: its messages are no information objects, so the first
// row holds the telegram part with the message type (its name, number, m0 and m1, the
// station address of function 6 in the common address column) and the message bytes
// after m1 follow as rest rows.
std::string RpExportLine(T_TeleAusgabe& c, int n) {
    const T_Telegramm& te = c.te;
    const int fkt = c.pcv->bp.fkt;
    const int m0 = RpMessageStart(te, fkt);
    const bool message = te.ta == TA_VARIABLE && te.validLen() > 3;
    if (n == 0) {
        Fields e = ExportHead(c, true);
        if (message) {
            e.Add(RpTypeName(Tx(c), te));
            e.Add(te.typ);
            e.Add(Byte(c, m0));
            e.Add(Byte(c, m0 + 1));
            e.Add(std::string()); // no originator address
            e.Add(m0 == 7 ? std::to_string(te.ca) : std::string());
        }
        Fields f(c.env->av->tz);
        f.Add(te.nr);
        f.Add(0);
        f.Raw(e.Str());
        c.pb = m0 + 2;
        return f.Str();
    }
    if (!message) return {};
    // The rows of message bytes are numbered on from the first row.
    return ExportRestRow(c, DataEnd(c), 15, n);
}

std::string ExportLine(T_TeleAusgabe& c, int n) {
    T_Telegramm& te = c.te;
    const char tz = c.env->av->tz;
    if (c.pcv && c.pcv->rp57x && (te.ta == TA_FIXED || te.ta == TA_VARIABLE))
        return RpExportLine(c, n);
    bool variable = te.ta == TA_VARIABLE;
    // Text lines, bytes outside any frame and variable frames without an object (too short,
    // none announced) are shown from their first byte to their last, so that no telegram of
    // the log is missing from an export.
    bool noObjects = variable && c.objanz == 0;
    bool plain = te.ta == TA_TEXT || te.ta == TA_NONE || noObjects;
    if (n == 0) {
        // A frame whose objects the display filter refuses, every one, is left out.
        if (variable && !noObjects && !NextObject(c)) return {};
        Fields e = ExportHead(c, c.lay.lgla != 0);
        if (variable && te.lg < c.lay.OaI + 2) {
            e.Separators(6); // too short for a data unit identifier: no type, cause, address
        } else if (variable) {
            const std::string& tn = IsKnownType(te.typ) ? tx(c, 70 + te.typ) : tx(c, 70);
            e.Add(IsKnownType(te.typ) ? ShortForm(tn) : tn + std::to_string(te.typ));
            e.Add(te.typ);
            e.Add(te.struk);
            e.Add(te.urs);
            e.Add(HasOriginator(c) ? std::to_string(Originator(c)) : std::string());
            e.Add(std::to_string(te.ca) + " " + CaName(c));
        }
        Fields f(tz);
        f.Add(te.nr);
        f.Add(0);
        f.Raw(e.Str());
        if (variable && !noObjects && te.lg > 10) {
            c.ExpStr = e.Str();
            ExportObject(c, f);
        }
        if (plain) c.pb = 0;
        return f.Str();
    }
    if (te.ta == TA_INTERNAL) return {};
    int end = plain ? Len(c) : DataEnd(c);
    if (c.pb >= end) return {};
    bool known = IsKnownType(te.typ);
    if (variable && !noObjects && known && !(te.typ >= 120 && te.typ <= 126) && !c.cut &&
        !WalkStalls(c)) {
        if (!NextObject(c)) return {};
        Fields f(tz);
        f.Add(te.nr);
        f.Add(c.objzl); // the index of this object: objects rendered before it
        f.Raw(c.ExpStr);
        if (!ExportObject(c, f)) return ExportRestRow(c, end, 18, c.znr - 3);
        return f.Str();
    }
    return ExportRestRow(c, end, (variable && !known) ? 15 : 18, c.znr - 3);
}

} // namespace

T_FarbIndex ColourPair(const T_ProgPar& pp, int n) {
    const T_AusgPar& a = pp.ausg;
    switch (n) {
    case 1:
    case 2:
    case 3:
    case 4:
        return a.ek[n - 1];
    case CP_BASE:
        return a.basis;
    case CP_ERROR:
        return a.fehler;
    case CP_EVENT:
        return a.intern;
    case CP_QUALITY:
        return a.quali;
    default:
        return T_FarbIndex{};
    }
}

uint16_t QualityHighlightMask(uint8_t m) {
    return static_cast<uint16_t>((m & 0xF8) | ((m & 3) << 14) | ((m >> 2) & 1));
}

std::string HexDump(const uint8_t* bytes, int n, char separator) {
    if (n > 16) n = 16;
    std::string hex(52, ' ');
    std::string chars;
    for (int i = 0; i < n; ++i) {
        size_t col = static_cast<size_t>(3 * i + i / 4);
        std::string h = Hex2(bytes[i]);
        hex[col] = h[0];
        hex[col + 1] = h[1];
        uint8_t b = bytes[i];
        if (b <= 31 || b == 0x7F || (separator != 0 && b == static_cast<uint8_t>(separator)))
            chars += '.';
        else if (b < 0x80)
            chars += static_cast<char>(b);
        else
            chars += AnsiToUtf8(std::string(1, static_cast<char>(b)));
    }
    return hex + chars + std::string(static_cast<size_t>(18 - (n < 0 ? 0 : n)), ' ');
}

void StartTelegram(T_TeleAusgabe& ctx, const T_Telegramm& te) {
    const RenderEnv& env = *ctx.env;
    ctx.te = te;
    ctx.pcv = (te.ek == EK_RX2 || te.ek == EK_TX2) ? env.com[1] : env.com[0];
    if (te.stat > 39 && te.ek >= 1 && te.ek <= 6)
        ctx.tcl = ColourPair(*env.pp, te.ta == TA_INTERNAL ? static_cast<int>(CP_EVENT)
                                                           : static_cast<int>(te.ek));
    else
        ctx.tcl = ColourPair(*env.pp, CP_ERROR);
    ctx.oa_alt = -1;
    ctx.obji = -1;
    ctx.te.nr = static_cast<int32_t>(
        (static_cast<uint32_t>(te.nr) - static_cast<uint32_t>(env.oldestNr) + 1u) & 0x7FFFFFFFu);
    ctx.znr = ctx.objnr = ctx.objzl = 0;
    ctx.objanz = te.struk & 0x7F;
    ++ctx.tjs;
    ctx.lay = LayoutOf(*env.ap);
    ctx.pb = ctx.lay.TypI;
    ctx.lastOff = -1;
    ctx.cut = false;
    ctx.errByteTaken = false;
    ctx.ExpStr.clear();
    bool secondary = IsFrame(te) && (!(te.lc & 0x40) || (te.lg == 1 && te.lc == 0xE5));
    ctx.sek = (secondary && env.pp->format != VF_LINE) ? env.av->OfsSekTel : 0;
    if (ctx.pcv && ctx.pcv->rp57x && te.ta != TA_INTERNAL) {
        DecodeHeader(ctx.te, ctx.pcv->bp.fkt, ctx.lay);
        ctx.pb = ctx.pcv->bp.fkt == FKT_RP5 ? 8 : 9;
    }
}

std::string NextLine(T_TeleAusgabe& ctx) {
    const T_Telegramm& te = ctx.te;
    int n = ctx.znr++;
    int fmt = Format_(ctx);
    if (fmt == VF_CSV) return ExportLine(ctx, n);
    if (fmt == VF_LINE && te.stat > 12)
        return Fkt(ctx) <= FKT_SLAVE ? LineViewLine(ctx, n) : HexLine(ctx, n);
    if (n == 0) {
        if (te.ta == TA_VARIABLE) {
            ctx.oa = static_cast<int32_t>(ObjectAddress(1, te, ctx.lay));
            ChooseObjectColour(ctx, 1);
        }
        if (te.ta == TA_INTERNAL || te.stat <= 39 ||
            (TimeLine(ctx) && (LinkLineOn(ctx) || te.ta == TA_VARIABLE || te.ta == TA_NONE)))
            return HeaderLine(ctx);
        ctx.znr = 2;
    }
    bool interpretable = te.stat > 12 && te.ta != TA_NONE && te.ta != TA_TEXT;
    if (interpretable && fmt != VF_BYTES) return InterpretedLine(ctx);
    if (interpretable && fmt == VF_BYTES && !LinkLineOn(ctx) && te.stat > 39 &&
        te.ta != TA_VARIABLE)
        return {};
    return ByteRow(ctx, ctx.znr - 2);
}

void CollectText(T_TeleAusgabe& ctx) {
    ctx.TxtStr.clear();
    ctx.anztxt = 0;
    for (int guard = 0; guard < kMaxLinesPerTelegram; ++guard) {
        std::string line = NextLine(ctx);
        if (line.empty()) break;
        size_t start = 0;
        while (true) {
            size_t p = line.find("\r\n", start);
            ctx.TxtStr.append(line, start, p == std::string::npos ? std::string::npos : p - start);
            ctx.TxtStr += "\r\n";
            ++ctx.anztxt;
            if (p == std::string::npos) break;
            start = p + 2;
        }
    }
}

} // namespace vdl

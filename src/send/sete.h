// The twelve send telegrams: the stored record, the set with the lines of its raw files, the
// initial set, the parameter set block, and what the editor and the encoder need to know of a
// type (its entry in the pick list, its element kind, its value format).
#pragma once

#include "core/allg_var.h"
#include "core/records.h"
#include "core/text_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vdl {

#pragma pack(push, 1)

// One send telegram (544 bytes), stored in this layout in the parameter set file. The send
// list record begins with the same first 144 bytes.
struct T_SeTe {
    uint32_t res0;
    int32_t ilo;     // editor control that had the focus when the editor was last left
    int32_t anst;    // send trigger mode 0..5
    uint16_t typn;   // mode 1: received type 0..255, 256 any variable frame, 257 + function code
    uint16_t minute; // modes 4 and 5: minute 0..59
    int32_t anzt;    // transmissions per request, 0 = without end
    int32_t snr;     // send number of the sending channel: 2 channel 1, 4 channel 2
    int32_t zeile;   // type 133: index of the next line of the raw file
    int32_t anzist;  // transmissions made since the request (runtime)
    int32_t wzt;     // pause between two transmissions in ms (0..100000)
    uint32_t tick;   // tick at which the pause ends (runtime)
    int32_t stat;    // send state 0..3 (runtime)
    int16_t ueb;     // control field index: 0 send/confirm, 1 send/no reply, 2 respond
    int16_t klasse;  // controlled station: 1 class 1 data, any other value class 2
    uint32_t la;     // link address of the addressed station (resolved from laidx)
    uint32_t lines;  // a reference in memory only; written as 0 and cleared on load
    uint8_t hk;      // originator address
    uint8_t wt;      // 1 = day of the week in the time tag
    uint8_t struk;   // variable structure qualifier sent
    uint8_t res59;
    int32_t ca; // common address
    int32_t oa; // information object address
    T_Var inf;  // value: integer, or float for the float types
    uint8_t res72;
    uint8_t typ;     // type identification or pseudo type 128..133
    uint8_t urs;     // cause of transmission (bits 0..5)
    uint8_t qua;     // quality or qualifier bits
    double datum;    // date of the time tag as a day number (0 = today at sending)
    double zeit;     // time of day of the time tag with milliseconds (0 = the time at sending)
    int32_t ms;      // milliseconds part of zeit (editor)
    int32_t zus;     // sequence number, qualifier, kind of parameter or elapsed time
    uint8_t hwnd[8]; // send lists only
    uint8_t laidx;   // station index in the sending channel's link address list
    uint8_t vzidx;   // directory entry shown for type 126
    uint8_t gen;     // 1 = bit 6 of the minute octet of the time tag
    uint8_t quaidx;  // type 101: freeze qualifier FRZ 0..3
    uint8_t tn;      // 0x80 test, 0x40 negative: ORed into the cause octet
    uint8_t trans;   // 0x80 = transient bit of a step position
    uint8_t iv;      // 1 = time tag invalid
    uint8_t su;      // 1 = summer time
    T_AtStr bez;     // name shown in the menus
    int32_t fileidx; // index of the chosen file in the editor's list
    T_ShortStr<127> datei; // file of type 133 (relative to the data directory) and type 120
    int32_t lg;            // number of raw bytes 0..264
    uint8_t b[264];        // raw bytes of the pseudo types 128..132
};

#pragma pack(pop)

static_assert(sizeof(T_SeTe) == 544);
static_assert(offsetof(T_SeTe, ilo) == 4);
static_assert(offsetof(T_SeTe, anst) == 8);
static_assert(offsetof(T_SeTe, typn) == 12);
static_assert(offsetof(T_SeTe, minute) == 14);
static_assert(offsetof(T_SeTe, anzt) == 16);
static_assert(offsetof(T_SeTe, snr) == 20);
static_assert(offsetof(T_SeTe, zeile) == 24);
static_assert(offsetof(T_SeTe, anzist) == 28);
static_assert(offsetof(T_SeTe, wzt) == 32);
static_assert(offsetof(T_SeTe, tick) == 36);
static_assert(offsetof(T_SeTe, stat) == 40);
static_assert(offsetof(T_SeTe, ueb) == 44);
static_assert(offsetof(T_SeTe, klasse) == 46);
static_assert(offsetof(T_SeTe, la) == 48);
static_assert(offsetof(T_SeTe, lines) == 52);
static_assert(offsetof(T_SeTe, hk) == 56);
static_assert(offsetof(T_SeTe, wt) == 57);
static_assert(offsetof(T_SeTe, struk) == 58);
static_assert(offsetof(T_SeTe, res59) == 59);
static_assert(offsetof(T_SeTe, ca) == 60);
static_assert(offsetof(T_SeTe, oa) == 64);
static_assert(offsetof(T_SeTe, inf) == 68);
static_assert(offsetof(T_SeTe, res72) == 72);
static_assert(offsetof(T_SeTe, typ) == 73);
static_assert(offsetof(T_SeTe, urs) == 74);
static_assert(offsetof(T_SeTe, qua) == 75);
static_assert(offsetof(T_SeTe, datum) == 76);
static_assert(offsetof(T_SeTe, zeit) == 84);
static_assert(offsetof(T_SeTe, ms) == 92);
static_assert(offsetof(T_SeTe, zus) == 96);
static_assert(offsetof(T_SeTe, hwnd) == 100);
static_assert(offsetof(T_SeTe, laidx) == 108);
static_assert(offsetof(T_SeTe, vzidx) == 109);
static_assert(offsetof(T_SeTe, gen) == 110);
static_assert(offsetof(T_SeTe, quaidx) == 111);
static_assert(offsetof(T_SeTe, tn) == 112);
static_assert(offsetof(T_SeTe, trans) == 113);
static_assert(offsetof(T_SeTe, iv) == 114);
static_assert(offsetof(T_SeTe, su) == 115);
static_assert(offsetof(T_SeTe, bez) == 116);
static_assert(offsetof(T_SeTe, fileidx) == 144);
static_assert(offsetof(T_SeTe, datei) == 148);
static_assert(offsetof(T_SeTe, lg) == 276);
static_assert(offsetof(T_SeTe, b) == 280);

constexpr int kSeTeCount = 12;
constexpr int kSeTeRawMax = 264;
constexpr uint32_t kSeTeLen = sizeof(T_SeTe);

// Send states.
enum : int32_t {
    SS_TE_IDLE = 0,      // nothing to send
    SS_TE_REQUESTED = 1, // to be sent at the next opportunity
    SS_TE_SENT = 2,      // sent, another transmission due
    SS_TE_PAUSE = 3,     // pausing until tick
};

// Send trigger modes (anst).
enum : int32_t {
    ANST_OPERATOR = 0,
    ANST_TYPE = 1,
    ANST_LINK_UP = 2,
    ANST_REMOTE_RESET = 3,
    ANST_MINUTE = 4,
    ANST_EVERY_MINUTES = 5,
};

// The pseudo types: raw bytes in place of structured ASDU fields.
enum : uint8_t {
    PT_ASDU = 128,  // an ASDU from the type octet on
    PT_FIXED = 129, // control field and link address of a fixed frame
    PT_FRAME = 130, // a variable frame from the control field on
    PT_HEX = 131,   // bytes sent unchanged, entered in hexadecimal
    PT_TEXT = 132,  // the same, entered as text
    PT_FILE = 133,  // ASDUs read line by line from a file
};
constexpr bool IsPseudoType(int typ) {
    return typ >= PT_ASDU && typ <= PT_FILE;
}

// The lines of a raw file (type 133): the octets of each line from the type octet on.
using RawLines = std::vector<std::vector<uint8_t>>;

// The set of twelve, numbered 1..12 (index 0..11), with the loaded lines of their raw files.
struct SeTeSet {
    std::array<T_SeTe, kSeTeCount> t{};
    std::array<RawLines, kSeTeCount> lines;

    T_SeTe& at(int n) { return t[static_cast<size_t>(n - 1)]; }
    const T_SeTe& at(int n) const { return t[static_cast<size_t>(n - 1)]; }
    RawLines& linesOf(int n) { return lines[static_cast<size_t>(n - 1)]; }
    const RawLines& linesOf(int n) const { return lines[static_cast<size_t>(n - 1)]; }
};

// The channel index (0, 1) of a send number: 2 and below channel 1, above channel 2.
constexpr int ChannelOfSnr(int32_t snr) {
    return snr > 2 ? 1 : 0;
}

// The initial set (program start, a new parameter set): telegrams 1..8 of the types 1..8,
// 9 interrogation, 10 test command, 11 single command, 12 double command, each named after
// its type.
void InitialSeTeSet(SeTeSet& s, const TextTable& texts);

// The name of a type as the type list shows it: the long form of its name text, text 1330 for
// the types only a file transfer sends, the pseudo types' own names, or text 70 and the
// number for a type without a name.
std::string TypeNameOf(int typ, const TextTable& texts);

// The block of the parameter set file: its length (6532) and the twelve records, each with its
// line-list reference written as 0.
constexpr uint32_t kSeTeSetBlockLen = 4 + kSeTeCount * kSeTeLen;
std::vector<uint8_t> SeTeBlock(const SeTeSet& s);
// Takes a block read from a parameter set file; the lines are dropped. False (nothing taken)
// when the block does not carry its length.
bool TakeSeTeBlock(SeTeSet& s, const std::vector<uint8_t>& block);

// ---- What a type means to the editor and the encoder ----

// The pick index of a type (its position in the type list, from 0), or -1.
int PickIndexOf(int typ);
// The type of a pick index, or -1.
int TypeOfPick(int pick, const T_AllgVar& av);

// Element kinds: which quality controls a type has and what zus holds.
enum ElementKind : int {
    ELK_PLAIN = 0,     // no quality, no number field
    ELK_POINT = 1,     // SIQ / DIQ: bits 7..4
    ELK_QDS = 2,       // QDS: bits 7..4 and bit 0 (OV)
    ELK_COUNTER = 3,   // sequence octet bits 7..5; zus the sequence number 0..31
    ELK_PROTECT = 4,   // SEP / QDP bits 7..3; zus the elapsed time in ms
    ELK_COMMAND = 5,   // S/E; zus the qualifier of command 0..31
    ELK_SETPOINT = 6,  // S/E; zus the qualifier of set-point 0..127
    ELK_FREEZE = 7,    // type 101: the freeze qualifier list (quaidx)
    ELK_PARAMETER = 8, // POP, LPC; zus the kind of parameter 0..63
    ELK_FILE = 9,      // type 120: a file of the data directory
};
ElementKind ElementKindOf(int typ);

// The quality check boxes of a kind: the text of their items and the bits of qua they show,
// first box first (bit 7 downward; the fifth box of kind 2 is bit 0).
struct QualityBoxes {
    int text = 0;
    std::vector<uint8_t> bits;
};
QualityBoxes QualityBoxesOf(ElementKind k);

// The value format of a pick index from text 937 + index: the format digit, the range from the
// third character, the hint from the second.
enum ValueFormatKind : int { VAL_NONE = 0, VAL_DEC = 1, VAL_HEX = 2, VAL_BIN = 3, VAL_FLOAT = 5 };
struct ValueFormat {
    int kind = VAL_NONE;
    bool ranged = false; // the bounds differ
    long long lo = 0, hi = 0;
    std::string hint;
};
ValueFormat ValueFormatOf(int pick, const TextTable& texts);

} // namespace vdl

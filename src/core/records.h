// The telegram record and the operating parameters of a channel. Both are stored byte for
// byte in log files and parameter set files, so their layout is a file format: packed,
// little-endian, every offset checked at compile time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vdl {

static_assert(std::endian::native == std::endian::little,
              "the stored records are little-endian and read as bytes");

#pragma pack(push, 1)

// One 32-bit value seen in several ways (file and section lengths of file transfer use
// three of its octets).
union T_Var {
    int32_t l;
    uint32_t u;
    float sgl;
    uint32_t p; // a 32-bit reference in older files; never dereferenced
    uint16_t w[2];
    uint8_t ba[4];

    uint8_t b1() const { return ba[0]; }
    uint8_t b2() const { return ba[1]; }
    uint8_t b3() const { return ba[2]; }
    uint8_t b4() const { return ba[3]; }
    uint16_t lo() const { return w[0]; }
    uint16_t hi() const { return w[1]; }
    uint8_t f1() const { return ba[0]; }
    // 16 bits at bytes 1..2
    uint16_t mi() const { return static_cast<uint16_t>(ba[1] | (ba[2] << 8)); }
};
static_assert(sizeof(T_Var) == 4);

constexpr int kTeByteLen = 270;
using T_TeByte = uint8_t[kTeByteLen];
using T_TeLong = int32_t[68];
static_assert(sizeof(T_TeLong) == 272);

// A length-prefixed string of at most N characters (N + 1 bytes).
template <int N> struct T_ShortStr {
    uint8_t len;
    char ch[N];

    std::string str() const {
        int n = len > N ? N : len;
        return std::string(ch, static_cast<size_t>(n));
    }
    void set(std::string_view s) {
        size_t n = s.size() > static_cast<size_t>(N) ? static_cast<size_t>(N) : s.size();
        len = static_cast<uint8_t>(n);
        std::memcpy(ch, s.data(), n);
        if (n < static_cast<size_t>(N)) std::memset(ch + n, 0, static_cast<size_t>(N) - n);
    }
};

using T_AtStr = T_ShortStr<27>;
static_assert(sizeof(T_AtStr) == 28);

// One received frame, sent frame, text line, event or program message (302 bytes).
struct T_Telegramm {
    uint16_t lgv;  // length of the record stored before this one in the same log block
    uint16_t lga;  // stored length of this record: lg rounded up to even, plus 32
    uint8_t stat;  // status or event code
    uint8_t ta;    // frame kind
    int16_t lg;    // number of valid bytes in b
    double dt;     // day number: days since 30 Dec 1899, fraction = time of day
    int32_t nr;    // running number in the log
    uint16_t la;   // link address, or the value of an event
    uint16_t ca;   // common address
    uint8_t ek;    // channel and direction
    uint8_t lc;    // control field, or the single character itself
    uint8_t typ;   // type identification
    uint8_t struk; // variable structure qualifier
    uint8_t urs;   // first octet of the cause of transmission
    uint8_t f1;    // reserved
    union {
        T_TeByte b;
        T_TeLong lng; // the frame area as 32-bit values, reaching to the end of the record
    };

    // The frame area as a length-prefixed string (program messages).
    std::string s0() const { return std::string(reinterpret_cast<const char*>(b + 1), b[0]); }
    void setS0(std::string_view s) {
        size_t n = s.size() > 255 ? 255 : s.size();
        b[0] = static_cast<uint8_t>(n);
        std::memcpy(b + 1, s.data(), n);
        lg = static_cast<int16_t>(n + 1);
    }
    // Number of bytes of b that may be read: lg bounded by the frame area.
    int validLen() const { return lg < 0 ? 0 : (lg > kTeByteLen ? kTeByteLen : lg); }
};
static_assert(sizeof(T_Telegramm) == 302);
static_assert(offsetof(T_Telegramm, lgv) == 0);
static_assert(offsetof(T_Telegramm, lga) == 2);
static_assert(offsetof(T_Telegramm, stat) == 4);
static_assert(offsetof(T_Telegramm, ta) == 5);
static_assert(offsetof(T_Telegramm, lg) == 6);
static_assert(offsetof(T_Telegramm, dt) == 8);
static_assert(offsetof(T_Telegramm, nr) == 16);
static_assert(offsetof(T_Telegramm, la) == 20);
static_assert(offsetof(T_Telegramm, ca) == 22);
static_assert(offsetof(T_Telegramm, ek) == 24);
static_assert(offsetof(T_Telegramm, lc) == 25);
static_assert(offsetof(T_Telegramm, typ) == 26);
static_assert(offsetof(T_Telegramm, struk) == 27);
static_assert(offsetof(T_Telegramm, urs) == 28);
static_assert(offsetof(T_Telegramm, f1) == 29);
static_assert(offsetof(T_Telegramm, b) == 30);

// Frame kinds (ta).
enum : uint8_t {
    TA_NONE = 0,     // no valid start character seen
    TA_TEXT = 1,     // text line (ASCII mode, modem dialogue)
    TA_FIXED = 2,    // fixed frame, single character, or line-state event
    TA_VARIABLE = 3, // variable frame
    TA_INTERNAL = 4, // internal event or message (not counted in the statistics)
};

// Channel and direction (ek).
enum : uint8_t {
    EK_NONE = 0,
    EK_RX1 = 1,
    EK_TX1 = 2,
    EK_RX2 = 3,
    EK_TX2 = 4,
};

// Status and event codes (stat). Below 40 and not an event: an error of the frame.
enum StatCode : uint8_t {
    ST_LINE_ERROR = 1,         // parity, framing, overrun or break; code appended as last byte
    ST_NO_START = 5,           // bytes received outside any frame
    ST_START2 = 6,             // second start character differs
    ST_LENGTH2 = 7,            // the two length octets differ
    ST_FRAME_LENGTH = 8,       // wrong frame length
    ST_CHECKSUM = 9,           // checksum error
    ST_END_CHAR = 10,          // end character is not 0x16
    ST_E5_NOT_ALLOWED = 12,    // single character 0xE5 where it is not permitted
    ST_REPETITION = 14,        // frame count bit not toggled
    ST_FCB_BEFORE_RESET = 15,  // frame count bit checked before the link was reset
    ST_FCV_WRONG = 16,         // FCV does not fit the function, or broadcast with another fc
    ST_FUNCTION = 17,          // function code not permitted in this direction and mode
    ST_DIR_BIT = 18,           // direction bit wrong (balanced)
    ST_DFC_IN_RESPONSE = 19,   // data flow control bit set in a response
    ST_PRIMARY_AT_MASTER = 20, // primary frame while emulating the unbalanced controlling station
    ST_UNEXPECTED = 21,        // response without request, or secondary at the controlled station
    ST_FORMAT_FUNCTION = 22,   // frame format does not fit the function code
    ST_BUSY = 23,              // request while the own transmission was still in progress
    ST_STRUCT_CAUSE = 25,      // qualifier or cause not consistent with the type
    ST_ASDU_LENGTH = 26,       // ASDU length does not fit type and number of objects
    ST_CAUSE_27 = 27,          // cause not permitted for the type (graded)
    ST_LINK_ADDRESS = 29,      // link address not configured / not addressed to this station
    ST_RP_UNKNOWN_TYPE = 30,   // type not known in the rp57x modes
    ST_LINK_LOST = 32,         // event: link to a station lost; la = its link address
    ST_MESSAGE_IO = 33,        // message: file or input/output error text
    ST_FT_OFFER_RUNS = 34,     // file offer refused: an offer runs
    ST_FT_NOT_IN_DIR = 35,     // the selected file is not in the directory
    ST_FT_TOO_LONG = 36,       // file offer refused: file too long
    ST_FT_OTHER_FILE = 37,     // frame of another file or section
    ST_FT_NOT_EXPECTED = 38,   // frame not expected in the transfer's state
    ST_FT_CANNOT_OPEN = 39,    // file cannot be opened, or file transfer time-out
    ST_OK = 40,                // correct frame
    ST_CAUSE_41 = 41,          // cause not permitted for the type (graded)
    ST_UNKNOWN_TYPE = 42,      // type identification unknown
    ST_MODEM_LINE = 43,        // event: change on a monitored modem line; la = modem status
    ST_REMOTE_RESET = 44,      // event: the remote station reset this station's link
    ST_LINK_UP = 45,           // event: link to a station established
    ST_FT_END_TIMEOUT = 46,    // event: file transfer time-out at the end of a file
    ST_CAUSE_47 = 47,          // cause not permitted for the type (graded)
    ST_CHANNEL_OPEN = 48,      // event: channel opened; la = port number; counters in b
    ST_CHANNEL_CLOSE = 49,     // event: channel closed
    ST_RTS = 50,               // event: RTS switched; la = 1 on, 0 off
    ST_TEXT_LINE = 51,         // text line received or sent
    ST_MESSAGE_TEXT = 52,      // message: program text
    ST_TIMED_COMMAND = 53,     // time-tagged command type (58..64) accepted
};

// True for the codes that are events or messages built by the program, not frame verdicts.
constexpr bool IsEventStat(uint8_t s) {
    return s == ST_LINK_LOST || s == ST_MESSAGE_IO || (s >= 34 && s <= 39) ||
           (s >= 43 && s <= 52);
}

// Link addresses of the emulated or polled stations (36 bytes).
struct T_LinkAdr {
    uint16_t a[16]; // the entry after the last configured address holds the broadcast address
    int32_t anz;    // count of configured addresses, 1..15
};
static_assert(sizeof(T_LinkAdr) == 36);
static_assert(offsetof(T_LinkAdr, anz) == 32);
constexpr int kMaxLinkAdr = 15;

// Operating parameters of one channel (492 bytes).
struct T_BetriebsPar {
    int32_t lg;   // 492 (144: older, shorter form)
    int32_t ilo;  // dialog focus index
    int32_t pgi;  // dialog page last shown
    int32_t cnr;  // serial port number, 0 = none
    int32_t baud; // bit/s
    int32_t BaudI;
    T_LinkAdr la;
    int32_t tlg;   // maximum telegram length
    int32_t wh;    // repetitions after a missing acknowledgement
    int32_t qzt;   // acknowledgement time-out in ms; ASCII mode: character time-out
    int32_t zztl;  // cycle time of link re-establishment in s
    int32_t zztv;  // balanced: link test cycle in s (0 = none)
    int32_t pzt;   // reserved
    int32_t tv;    // RTS lead time in ms
    int32_t tn;    // RTS lag time in ms
    int32_t sverz; // send delay in ms
    int32_t f1;
    int32_t pro;  // 0 balanced, 1 unbalanced
    int32_t fkt;  // function of the channel, 0..6
    int32_t rb;   // direction bit sent in balanced mode
    int32_t abf;  // polling rule
    int32_t bcon; // confirm received commands automatically
    int32_t vwe5; // use of the single character 0xE5
    uint8_t pari; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t data; // data bits 5..8
    uint8_t stop; // stop bits 1 or 2
    uint8_t spik; // suppress spikes
    int32_t zztpoll; // unbalanced controlling station: poll cycle in ms
    int32_t f3;
    int32_t f4;
    uint8_t rts;   // RTS/DTR mode 0..7
    uint8_t paend; // watched modem lines: bit 7 DCD, bit 6 DSR, bit 5 CTS
    uint8_t f5;
    uint8_t f6;
    T_ShortStr<83> logtxt; // free text logged when the channel opens and closes
    uint8_t res[264];
};
static_assert(sizeof(T_BetriebsPar) == 492);
static_assert(offsetof(T_BetriebsPar, ilo) == 4);
static_assert(offsetof(T_BetriebsPar, pgi) == 8);
static_assert(offsetof(T_BetriebsPar, cnr) == 12);
static_assert(offsetof(T_BetriebsPar, baud) == 16);
static_assert(offsetof(T_BetriebsPar, BaudI) == 20);
static_assert(offsetof(T_BetriebsPar, la) == 24);
static_assert(offsetof(T_BetriebsPar, tlg) == 60);
static_assert(offsetof(T_BetriebsPar, wh) == 64);
static_assert(offsetof(T_BetriebsPar, qzt) == 68);
static_assert(offsetof(T_BetriebsPar, zztl) == 72);
static_assert(offsetof(T_BetriebsPar, zztv) == 76);
static_assert(offsetof(T_BetriebsPar, pzt) == 80);
static_assert(offsetof(T_BetriebsPar, tv) == 84);
static_assert(offsetof(T_BetriebsPar, tn) == 88);
static_assert(offsetof(T_BetriebsPar, sverz) == 92);
static_assert(offsetof(T_BetriebsPar, f1) == 96);
static_assert(offsetof(T_BetriebsPar, pro) == 100);
static_assert(offsetof(T_BetriebsPar, fkt) == 104);
static_assert(offsetof(T_BetriebsPar, rb) == 108);
static_assert(offsetof(T_BetriebsPar, abf) == 112);
static_assert(offsetof(T_BetriebsPar, bcon) == 116);
static_assert(offsetof(T_BetriebsPar, vwe5) == 120);
static_assert(offsetof(T_BetriebsPar, pari) == 124);
static_assert(offsetof(T_BetriebsPar, data) == 125);
static_assert(offsetof(T_BetriebsPar, stop) == 126);
static_assert(offsetof(T_BetriebsPar, spik) == 127);
static_assert(offsetof(T_BetriebsPar, zztpoll) == 128);
static_assert(offsetof(T_BetriebsPar, f3) == 132);
static_assert(offsetof(T_BetriebsPar, f4) == 136);
static_assert(offsetof(T_BetriebsPar, rts) == 140);
static_assert(offsetof(T_BetriebsPar, paend) == 141);
static_assert(offsetof(T_BetriebsPar, f5) == 142);
static_assert(offsetof(T_BetriebsPar, f6) == 143);
static_assert(offsetof(T_BetriebsPar, logtxt) == 144);
static_assert(offsetof(T_BetriebsPar, res) == 228);

constexpr int32_t kBetriebsParLen = 492;
constexpr int32_t kBetriebsParOldLen = 144;

// Functions of a channel (fkt).
enum : int32_t {
    FKT_MONITOR = 0,
    FKT_MASTER = 1, // emulate the controlling station (direction bit 1 in balanced mode)
    FKT_SLAVE = 2,  // emulate the controlled station
    FKT_FT12 = 3,   // FT 1.2 frames without the link layer checks
    FKT_ASCII = 4,  // text lines
    FKT_RP5 = 5,    // rp57x variant, 12-byte header
    FKT_RP6 = 6,    // rp57x variant, 16-byte header
};
enum : int32_t { PRO_BALANCED = 0, PRO_UNBALANCED = 1 };

// Modem settings of a channel (192 bytes).
struct T_Modem {
    int32_t id;
    int32_t ilo;
    uint8_t vorh; // the channel works through a modem
    uint8_t ata;
    uint8_t f1;
    uint8_t f2;
    int32_t stat;
    int32_t dauer; // maximum connection time in s (10..1000000)
    int32_t link;  // idle time-out of a connection in s (2..600)
    T_AtStr at[4];
    T_AtStr brk; // hang-up string ("break")
    T_AtStr connect;
};
static_assert(sizeof(T_Modem) == 192);
static_assert(offsetof(T_Modem, vorh) == 8);
static_assert(offsetof(T_Modem, stat) == 12);
static_assert(offsetof(T_Modem, dauer) == 16);
static_assert(offsetof(T_Modem, link) == 20);
static_assert(offsetof(T_Modem, at) == 24);
static_assert(offsetof(T_Modem, brk) == 136);
static_assert(offsetof(T_Modem, connect) == 164);

#pragma pack(pop)

// Takes a stored T_BetriebsPar: the current form of 492 bytes whole, the older form of 144
// bytes into the first 144 bytes only (the rest keeps its values). Returns false (and changes
// nothing) for any other stored length or a buffer too short for it.
bool ReadBetriebsPar(T_BetriebsPar& bp, const uint8_t* data, size_t size);

} // namespace vdl

// The telegram interpretation: one telegram record (a frame, a text line, an event or a
// message) becomes the text lines an engineer reads, in the chosen view format, each with its
// colour pair. It is a pull generator: StartTelegram prepares the work record, NextLine gives
// one line after the other until it returns an empty text.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/allg_var.h"
#include "core/channel.h"
#include "core/locale_formats.h"
#include "core/records.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vdl {

class ObjectTexts;

// View formats (format of T_ProgPar).
enum : int {
    VF_FULL = 3,    // full interpretation, long words
    VF_COMPACT = 4, // type, cause and common address on one line, short words
    VF_LINE = 5,    // one line per telegram, further objects on indented lines
    VF_BYTES = 6,   // header line and the frame bytes
    VF_CSV = 7,     // one separator-delimited line per information object
};

// Colour pairs of the display settings, by number.
enum : int {
    CP_BASE = 5,    // window text on window
    CP_ERROR = 6,   // telegrams with an error or without channel
    CP_EVENT = 7,   // internal records
    CP_QUALITY = 8, // quality highlight
};

// What the renderer reads besides the telegram. The records belong to the program; the view
// format, the time line and link line switches and the colour pairs are read from pp, so a
// change of the view takes effect with the next telegram.
struct RenderEnv {
    const TextTable* texts = nullptr;
    const T_AllgVar* av = nullptr;
    const T_AllgPar* ap = nullptr;
    const T_ProgPar* pp = nullptr;
    const T_ComVar* com[2] = {nullptr, nullptr};
    const ObjectTexts* objects = nullptr; // names and colours of objects (may be null)
    const LocaleFormats* loc = nullptr;
    int32_t oldestNr = 0; // number of the oldest telegram in the log (for the relative number)
    // The display filter's object criteria: true when object n (1-based) of te is shown.
    // Empty: every object is shown.
    std::function<bool(const T_Telegramm& te, int n)> objectFilter;
};

// The work record of the renderer for one telegram.
struct T_TeleAusgabe {
    const RenderEnv* env = nullptr;
    int32_t obji = -1;             // index of the current object in the object text table, -1 none
    int32_t oa_alt = -1;           // object address for which the colour was last chosen
    const T_ComVar* pcv = nullptr; // channel of the telegram
    int32_t pb = 0;                // read cursor: index into te.b
    int32_t oa = 0;                // object address of the current object
    int32_t znr = 0;               // lines asked for so far; selects the next line
    int32_t objnr = 0;             // current information object (1-based, 0 before the first)
    int32_t objanz = 0;            // number of objects (struk AND 0x7F)
    int32_t objzl = 0;             // number of objects rendered
    int32_t obja = 0;   // object to start with (0 = the first); set by the caller to page
    int32_t oalg = 0;   // width of the object address column
    int32_t lgztlk = 0; // indent of continuation lines in the one-line view
    int32_t tjs = 0;    // telegrams prepared with this record
    int32_t mwnr = 0, mwanz = 0, mwzl = 0; // packed value groups of the rp57x format
    int32_t anztxt = 0;                    // lines collected in TxtStr
    double dtalt = 0;                      // time of the telegram shown before (0 = none)
    int32_t ekalt = 0;                     // ek of the telegram shown before
    T_Telegramm te{};                      // copy of the telegram; lg and ek of the copy may change
    std::string ExpStr;                    // export: the telegram part of the first line
    std::string TxtStr;                    // all lines of the telegram, each ended by CR LF
    T_FarbIndex tcl{};                     // colour pair of the line last returned

    // Work state of the renderer.
    AsduLayout lay;            // the address layout of the telegram's rendering
    int32_t sek = 0;           // indent of a secondary frame in the label column
    int32_t lastOff = -1;      // element position of the previous object
    bool cut = false;          // the rest of the frame is shown as hexadecimal rows
    bool errByteTaken = false; // the line error code byte has been removed from the copy
};

// Prepares ctx (whose env must be set) for a telegram.
void StartTelegram(T_TeleAusgabe& ctx, const T_Telegramm& te);
// The next line; empty when the telegram is finished. A text may hold several lines separated
// by CR LF. ctx.tcl holds the colour pair of the returned line.
std::string NextLine(T_TeleAusgabe& ctx);
// All lines of the telegram into TxtStr (each ended by CR LF), counted in anztxt.
void CollectText(T_TeleAusgabe& ctx);

// The colour pair n (1..8) of the display settings; 0 for any other number.
T_FarbIndex ColourPair(const T_ProgPar& pp, int n);
// The mask of quality bits that call for the highlight pair, from the display settings' byte:
// bits 0 and 1 select the two time tag bits (14, 15), bit 2 the overflow bit (0).
uint16_t QualityHighlightMask(uint8_t m);

// The hexadecimal dump of up to 16 bytes: two digits per byte in groups of four, and the
// bytes as characters from column 52 ("." for control characters), 70 columns in all. A
// separator character other than 0 is shown as "." too, so that an export row keeps its columns.
std::string HexDump(const uint8_t* bytes, int n, char separator = 0);

} // namespace vdl

// The general settings, the filters and the program parameters. All of them travel in files
// (log headers, parameter sets, the settings file, named filter files) byte for byte.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace vdl {

#pragma pack(push, 1)

// Structure of a common or object address: up to five bit fields, the first the most
// significant.
struct T_AdrStruktur {
    int32_t anz;   // number of bit fields, 1..5
    int32_t fd[5]; // width in bits of field 1..anz
};
static_assert(sizeof(T_AdrStruktur) == 24);

// A colour pair: foreground and background index into the 20-colour palette, 0 = no colour.
struct T_FarbIndex {
    uint8_t fg;
    uint8_t hg;
    bool operator==(const T_FarbIndex&) const = default;
};
static_assert(sizeof(T_FarbIndex) == 2);

// Colour table by type identification or by cause of transmission.
struct T_TypUrsFarben {
    int32_t ilo; // dialog focus index
    int32_t itu;
    T_FarbIndex frb[256];
    int32_t lg; // 536
    uint8_t f1[12];
};
static_assert(sizeof(T_TypUrsFarben) == 536);
static_assert(offsetof(T_TypUrsFarben, frb) == 8);
static_assert(offsetof(T_TypUrsFarben, lg) == 520);
constexpr int32_t kTypUrsFarbenLen = 536;

// One row of a filter.
struct T_FilterZeile {
    int32_t feld; // field tested
    int32_t rel;  // 0 off, 1 matches, 2 does not match
    int32_t w1;
    int32_t vgl;  // 0 equal to w1, 1 equal to w1 or w2, 2 in the range w1..w2
    int32_t w2;
};
static_assert(sizeof(T_FilterZeile) == 20);
constexpr int kFilterRows = 17;

// A display or log filter (388 bytes).
struct T_Filter {
    uint16_t def;   // 1 when any criterion restricts (computed)
    uint16_t lg;    // 388 (set when written to a file)
    int32_t ilo;    // dialog focus index
    int32_t ekbits; // bit 0 rx 1, bit 1 tx 1, bit 2 rx 2, bit 3 tx 2; 0 = all
    double von;     // from-time
    double bis;     // to-time
    int32_t f0;
    int32_t anzz; // rows in use (computed)
    T_FilterZeile z[kFilterRows];
    uint8_t oaz;     // 1 + index of the first active row on an object address part (computed)
    uint8_t nameidx; // index of the named filter in the dialog's list, 255 none
    uint8_t f2[2];
    uint8_t aktiv;   // active
    uint8_t vonein;  // from-time in force
    uint8_t bisein;  // to-time in force
    uint8_t okein;   // show error-free telegrams
    uint8_t fehlein; // show erroneous telegrams
    uint8_t hinterla; // an active row tests a field behind the link address (computed)
    uint8_t qmask1;  // at least one of these quality bits must be set
    uint8_t qmask2;  // all of these quality bits must be clear
};
static_assert(sizeof(T_Filter) == 388);
static_assert(offsetof(T_Filter, ekbits) == 8);
static_assert(offsetof(T_Filter, von) == 12);
static_assert(offsetof(T_Filter, bis) == 20);
static_assert(offsetof(T_Filter, anzz) == 32);
static_assert(offsetof(T_Filter, z) == 36);
static_assert(offsetof(T_Filter, oaz) == 376);
static_assert(offsetof(T_Filter, nameidx) == 377);
static_assert(offsetof(T_Filter, aktiv) == 380);
static_assert(offsetof(T_Filter, okein) == 383);
static_assert(offsetof(T_Filter, hinterla) == 385);
static_assert(offsetof(T_Filter, qmask1) == 386);
static_assert(offsetof(T_Filter, qmask2) == 387);
constexpr uint16_t kFilterLen = 388;

// General settings (1000 bytes).
struct T_AllgPar {
    int32_t lg;     // 1000
    int32_t ilo;    // dialog focus index
    int32_t lgla;   // link address length in octets 0..2
    int32_t mitori; // 1 = two-octet cause of transmission (with originator address)
    int32_t lgca;   // common address length (derived from castr)
    int32_t lgoa;   // object address length (derived from oastr)
    T_AdrStruktur castr;
    T_AdrStruktur oastr;
    int32_t DatAdr;  // file transfer: directory address choice
    int32_t Timeout; // file transfer: time-out 3..255
    int32_t Abruf;   // file transfer: call choice
    int32_t IDX;     // file transfer: index file choice
    int32_t MaxLog;  // log size in units of 1000 KiB
    int32_t mwvoll;  // raw value of 100 % for normalised values
    T_Filter afilt;  // display filter
    T_Filter lfilt;  // log filter
    uint8_t SZt;     // check box of text 624
    uint8_t Gen;     // substitute-time bit in send lists
    uint8_t res[126];
};
static_assert(sizeof(T_AllgPar) == 1000);
static_assert(offsetof(T_AllgPar, lgla) == 8);
static_assert(offsetof(T_AllgPar, mitori) == 12);
static_assert(offsetof(T_AllgPar, lgca) == 16);
static_assert(offsetof(T_AllgPar, lgoa) == 20);
static_assert(offsetof(T_AllgPar, castr) == 24);
static_assert(offsetof(T_AllgPar, oastr) == 48);
static_assert(offsetof(T_AllgPar, DatAdr) == 72);
static_assert(offsetof(T_AllgPar, Timeout) == 76);
static_assert(offsetof(T_AllgPar, Abruf) == 80);
static_assert(offsetof(T_AllgPar, IDX) == 84);
static_assert(offsetof(T_AllgPar, MaxLog) == 88);
static_assert(offsetof(T_AllgPar, mwvoll) == 92);
static_assert(offsetof(T_AllgPar, afilt) == 96);
static_assert(offsetof(T_AllgPar, lfilt) == 484);
static_assert(offsetof(T_AllgPar, afilt) + offsetof(T_Filter, aktiv) == 476);
static_assert(offsetof(T_AllgPar, lfilt) + offsetof(T_Filter, aktiv) == 864);
static_assert(offsetof(T_AllgPar, SZt) == 872);
static_assert(offsetof(T_AllgPar, Gen) == 873);
constexpr int32_t kAllgParLen = 1000;

// Display settings of the log view (36 bytes).
struct T_AusgPar {
    int32_t size;      // font size
    uint16_t version;  // block version, 2
    uint8_t quamask;   // quality highlight mask
    uint8_t f1;
    int32_t ilo;       // dialog focus index
    int32_t leerzl;    // telegram gap in percent of the line height, 0..200
    T_FarbIndex ek[4]; // pairs for ek 1..4
    T_FarbIndex basis; // window text on window: background, header and date lines
    T_FarbIndex fehler;  // telegrams with an error or without channel
    T_FarbIndex intern;  // internal records (ta = 4)
    T_FarbIndex quali;   // quality highlight
    uint8_t f2[4];
};
static_assert(sizeof(T_AusgPar) == 36);
static_assert(offsetof(T_AusgPar, ek) == 16);

// Program parameters, the content of the settings file (4360 bytes).
struct T_ProgPar {
    uint32_t magic;  // 0x56000101
    int32_t lg;      // 4360
    int32_t mark;    // 16
    int32_t f0;
    int32_t format;  // view format 3..7
    int32_t seliw;   // width of the send list editor window
    int32_t sprache; // language index: 0 German, 1 English
    uint8_t opt[16]; // option bytes
    int32_t ausgart; // output kind of the export/print dialog
    int32_t drucker; // printer index
    int32_t f1;
    int32_t anzmruold;
    int32_t wtop, wleft, wheight, wwidth, wstate; // main window position
    T_AusgPar ausg;
    // The station image window: its place, its column widths (width / 2 each) and whether
    // they are stored, and whether the columns keep fixed widths (0: automatic widths).
    int32_t abbtop, abbleft, abbheight, abbwidth;
    uint8_t abbbreite[16];
    uint8_t abbfest;
    uint8_t abbbrok;
    uint8_t f2[51];
    uint8_t abbild;    // station image window open
    uint8_t f3[2];
    uint8_t online;    // go online at start
    uint8_t onlausg;   // online display shown
    uint8_t zeitzl;    // time line on
    uint8_t linkzl;    // link line on
    uint8_t DataDirOld[256];   // data directory of older versions (length-prefixed)
    uint8_t f4[256];
    uint8_t mruold[8][256];    // recently used files of older versions
    uint8_t f5[512];
    T_TypUrsFarben frbtyp;     // colour table by type identification
    T_TypUrsFarben frburs;     // colour table by cause of transmission
    uint8_t f6[8];
};
static_assert(sizeof(T_ProgPar) == 4360);
static_assert(offsetof(T_ProgPar, format) == 16);
static_assert(offsetof(T_ProgPar, seliw) == 20);
static_assert(offsetof(T_ProgPar, sprache) == 24);
static_assert(offsetof(T_ProgPar, opt) == 28);
static_assert(offsetof(T_ProgPar, ausgart) == 44);
static_assert(offsetof(T_ProgPar, drucker) == 48);
static_assert(offsetof(T_ProgPar, anzmruold) == 56);
static_assert(offsetof(T_ProgPar, wtop) == 60);
static_assert(offsetof(T_ProgPar, ausg) == 80);
static_assert(offsetof(T_ProgPar, abbtop) == 116);
static_assert(offsetof(T_ProgPar, abbbreite) == 132);
static_assert(offsetof(T_ProgPar, abbfest) == 148);
static_assert(offsetof(T_ProgPar, abbild) == 201);
static_assert(offsetof(T_ProgPar, online) == 204);
static_assert(offsetof(T_ProgPar, onlausg) == 205);
static_assert(offsetof(T_ProgPar, zeitzl) == 206);
static_assert(offsetof(T_ProgPar, linkzl) == 207);
static_assert(offsetof(T_ProgPar, DataDirOld) == 208);
static_assert(offsetof(T_ProgPar, mruold) == 720);
static_assert(offsetof(T_ProgPar, frbtyp) == 3280);
static_assert(offsetof(T_ProgPar, frburs) == 3816);
constexpr uint32_t kProgParMagic = 0x56000101;
constexpr int32_t kProgParLen = 4360;

#pragma pack(pop)

// The built-in defaults of each record.
T_AllgPar DefaultAllgPar();
T_AusgPar DefaultAusgPar();
T_ProgPar DefaultProgPar();
T_TypUrsFarben DefaultTypUrsFarben();

} // namespace vdl

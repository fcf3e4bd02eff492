// A program's worth of records for rendering tests: a small text table of readable words, plain
// or structured address settings, two channels, an object text table and a fixed locale.
#pragma once

#include "asdu/asdu_header.h"
#include "asdu/asdu_layout.h"
#include "asdu/object_texts.h"
#include "asdu/renderer.h"
#include "core/channel.h"
#include "core/locale_formats.h"
#include "support/fake_messages.h"
#include "support/frames.h"

#include <map>
#include <string>
#include <vector>

namespace vdl::test {

// The words the rendering tests expect, by text number.
std::map<int, std::string> RenderWords();

struct RenderFixture {
    RenderFixture();

    // Addresses without structure: common address 16 bits, object address 8 * lgoa bits.
    void PlainAddresses(int lgla = 1, int mitori = 0, int lgca = 2, int lgoa = 3);
    void SetFormat(int format, bool timeLine = true, bool linkLine = true);

    // A record of the bytes with its header decoded, stat, channel and a time stamp.
    T_Telegramm Rec(const Bytes& b, uint8_t stat = ST_OK, uint8_t ek = EK_RX1) const;
    // A variable frame of the standard layout with the given ASDU octets after the header.
    Bytes Frame(int typ, uint8_t struk, uint8_t cot, uint32_t ca, const Bytes& objects,
                uint8_t lc = 0x08, uint32_t la = 1) const;
    // The object address in lgoa octets.
    Bytes Ioa(uint32_t ioa) const;

    // All lines of a telegram, and the colour pair of each.
    std::vector<std::string> Lines(const T_Telegramm& te);
    std::vector<T_FarbIndex> colours;

    FakeMessages msg;
    TextTable texts;
    T_AllgVar av;
    T_AllgPar ap;
    T_ProgPar pp;
    T_ComVar com[2];
    T_TypUrsFarben pft{};
    T_TypUrsFarben pfu{};
    ObjectTexts objects;
    FixedLocale loc{"dd/mm/yyyy", "d/mm/yyyy", "hh:nn:ss", '.', ':', NumberFormat{',', '.'}};
    RenderEnv env;
    T_TeleAusgabe ctx;
    double dt; // time stamp of Rec: 4 March 2015 12:34:56.789
};

// Splits a line at the separator into fields (the field after the last separator is dropped).
std::vector<std::string> CsvFields(const std::string& line, char tz = ';');

} // namespace vdl::test

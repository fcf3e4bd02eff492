#include "asdu/link_line.h"

#include "asdu/interp_words.h"
#include "core/format.h"

namespace vdl {

namespace {

// A frame of one byte is the single character; its byte stands in lc.
bool IsSingleChar(const T_Telegramm& te) {
    return te.lg == 1;
}

} // namespace

std::string ControlFlags(const TextTable& t, uint8_t lc, int pro) {
    int a = pro == 1 ? 384 : 378;
    int b = (lc & 0x40) ? a + 2 : a + 4;
    std::string s;
    s += t.tx(a);
    s += (lc & 0x80) ? '1' : '0';
    s += t.tx(a + 1);
    s += (lc & 0x40) ? '1' : '0';
    s += t.tx(b);
    s += (lc & 0x20) ? '1' : '0';
    s += t.tx(b + 1);
    s += (lc & 0x10) ? '1' : '0';
    return s;
}

std::string LinkLineText(const TextTable& t, const T_Telegramm& te, int pro, int lgla, int indent) {
    std::string s = LabelColumn(t.tx(406), indent);
    if (IsSingleChar(te)) {
        s += t.tx(62);
        s += Hex2(te.lc);
        return s;
    }
    int f = te.lc & 0x0F;
    int name = (pro != 0 ? 30 : 2125) + f + ((te.lc & 0x40) ? 0 : 16);
    if (lgla != 0) {
        s += t.tx(65);
        s += std::to_string(te.la);
        s += "   ";
    }
    s += t.tx(64);
    s += std::to_string(f);
    s += '=';
    s += t.tx(name);
    s += t.tx(392);
    s += Hex2(te.lc);
    s += ControlFlags(t, te.lc, pro);
    return s;
}

std::string LinkShortForm(const T_Telegramm& te, int lgla) {
    int w = lgla == 1 ? 3 : (lgla == 2 ? 5 : 0);
    std::string adr;
    if (lgla != 0 && !IsSingleChar(te)) adr = std::to_string(te.la);
    // "$" is fixed here: the short form is a layout, not the configurable prefix.
    return Format("%*s $%2.2x  ", {w, adr, static_cast<int>(te.lc)});
}

} // namespace vdl

#include "render_fixture.h"

#include "core/clock.h"

namespace vdl::test {

std::map<int, std::string> RenderWords() {
    std::map<int, std::string> m = StandardLinkTexts();
    for (const auto& kv : StandardCauseTexts()) m.insert(kv);
    std::map<int, std::string> w = {
        {26, "."},
        {1227, " bit"},
        // header, status
        {1175, "Sys"},
        {1176, "Rx1"},
        {1177, "Tx1"},
        {1178, "Rx2"},
        {1179, "Tx2"},
        {390, ": "},
        {441, "checksum wrong"},
        {433, "line error"},
        {437, "no start"},
        {458, "length"},
        {472, "ok"},
        {474, "unknown type"},
        {477, "link up"},
        {485, "msg"},
        {482, "RTS="},
        {475, "Modem "},
        {917, "CTS="},
        {918, "DSR="},
        {919, "RI="},
        {920, "DCD="},
        {1388, "E0"},
        {1389, " parity"},
        {1390, " framing"},
        {2008, "sent text"},
        {2009, "received text"},
        // link line
        {406, "Link"},
        {62, "single char "},
        {64, "FC"},
        {65, "LA="},
        {392, " CF=$"},
        {378, " DIR="},
        {379, " PRM="},
        {380, " FCB="},
        {381, " FCV="},
        {382, " ACD="},
        {383, " DFC="},
        {384, " RES="},
        {385, " PRM="},
        {386, " FCB="},
        {387, " FCV="},
        {388, " ACD="},
        {389, " DFC="},
        // ASDU, cause, common address, object lines
        {403, "ASDU"},
        {402, "Cause"},
        {404, "CA"},
        {405, "Obj"},
        {70, "Type "},
        {71, "M_SP  single point"},
        {79, "M_ME_NA  normalised value"},
        {83, "M_ME_NC  short float"},
        {100, "M_SP_TB  single point with time"},
        {430, " in sequence"},
        {431, " objects"},
        {199, "T "},
        {201, "neg "},
        {202, "unused  not used"},
        {203, "per  periodic"},
        {205, "spont  spontaneous"},
        {208, "act  activation"},
        {222, "inro  interrogated"},
        {267, " orig "},
        {1373, "C"},
        {1374, "T"},
        {1375, "N"},
        {1376, "o"},
        // element words
        {284, "OFF "},
        {285, "ON "},
        {286, "IND "},
        {287, "OFF "},
        {288, "ON "},
        {289, "ERR "},
        {270, "invalid "},
        {271, "not topical "},
        {272, "substituted "},
        {273, "blocked "},
        {274, "reserved "},
        {275, "IV "},
        {276, "NT "},
        {277, "SB "},
        {278, "BL "},
        {279, "RES "},
        {280, "overflow "},
        {281, "OV "},
        {290, "transient "},
        {291, "T "},
        {292, "DoW"},
        {269, "SU "},
        {282, "EI "},
        {283, "t="},
        {343, "invalid "},
        {344, "adjusted "},
        {345, "carry "},
        {346, "Seq="},
        {354, "IV "},
        {355, "CA "},
        {356, "CY "},
        {357, "SQ="},
        {300, "SRD "},
        {301, "SIE "},
        {302, "SL3 "},
        {303, "SL2 "},
        {304, "SL1 "},
        {305, "GS "},
        {306, "CL3 "},
        {307, "CL2 "},
        {308, "CL1 "},
        {309, "GC "},
        {310, "select "},
        {311, "execute "},
        {358, "S "},
        {359, "E "},
        {312, "qualifier "},
        {313, "QU="},
        {314, "short "},
        {315, "long "},
        {316, "persistent "},
        {317, "not allowed "},
        {318, "lower "},
        {319, "higher "},
        {320, "not allowed "},
        {321, "changed"},
        {323, "power on"},
        {324, "manual reset"},
        {325, "remote reset"},
        {326, "station"},
        {327, "group "},
        {328, "kind "},
        {329, "K="},
        {330, "POP "},
        {331, "LPC "},
        {334, "QL="},
        {335, "threshold"},
        {336, "smoothing"},
        {337, "low limit"},
        {338, "high limit"},
        {339, "test"},
        {340, "act1"},
        {341, "act2"},
        {342, "act3"},
        {347, "read"},
        {348, "freeze"},
        {349, "freeze and reset"},
        {350, "reset"},
        {351, "general"},
        {352, "group "},
        {353, "reset process"},
        {391, "no request"},
        {1229, " ms"},
        {366, "NOF="},
        {367, "NOS="},
        {368, "L="},
        {369, " FRQ=$"},
        {370, " SRQ=$"},
        {371, " SCQ=$"},
        {372, " LSQ=$"},
        {373, " CHS=$"},
        {374, " AFQ=$"},
        {375, " SOF=$"},
        {2083, " ready"},
        {2084, " not ready"},
        {2087, " select file"},
        {2094, " file transfer without deactivation"},
        {2098, " positive file"},
        // one-line view, object texts
        {1172, ";"},
        {1129, "CACOL"},
        {1369, "Lines: "},
        {1372, "%s: %d lines, %d faulty:%s"},
        {1914, "cannot read %s"},
    };
    for (auto& kv : w) m[kv.first] = kv.second;
    for (int f = 0; f < 16; ++f) {
        m[30 + f] = "uP" + std::to_string(f);
        m[46 + f] = "uS" + std::to_string(f);
        m[2125 + f] = "bP" + std::to_string(f);
        m[2141 + f] = "bS" + std::to_string(f);
    }
    return m;
}

RenderFixture::RenderFixture() : texts(MakeTexts(RenderWords())) {
    ap = DefaultAllgPar();
    pp = DefaultProgPar();
    ap.mwvoll = 32767;
    InitChannelRecords(com[0], com[1]);
    av.pft = &pft;
    av.pfu = &pfu;
    av.FltQuaFrb = QualityHighlightMask(pp.ausg.quamask);
    PlainAddresses();
    env.texts = &texts;
    env.av = &av;
    env.ap = &ap;
    env.pp = &pp;
    env.com[0] = &com[0];
    env.com[1] = &com[1];
    env.objects = &objects;
    env.loc = &loc;
    env.oldestNr = 1;
    ctx.env = &env;
    dt = EncodeDateTime(2015, 3, 4, 12, 34, 56, 789);
}

void RenderFixture::PlainAddresses(int lgla, int mitori, int lgca, int lgoa) {
    ap.lgla = lgla;
    ap.mitori = mitori;
    ap.castr = T_AdrStruktur{1, {8 * lgca, 0, 0, 0, 0}};
    ap.oastr = T_AdrStruktur{1, {8 * lgoa, 0, 0, 0, 0}};
    DeriveAsduLayout(av, ap);
    objects.InvalidateCaCache();
}

void RenderFixture::SetFormat(int format, bool timeLine, bool linkLine) {
    pp.format = format;
    pp.zeitzl = timeLine ? 1 : 0;
    pp.linkzl = linkLine ? 1 : 0;
}

T_Telegramm RenderFixture::Rec(const Bytes& b, uint8_t stat, uint8_t ek) const {
    T_Telegramm te = Record(b);
    DecodeHeader(te, FKT_MONITOR, LayoutOf(ap));
    te.stat = stat;
    te.ek = ek;
    te.dt = dt;
    te.nr = 1;
    return te;
}

Bytes RenderFixture::Ioa(uint32_t ioa) const {
    Bytes b;
    for (int i = 0; i < ap.lgoa; ++i) b.push_back(static_cast<uint8_t>(ioa >> (8 * i)));
    return b;
}

Bytes RenderFixture::Frame(int typ, uint8_t struk, uint8_t cot, uint32_t ca, const Bytes& objs,
                           uint8_t lc, uint32_t la) const {
    Bytes a{static_cast<uint8_t>(typ), struk, cot};
    if (ap.mitori) a.push_back(0x07);
    for (int i = 0; i < ap.lgca; ++i) a.push_back(static_cast<uint8_t>(ca >> (8 * i)));
    a.insert(a.end(), objs.begin(), objs.end());
    return Variable(lc, la, a, ap.lgla);
}

std::vector<std::string> RenderFixture::Lines(const T_Telegramm& te) {
    std::vector<std::string> out;
    colours.clear();
    StartTelegram(ctx, te);
    for (int i = 0; i < 1000; ++i) {
        std::string s = NextLine(ctx);
        if (s.empty()) break;
        out.push_back(s);
        colours.push_back(ctx.tcl);
    }
    return out;
}

std::vector<std::string> CsvFields(const std::string& line, char tz) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t p; (p = line.find(tz, start)) != std::string::npos; start = p + 1)
        f.push_back(line.substr(start, p - start));
    return f;
}

} // namespace vdl::test

#include "link/channel_params.h"

#include <cmath>

namespace vdl {

namespace {

bool IsRunChar(char c, char khex) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == khex;
}

// Converts one run; false when it is not a number of its kind.
bool ConvertRun(const std::string& run, char khex, uint32_t& v) {
    bool hex = !run.empty() && run[0] == khex;
    std::string digits = hex ? run.substr(1) : run;
    if (digits.empty() || digits.size() > 8) return false;
    v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    }
    return true;
}

int32_t UsableBaud(int32_t baud) { return baud > 0 ? baud : 9600; }

} // namespace

LinkAddressList ParseLinkAddressList(const std::string& text, char khex, int lgla) {
    LinkAddressList out;
    uint32_t broadcast = BroadcastLinkAddress(lgla);
    size_t i = 0;
    while (i < text.size() && out.addresses.size() < static_cast<size_t>(kMaxLinkAdr)) {
        while (i < text.size() && !IsRunChar(text[i], khex)) ++i;
        if (i >= text.size()) break;
        size_t start = i;
        while (i < text.size() && IsRunChar(text[i], khex)) ++i;
        uint32_t v = 0;
        if (!ConvertRun(text.substr(start, i - start), khex, v)) break;
        if (v >= broadcast) {
            out.valid = false;
            v = broadcast;
        }
        out.addresses.push_back(static_cast<uint16_t>(v));
    }
    return out;
}

void StoreLinkAddresses(const LinkAddressList& list, int lgla, T_LinkAdr& la) {
    la = T_LinkAdr{};
    int n = static_cast<int>(list.addresses.size());
    if (n > kMaxLinkAdr) n = kMaxLinkAdr;
    for (int k = 0; k < n; ++k) la.a[k] = list.addresses[static_cast<size_t>(k)];
    la.anz = n;
    la.a[n] = BroadcastLinkAddress(lgla);
}

std::string LinkAddressText(const T_LinkAdr& la) {
    std::string s;
    int n = la.anz < 0 ? 0 : (la.anz > kMaxLinkAdr ? kMaxLinkAdr : la.anz);
    for (int k = 0; k < n; ++k) {
        if (k) s += ' ';
        s += std::to_string(la.a[k]);
    }
    return s;
}

int32_t ProposedTimeout(int32_t fkt, int32_t baud, int32_t tlg) {
    double b = UsableBaud(baud);
    if (fkt == FKT_ASCII) return static_cast<int32_t>(std::lround(11000.0 / b)) + 2;
    return static_cast<int32_t>(std::lround((tlg * 11000.0 + 77000.0) / b + 100.0));
}

bool CharacterFormatEditable(int32_t fkt, bool formatFree) {
    return formatFree || fkt == FKT_FT12 || fkt == FKT_ASCII;
}

void ApplyCharacterFormatRule(T_BetriebsPar& bp, bool formatFree) {
    if (bp.fkt == FKT_ASCII || formatFree) return;
    bp.pari = 2; // even
    bp.data = 8;
    bp.stop = 1;
    if (bp.tlg < 24) bp.tlg = 24;
}

} // namespace vdl

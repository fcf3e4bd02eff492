#include "decode_input.h"

#include "asdu/address_text.h"
#include "link/channel_init.h"
#include "link/channel_params.h"

#include <algorithm>
#include <cstdio>

namespace vdl::cli {

namespace {

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

bool ParseInt(const std::string& s, int lo, int hi, int& out) {
    if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    int v = std::stoi(s);
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

// Receives the records the receiver logs.
class CollectHooks : public RxHooks {
public:
    explicit CollectHooks(const std::function<void(const T_Telegramm&, int)>& f) : f_(f) {}
    void Log(T_ComVar&, const T_Telegramm& te) override { f_(te, line); }
    int line = 0;

private:
    const std::function<void(const T_Telegramm&, int)>& f_;
};

} // namespace

bool ParseDecodeInput(std::istream& in, std::vector<DecodeBlock>& out, std::string& error) {
    out.clear();
    std::string text;
    int lineNo = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (auto hash = text.find('#'); hash != std::string::npos) {
            if (text.find_first_not_of(" \t") == hash) continue; // a comment line
            text.erase(hash);
        }
        DecodeBlock b;
        b.line = lineNo;
        // Tokens separated by blanks.
        std::vector<std::string> tokens;
        size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
            size_t j = i;
            while (j < text.size() && text[j] != ' ' && text[j] != '\t') ++j;
            if (j > i) tokens.push_back(text.substr(i, j - i));
            i = j;
        }
        if (tokens.empty()) {
            b.pause = true;
            out.push_back(std::move(b));
            continue;
        }
        size_t first = 0;
        // Only the lower-case forms name a channel: "C1" is the byte 0xC1.
        if (tokens[0] == "c1" || tokens[0] == "c2") {
            b.channel = tokens[0] == "c2" ? 1 : 0;
            first = 1;
        }
        for (size_t k = first; k < tokens.size(); ++k) {
            const std::string& tok = tokens[k];
            bool ok = tok.size() % 2 == 0;
            for (size_t p = 0; ok && p < tok.size(); p += 2) {
                int hi = HexDigit(tok[p]), lo = HexDigit(tok[p + 1]);
                if (hi < 0 || lo < 0)
                    ok = false;
                else
                    b.bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
            }
            if (!ok) {
                error = "line " + std::to_string(lineNo) + ": '" + tok +
                        "' is not a sequence of hexadecimal byte pairs";
                return false;
            }
        }
        if (b.bytes.empty()) {
            error = "line " + std::to_string(lineNo) + ": a channel without bytes";
            return false;
        }
        out.push_back(std::move(b));
    }
    return true;
}

const std::vector<std::string>& DecodeValueOptions() {
    static const std::vector<std::string> v = {
        "function",   "procedure",    "link-addresses", "link-address-length",
        "cot-length", "ca-structure", "ioa-structure",  "vwe5",
        "texts"};
    return v;
}

const std::vector<std::string>& DecodeFlagOptions() {
    static const std::vector<std::string> v = {"emulate", "spikes"};
    return v;
}

const char* DecodeOptionsUsage() {
    return "      --function 0..6                  function of both channels (default 0, monitor)\n"
           "      --procedure balanced|unbalanced  transmission procedure (default unbalanced)\n"
           "      --link-addresses 1,2,3           link addresses of the stations\n"
           "      --link-address-length 0|1|2      link address octets (default 1)\n"
           "      --cot-length 1|2                 cause of transmission octets (default 1)\n"
           "      --ca-structure 8.8               common address structure (default 8.8)\n"
           "      --ioa-structure 8.8.8            object address structure (default 8.8.8)\n"
           "      --vwe5 0..3                      use of the single character E5 (default 1)\n"
           "      --emulate                        judge as the emulated station of function\n"
           "                                       and procedure (default: monitor)\n"
           "      --spikes                         suppress spikes\n"
           "      --texts DIR                      directory of the program texts";
}

std::string DecodeTextsDir(const Options& o) {
    std::string dir = o.Has("texts") ? o.Get("texts") : ProgramDir();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

bool ApplyDecodeOptions(const Options& o, Program& p, std::string& error) {
    T_AllgPar& ap = p.ap;
    int v = 0;
    if (o.Has("link-address-length")) {
        if (!ParseInt(o.Get("link-address-length"), 0, 2, v)) {
            error = "--link-address-length must be 0, 1 or 2";
            return false;
        }
        ap.lgla = v;
    }
    if (o.Has("cot-length")) {
        if (!ParseInt(o.Get("cot-length"), 1, 2, v)) {
            error = "--cot-length must be 1 or 2";
            return false;
        }
        ap.mitori = v - 1;
    }
    if (o.Has("ca-structure") && !ParseAdrStruktur(o.Get("ca-structure"), 16, ap.castr)) {
        error = "--ca-structure: widths of at least 1 bit adding up to 8 or 16, at most 5";
        return false;
    }
    if (o.Has("ioa-structure") && !ParseAdrStruktur(o.Get("ioa-structure"), 24, ap.oastr)) {
        error = "--ioa-structure: widths of at least 1 bit adding up to 8, 16 or 24, at most 5";
        return false;
    }
    for (T_ComVar& c : p.com) {
        T_BetriebsPar& bp = c.bp;
        if (o.Has("function")) {
            if (!ParseInt(o.Get("function"), 0, 6, v)) {
                error = "--function must be 0..6";
                return false;
            }
            bp.fkt = v;
        }
        if (o.Has("procedure")) {
            const std::string s = o.Get("procedure");
            if (s != "balanced" && s != "unbalanced") {
                error = "--procedure must be balanced or unbalanced";
                return false;
            }
            bp.pro = s == "balanced" ? PRO_BALANCED : PRO_UNBALANCED;
        }
        if (o.Has("vwe5")) {
            if (!ParseInt(o.Get("vwe5"), 0, 3, v)) {
                error = "--vwe5 must be 0..3";
                return false;
            }
            bp.vwe5 = v;
        }
        if (o.Has("link-addresses")) {
            const std::string s = o.Get("link-addresses");
            LinkAddressList list = ParseLinkAddressList(s, '$', ap.lgla);
            const size_t given = static_cast<size_t>(std::count(s.begin(), s.end(), ',')) + 1;
            if (!list.valid || list.addresses.empty() || list.addresses.size() != given) {
                error = "--link-addresses: 1 to 15 numbers separated by commas, each below the "
                        "broadcast address";
                return false;
            }
            StoreLinkAddresses(list, ap.lgla, bp.la);
        }
        if (o.Has("spikes")) bp.spik = 1;
    }
    for (T_ComVar& c : p.com) {
        InitChannel(c, p.av, p.ap);
        if (!o.Has("emulate")) c.se.sim = SIM_NONE;
    }
    return true;
}

void RunDecode(Program& p, const std::vector<DecodeBlock>& blocks,
               const std::function<void(const T_Telegramm&, int)>& onRecord) {
    DecodeClock clock;
    CollectHooks hooks(onRecord);
    const RxEnv env{clock, p.av, p.ap, p.texts, hooks};
    auto pause = [&] {
        clock.ms += std::max(p.com[0].em.TOut, p.com[1].em.TOut) + 1;
        for (T_ComVar& c : p.com) ReceiveTick(c, env);
    };
    for (const DecodeBlock& b : blocks) {
        hooks.line = b.line;
        if (b.pause) {
            pause();
            continue;
        }
        T_ComVar& c = p.com[b.channel];
        // The port service hands over at most 269 bytes at a time.
        for (size_t off = 0; off < b.bytes.size(); off += 269) {
            c.em.fehl = 0;
            ReceiveBlock(c, env, b.bytes.data() + off, std::min<size_t>(269, b.bytes.size() - off));
        }
    }
    hooks.line = 0;
    pause();
}

std::string HexBytes(const uint8_t* b, int n) {
    std::string s;
    char buf[4];
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", b[i]);
        if (i) s += ' ';
        s += buf;
    }
    return s;
}

} // namespace vdl::cli

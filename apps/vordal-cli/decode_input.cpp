#include "decode_input.h"

#include "asdu/address_text.h"
#include "link/channel_init.h"
#include "link/channel_params.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <tuple>

namespace vdl::cli {

namespace {

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

constexpr int64_t kMsPerDayInt = 86400000;

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// "@SECONDS[.fraction]" or "@H:MM:SS[.fraction]" as milliseconds from midnight, the fraction
// rounded to milliseconds; -1 for anything else.
int64_t ParseTime(std::string_view tok) {
    tok.remove_prefix(1);
    const size_t dot = tok.find_first_of(".,");
    std::string_view whole = tok.substr(0, dot);
    int64_t ms = 0;
    if (dot != std::string_view::npos) {
        std::string_view frac = tok.substr(dot + 1);
        if (!AllDigits(frac) || frac.size() > 9) return -1;
        std::string f(frac);
        f.resize(4, '0');
        ms = (std::stoi(f) + 5) / 10; // 0..1000
    }
    if (whole.find(':') == std::string_view::npos) {
        if (!AllDigits(whole) || whole.size() > 9) return -1;
        return std::stoll(std::string(whole)) * 1000 + ms;
    }
    const size_t c1 = whole.find(':'), c2 = whole.find(':', c1 + 1);
    if (c2 == std::string_view::npos) return -1;
    std::string_view h = whole.substr(0, c1), m = whole.substr(c1 + 1, c2 - c1 - 1),
                     sec = whole.substr(c2 + 1);
    if (!AllDigits(h) || h.size() > 2 || !AllDigits(m) || m.size() != 2 || !AllDigits(sec) ||
        sec.size() != 2)
        return -1;
    const int hh = std::stoi(std::string(h)), mm = std::stoi(std::string(m)),
              ss = std::stoi(std::string(sec));
    if (hh > 23 || mm > 59 || ss > 59) return -1;
    return ((hh * 60 + mm) * 60 + ss) * int64_t{1000} + ms;
}

// Receives the records the receiver logs.
class CollectHooks : public RxHooks {
public:
    CollectHooks(const std::function<void(const T_Telegramm&, int)>& f, Clock* stamps)
        : f_(f), stamps_(stamps) {}
    void Log(T_ComVar&, const T_Telegramm& te) override {
        if (!stamps_) return f_(te, line);
        T_Telegramm copy = te;
        copy.dt = stamps_->LocalNow();
        f_(copy, line);
    }
    int line = 0;

private:
    const std::function<void(const T_Telegramm&, int)>& f_;
    Clock* stamps_;
};

} // namespace

bool InputIsTimed(const std::vector<DecodeBlock>& blocks) {
    return std::any_of(blocks.begin(), blocks.end(),
                       [](const DecodeBlock& b) { return b.ms >= 0; });
}

bool ParseDecodeInput(std::istream& in, std::vector<DecodeBlock>& out, const Invocation& inv,
                      std::string& error) {
    out.clear();
    std::string text;
    int lineNo = 0;
    int64_t lastMs = 0;
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
        if (tokens[0][0] == '@') {
            b.ms = ParseTime(tokens[0]);
            if (b.ms < 0) {
                error = inv.Say(inv.tx(2217), {lineNo, Shown(tokens[0])});
                return false;
            }
            // A recording that runs past midnight goes on with the next day.
            while (b.ms < lastMs) b.ms += kMsPerDayInt;
            lastMs = b.ms;
            first = 1;
        }
        // Only the lower-case forms name a channel: "C1" is the byte 0xC1.
        if (first < tokens.size() && (tokens[first] == "c1" || tokens[first] == "c2")) {
            b.channel = tokens[first] == "c2" ? 1 : 0;
            ++first;
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
                error = inv.Say(inv.tx(2215), {lineNo, Shown(tok)});
                return false;
            }
        }
        if (b.bytes.empty()) {
            error = inv.Say(inv.tx(2216), {lineNo});
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
    return "      --function 0..6                  function of both channels (default 0, monitor;\n"
           "                                       5 and 6 the rp57x frame formats)\n"
           "      --procedure balanced|unbalanced  transmission procedure (default unbalanced)\n"
           "      --link-addresses 1,2,3           link addresses of the stations\n"
           "      --link-address-length 0|1|2      link address octets (default 1)\n"
           "      --cot-length 1|2                 cause of transmission octets (default 1)\n"
           "      --ca-structure 8.8               common address structure (default 8.8)\n"
           "      --ioa-structure 8.8.8            object address structure (default 8.8.8)\n"
           "      --vwe5 0..3                      single character E5: 0 never, 1 and 2 for\n"
           "                                       the positive acknowledgement, 3 also for\n"
           "                                       \"no data\" (default 1)\n"
           "      --emulate                        judge as the emulated station of function\n"
           "                                       and procedure (default: monitor)\n"
           "      --spikes                         suppress spikes\n"
           "      --texts DIR                      directory of the program texts";
}

bool LoadCommandTexts(const Invocation& inv, Program& p) {
    return p.LoadLanguage(inv.LangOf(inv.TextsDir()));
}

bool ApplyDecodeOptions(const Invocation& inv, Program& p) {
    const Options& o = inv.opt();
    T_AllgPar& ap = p.ap;
    long long lgla = ap.lgla, cot = ap.mitori + 1;
    if (!inv.Number("link-address-length", 0, 2, lgla, "0|1|2") ||
        !inv.Number("cot-length", 1, 2, cot, "1|2"))
        return false;
    ap.lgla = static_cast<int32_t>(lgla);
    ap.mitori = static_cast<int32_t>(cot - 1);
    // The structures as the usage writes them: widths separated by points, nothing else.
    for (auto [name, bits, hint] :
         {std::tuple{"ca-structure", 16, 595}, {"ioa-structure", 24, 598}}) {
        if (!o.Has(name)) continue;
        const std::string s = o.Get(name);
        T_AdrStruktur& st = bits == 16 ? ap.castr : ap.oastr;
        if (s.find_first_not_of("0123456789.") != std::string::npos || s.front() == '.' ||
            s.back() == '.' || s.find("..") != std::string::npos ||
            !ParseAdrStruktur(s, bits, st)) {
            inv.BadValue(name, inv.tx(hint));
            return false;
        }
    }
    long long fkt = 0, vwe5 = 0;
    int pro = 0;
    if (!inv.Number("function", 0, 6, fkt) ||
        !inv.Choice("procedure", {"balanced", "unbalanced"}, pro) ||
        !inv.Number("vwe5", 0, 3, vwe5))
        return false;
    for (T_ComVar& c : p.com) {
        T_BetriebsPar& bp = c.bp;
        if (o.Has("function")) bp.fkt = static_cast<int32_t>(fkt);
        if (o.Has("procedure")) bp.pro = pro == 0 ? PRO_BALANCED : PRO_UNBALANCED;
        if (o.Has("vwe5")) bp.vwe5 = static_cast<int32_t>(vwe5);
        if (o.Has("link-addresses")) {
            const std::string s = o.Get("link-addresses");
            LinkAddressList list = ParseLinkAddressList(s, '$', ap.lgla);
            const size_t given = static_cast<size_t>(std::count(s.begin(), s.end(), ',')) + 1;
            if (!list.valid || list.addresses.empty() || list.addresses.size() != given) {
                const long long broadcast = ap.lgla == 2 ? 65535 : 255;
                inv.BadValue("link-addresses",
                             "N,N,... (1..15, each 0.." + std::to_string(broadcast - 1) + ")");
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
               const std::function<void(const T_Telegramm&, int)>& onRecord, double day) {
    DecodeClock clock;
    clock.start = day;
    CollectHooks hooks(onRecord, InputIsTimed(blocks) ? &clock : nullptr);
    const RxEnv env{clock, p.av, p.ap, p.texts, hooks};
    const int64_t timeout = std::max(p.com[0].em.TOut, p.com[1].em.TOut) + 1;
    auto tick = [&] {
        for (T_ComVar& c : p.com) ReceiveTick(c, env);
    };
    for (const DecodeBlock& b : blocks) {
        hooks.line = b.line;
        if (b.pause) {
            clock.ms += timeout;
            tick();
            continue;
        }
        if (b.ms > clock.ms) {
            // A quiet line closes what was received before when its time-out ends.
            if (b.ms >= clock.ms + timeout) {
                clock.ms += timeout;
                tick();
            }
            clock.ms = b.ms;
        }
        T_ComVar& c = p.com[b.channel];
        // The port service hands over at most 269 bytes at a time.
        for (size_t off = 0; off < b.bytes.size(); off += 269) {
            c.em.fehl = 0;
            ReceiveBlock(c, env, b.bytes.data() + off, std::min<size_t>(269, b.bytes.size() - off));
        }
    }
    hooks.line = 0;
    clock.ms += timeout;
    tick();
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

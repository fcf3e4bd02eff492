// vordal-cli emulate: the channels go online and run the link procedure of their function
// (the controlling station polls its stations); output and log as in monitor. Options without
// a prefix set both channels, --ch1-NAME or --ch2-NAME one of them.
#include "cli.h"
#include "decode_input.h"
#include "emulate_modem.h"
#include "online_run.h"

#include "app/demo_line.h"
#include "app/main_commands.h"
#include "link/channel_init.h"
#include "link/channel_params.h"
#include "send/feedback_files.h"
#include "send/list_files.h"
#include "send/sete_files.h"

#include <QCoreApplication>
#include <QTimer>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>

namespace vdl::cli {

namespace {

// One option of a channel: its name, its usage line, what values it takes (for the message
// that refuses a bad one) and how a value is applied (false for a bad value).
struct ChannelOption {
    std::string name;
    std::string usage;
    std::string valid;
    std::function<bool(const std::string&, T_ComVar&, const T_AllgPar&)> apply;
};

// The usage line of an option; a help of several lines ("\n") goes on below its first line.
std::string UsageLine(const std::string& name, const std::string& arg, const std::string& help) {
    std::string u = "      --" + name + " " + arg;
    u += std::string(u.size() < 39 ? 39 - u.size() : 1, ' ');
    for (char ch : help) u += ch == '\n' ? "\n" + std::string(39, ' ') : std::string(1, ch);
    return u + "\n";
}

// A numeric parameter of the channel within lo..hi.
template <typename T>
ChannelOption Num(const std::string& name, const std::string& arg, long long lo, long long hi,
                  T T_BetriebsPar::*field, const std::string& help) {
    return {name, UsageLine(name, arg, help), std::to_string(lo) + ".." + std::to_string(hi),
            [=](const std::string& v, T_ComVar& c, const T_AllgPar&) {
                long long n = 0;
                if (!ParseNumber(v, lo, hi, n)) return false;
                c.bp.*field = static_cast<T>(n);
                return true;
            }};
}

ChannelOption Custom(const std::string& name, const std::string& arg, const std::string& help,
                     std::function<bool(const std::string&, T_ComVar&, const T_AllgPar&)> f) {
    return {name, UsageLine(name, arg, help), arg, std::move(f)};
}

bool Procedure(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    if (v != "balanced" && v != "unbalanced") return false;
    c.bp.pro = v == "balanced" ? PRO_BALANCED : PRO_UNBALANCED;
    return true;
}

bool Parity(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    static const char* names[] = {"none", "odd", "even", "mark", "space"};
    for (uint8_t i = 0; i < 5; ++i)
        if (v == names[i]) {
            c.bp.pari = i;
            return true;
        }
    return false;
}

bool LinkAddresses(const std::string& v, T_ComVar& c, const T_AllgPar& ap) {
    LinkAddressList list = ParseLinkAddressList(v, '$', ap.lgla);
    const size_t given = static_cast<size_t>(std::count(v.begin(), v.end(), ',')) + 1;
    if (v.find_first_not_of("0123456789,") != std::string::npos || !list.valid ||
        list.addresses.empty() || list.addresses.size() != given)
        return false;
    // One station per address: a second one would never be told apart from the first.
    std::vector<uint16_t> sorted = list.addresses;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return false;
    StoreLinkAddresses(list, ap.lgla, c.bp.la);
    return true;
}

bool LinkTest(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    std::array<bool, LT_COUNT> lt{};
    std::istringstream in(v);
    for (std::string item; std::getline(in, item, ',');) {
        long long n = 0;
        if (!ParseNumber(item, 0, LT_COUNT - 1, n)) return false;
        lt[static_cast<size_t>(n)] = true;
    }
    c.se.lt = lt;
    return true;
}

// The options of a channel. A new option is one line here.
const std::vector<ChannelOption>& ChannelOptions() {
    using B = T_BetriebsPar;
    static const std::vector<ChannelOption> v = {
        Num("function", "0..6", 0, 6, &B::fkt,
            "function: 0 monitor (default), 1 controlling,\n2 controlled station, 3 FT 1.2 "
            "without link\nchecks, 4 text lines, 5 and 6 rp57x"),
        Custom("procedure", "balanced|unbalanced", "transmission procedure (default unbalanced)",
               Procedure),
        Custom("link-addresses", "N,N,...", "link addresses of the stations (1..15 of them)",
               LinkAddresses),
        Num("baud", "N", 50, 4000000, &B::baud, "baud rate (default 9600)"),
        Custom("parity", "none|odd|even|mark|space", "parity (default even)", Parity),
        Num("wh", "N", 0, 65535, &B::wh, "repetitions after a missing answer"),
        Num("qzt", "MS", 1, 65535, &B::qzt, "time-out of an answer in ms"),
        Num("zztl", "S", 1, 100, &B::zztl,
            "pause in s after a negative acknowledgement\nor DFC; balanced: also before a "
            "lost link\nis asked for again (default 10)"),
        Num("zztpoll", "MS", 0, 30000, &B::zztpoll, "poll cycle of the controlling station, ms"),
        Num("zztv", "S", 0, 30000, &B::zztv, "balanced: link test cycle in s (0 none)"),
        Num("sverz", "MS", 0, 5000, &B::sverz, "send delay in ms"),
        Num("tv", "MS", 0, 65535, &B::tv, "RTS lead time in ms"),
        Num("tn", "MS", 0, 65535, &B::tn, "RTS lag time in ms"),
        Num("rts", "0..7", 0, 7, &B::rts, "RTS/DTR mode"),
        Num("rb", "0|1", 0, 1, &B::rb,
            "balanced: direction bit sent (default 1 for function 1, 0 for 2)"),
        Num("abf", "0|1", 0, 1, &B::abf, "1: always poll class 1 data"),
        Num("bcon", "0|1", 0, 1, &B::bcon, "1: confirm received commands"),
        Num("vwe5", "0..3", 0, 3, &B::vwe5,
            "single character E5: 0 never, 1 and 2 for\nthe positive acknowledgement, 3 also "
            "for\n\"no data\" (default 1)"),
        Custom("link-test", "0..12,...", "link test switches on from the start", LinkTest),
        // The modem file first, so that the single settings override it.
        Custom("modem", "FILE", "dial through a modem: its settings file", ModemFileOption),
        Custom("modem-connect", "TEXT", "modem: the connect message (default CONNECT)",
               ModemConnectOption),
        Custom("modem-hangup", "TEXT", "modem: hang-up string (default +++ATH)", ModemHangupOption),
        Custom("modem-max", "10..1000000", "modem: longest connection in s (3600)", ModemMaxOption),
        Custom("modem-idle", "2..600", "modem: idle time-out in s (60)", ModemIdleOption),
    };
    return v;
}

// --telegram N=FILE and --list N=FILE: a text file for telegram or list N (1..12).
bool TelegramOption(const std::string& v, int& n, std::string& file) {
    const size_t eq = v.find('=');
    long long k = 0;
    if (eq == std::string::npos || !ParseNumber(v.substr(0, eq), 1, kSeTeCount, k)) return false;
    n = static_cast<int>(k);
    file = v.substr(eq + 1);
    return !file.empty();
}

// --request telegram:N[@SECONDS] or list:N[@SECONDS]: the operator's send request of telegram
// or list N that many seconds (with up to three decimals) after going online.
bool RequestOption(const std::string& v, int& n, int& ms, bool* list = nullptr) {
    const std::string telegram = "telegram:", listWord = "list:";
    const bool isList = v.compare(0, listWord.size(), listWord) == 0;
    if (!isList && v.compare(0, telegram.size(), telegram) != 0) return false;
    if (list) *list = isList;
    const std::string rest = v.substr(isList ? listWord.size() : telegram.size());
    const size_t at = rest.find('@');
    long long k = 0;
    if (!ParseNumber(rest.substr(0, at), 1, kSeTeCount, k)) return false;
    n = static_cast<int>(k);
    ms = 0;
    if (at == std::string::npos) return true;
    const std::string s = rest.substr(at + 1);
    const size_t dot = s.find('.');
    long long whole = 0, frac = 0;
    if (!ParseNumber(s.substr(0, dot), 0, 1000000, whole) || (!s.empty() && s[0] == '-'))
        return false;
    if (dot != std::string::npos) {
        std::string f = s.substr(dot + 1);
        if (f.empty() || f.size() > 3 || f.find_first_not_of("0123456789") != std::string::npos)
            return false;
        f.resize(3, '0');
        frac = std::stoll(f);
    }
    ms = static_cast<int>(whole * 1000 + frac);
    return true;
}

// --offer NOF[@SECONDS]: offer file NOF (1..65535) of the data directory that many seconds
// (with up to three decimals) after going online.
bool OfferOption(const std::string& v, int& nof, int& ms) {
    const size_t at = v.find('@');
    long long k = 0;
    if (!ParseNumber(v.substr(0, at), 1, 65535, k)) return false;
    nof = static_cast<int>(k);
    ms = 0;
    int one = 0;
    return at == std::string::npos || RequestOption("telegram:1@" + v.substr(at + 1), one, ms);
}

constexpr int kTxNoTelegramFile = 2357;
constexpr int kTxNoTelegramHeader = 2359;
constexpr int kTxNoFileToOffer = 2226;

// Loads the telegram text files of --telegram. 0, or 1 after the message of a file that cannot
// be read or holds fewer than two lines.
int LoadTelegrams(const Invocation& in, Program& p) {
    for (const std::string& v : in.opt().GetAll("telegram")) {
        int n = 0;
        std::string file, error;
        TelegramOption(v, n, file);
        T_SeTe& t = p.sete.at(n);
        // The editor keeps a telegram whose file has no valid header as it was; on the command
        // line that would send the telegram that happened to be there, so the file is refused.
        std::vector<std::string> lines;
        T_SeTe probe = t;
        if (ReadSendTextLines(file, lines, error) && lines.size() >= 2 &&
            !ReadSeTeHeader(lines[0], probe, SeTeTextEnv{p.av, p.ap}))
            return in.Fail(1, in.Say(in.tx(kTxNoTelegramHeader), {Shown(file)}));
        if (!LoadSeTeFile(file, t, SeTeTextEnv{p.av, p.ap}, error))
            return in.Fail(1, error.empty() ? in.Say(in.tx(kTxNoTelegramFile), {Shown(file)})
                                            : ShownText(error));
        p.send->StationFromLinkAddress(t);
        if (t.typ == PT_FILE) p.send->ReloadRawFile(n);
    }
    return 0;
}

// Loads the list text files of --list (rows beyond 3000 go on into the next lists) and the
// feedback text file of --feedback. 0, or 1 after the message of a file that cannot be read.
int LoadListsAndFeedback(const Invocation& in, Program& p) {
    for (const std::string& v : in.opt().GetAll("list")) {
        int n = 0;
        std::string file;
        TelegramOption(v, n, file);
        if (!ImportListFile(*p.lists, file, n)) return in.Fail(1, Shown(file));
    }
    if (in.opt().Has("feedback")) {
        std::string error;
        const std::string file = in.opt().Get("feedback");
        if (!LoadFeedbackFile(file, p.rmTab, SeTeTextEnv{p.av, p.ap}, false, error))
            return in.Fail(1, error.empty() ? Shown(file) : ShownText(error));
    }
    return 0;
}

const char* kPrefixes[2] = {"ch1-", "ch2-"};

std::vector<std::string> ChannelOptionNames() {
    std::vector<std::string> names;
    for (const ChannelOption& c : ChannelOptions()) {
        names.push_back(c.name);
        for (const char* pre : kPrefixes) names.push_back(pre + c.name);
    }
    return names;
}

// Applies the channel options: those without a prefix to both channels first, then those of
// one channel. False after refusing a bad value.
bool ApplyChannelOptions(const Invocation& in, Program& p) {
    const Options& o = in.opt();
    for (int pass = 0; pass < 3; ++pass) {
        for (const ChannelOption& opt : ChannelOptions()) {
            const std::string name = pass == 0 ? opt.name : kPrefixes[pass - 1] + opt.name;
            if (!o.Has(name)) continue;
            for (int i = 0; i < 2; ++i) {
                if (pass != 0 && pass != i + 1) continue;
                if (!opt.apply(o.Get(name), p.com[i], p.ap)) {
                    in.BadValue(name, opt.valid);
                    return false;
                }
            }
        }
    }
    return true;
}

// The command strings for the modems: --modem-send for both channels, --ch1-modem-send or
// --ch2-modem-send for one; each makes its channel work through a modem. False after refusing
// a value.
bool ModemSends(const Invocation& in, Program& p, ModemSender* sender) {
    const std::string names[3] = {"modem-send", kPrefixes[0] + std::string("modem-send"),
                                  kPrefixes[1] + std::string("modem-send")};
    for (int pass = 0; pass < 3; ++pass) {
        for (const std::string& v : in.opt().GetAll(names[pass])) {
            TimedCommand cmd;
            if (!ParseTimedCommand(v, cmd)) {
                in.BadValue(names[pass], "TEXT[@SECONDS]");
                return false;
            }
            for (int i = 0; i < 2; ++i) {
                if (pass != 0 && pass != i + 1) continue;
                p.com[i].wm.vorh = 1;
                if (sender) sender->Add(i, cmd);
            }
        }
    }
    return true;
}

// Every value is checked before the program starts.
int Check(const Invocation& in, Program& scratch) {
    const Options& o = in.opt();
    // A modem file that is missing or none ends with 1, as a parameter set file does.
    for (const std::string name : {"modem", "ch1-modem", "ch2-modem"}) {
        if (!o.Has(name)) continue;
        if (int rc = in.CheckInputFile(o.Get(name)); rc != 0) return rc;
        if (!ModemFileOption(o.Get(name), scratch.com[0], scratch.ap))
            return in.Fail(1, in.Say(in.tx(2360), {Shown(o.Get(name))}));
    }
    if (!ApplyChannelOptions(in, scratch)) return kExitRefused;
    if (!ModemSends(in, scratch, nullptr)) return kExitRefused;
    if (o.Has("params"))
        if (int rc = in.CheckInputFile(o.Get("params")); rc != 0) return rc;
    for (const std::string& v : o.GetAll("telegram")) {
        int n = 0;
        std::string file;
        if (!TelegramOption(v, n, file)) return in.BadValue("telegram", "N=FILE (N 1..12)");
        if (int rc = in.CheckInputFile(file); rc != 0) return rc;
    }
    for (const std::string& v : o.GetAll("list")) {
        int n = 0;
        std::string file;
        if (!TelegramOption(v, n, file)) return in.BadValue("list", "N=FILE (N 1..12)");
        if (int rc = in.CheckInputFile(file); rc != 0) return rc;
    }
    if (o.Has("feedback"))
        if (int rc = in.CheckInputFile(o.Get("feedback")); rc != 0) return rc;
    for (const std::string& v : o.GetAll("request")) {
        int n = 0, ms = 0;
        if (!RequestOption(v, n, ms))
            return in.BadValue("request", "telegram:N[@SECONDS] or list:N[@SECONDS] (N 1..12)");
    }
    if (int rc = CheckDataDir(in); rc != 0) return rc;
    for (const std::string& v : o.GetAll("offer")) {
        int nof = 0, ms = 0;
        if (!OfferOption(v, nof, ms)) return in.BadValue("offer", "NOF[@SECONDS] (NOF 1..65535)");
    }
    return 0;
}

std::string Usage() {
    std::string u = "  emulate --port1 DEV [--port2 DEV] [OPTIONS]\n"
                    "  emulate --demo [OPTIONS]\n"
                    "                          go online and run the link procedure of each "
                    "channel's\n"
                    "                          function (1: the controlling station polls its "
                    "stations,\n"
                    "                          2: the controlled station answers; with "
                    "--procedure\n"
                    "                          balanced either station of balanced "
                    "transmission);\n"
                    "                          output and log as in monitor; exit 0 at the "
                    "end, 1 when\n"
                    "                          a port cannot be opened, 2 for bad options.\n"
                    "                          --demo: channel 1 polls channel 2 on a virtual "
                    "line of\n"
                    "                          the program's own (the options below change "
                    "it)\n"
                    "    channel options (for both channels; --ch1-NAME or --ch2-NAME for one):\n";
    for (const ChannelOption& c : ChannelOptions()) u += c.usage;
    u += "    other options:\n"
         "      --params FILE                    parameter set file (channel parameters);\n"
         "                                       the options above override it\n"
         "      --data-dir DIR                   data directory (settings, automatic log);\n"
         "                                       made when it does not exist\n"
         "      --modem-send TEXT[@SECONDS]      send TEXT to the modem (a dial command, for\n"
         "                                       example) SECONDS after going online (default\n"
         "                                       0); may be given more than once; also\n"
         "                                       --ch1-modem-send, --ch2-modem-send\n"
         "      --summary                        at the end one JSON line: per channel its\n"
         "                                       telegram counters, per station its link\n"
         "                                       state and the number of links lost\n"
         "      --telegram N=FILE                load a telegram text file into send\n"
         "                                       telegram N (1..12); repeatable\n"
         "      --list N=FILE                    load a list text file into send list N\n"
         "                                       (1..12; rows beyond 3000 go on into the\n"
         "                                       next lists); repeatable\n"
         "      --feedback FILE                  load a command feedback text file (its\n"
         "                                       first line switches the feedback on)\n"
         "      --request telegram:N[@SECONDS]   send telegram N, as the operator asks for it,\n"
         "                                       SECONDS after going online (default 0);\n"
         "                                       repeatable; refused requests are said on\n"
         "                                       standard error, questions declined\n"
         "                or list:N[@SECONDS]     start send list N the same way\n"
         "      --offer NOF[@SECONDS]            offer file NOF of the data directory\n"
         "                                       (file transfer) on each emulating channel,\n"
         "                                       SECONDS after going online (default 0);\n"
         "                                       files received are written into the data\n"
         "                                       directory\n";
    // The channel options above are not listed again among the shared ones; --emulate says
    // nothing here, every channel of emulate runs the procedure of its function.
    std::vector<std::string> shown = {"emulate"};
    for (const ChannelOption& c : ChannelOptions()) shown.push_back(c.name);
    return u + OnlineOptionsUsage(shown);
}

// What the summary counts while the command runs: links lost per channel and link address.
struct Summary {
    std::map<std::pair<int, uint16_t>, int> lost;

    void Logged(const T_Telegramm& te) {
        if (te.stat == ST_LINK_LOST && (te.ek == EK_TX1 || te.ek == EK_TX2))
            ++lost[{te.ek == EK_TX1 ? 0 : 1, te.la}];
    }

    nlohmann::json Json(Program& p) const {
        nlohmann::json channels = nlohmann::json::array();
        for (int i = 0; i < 2; ++i) {
            const T_ComVar& c = p.com[i];
            std::array<int32_t, 4> n{};
            if (p.svc && p.svc->hooks.counters) n = p.svc->hooks.counters(c);
            nlohmann::json ch;
            ch["channel"] = i + 1;
            ch["fkt"] = c.bp.fkt;
            ch["received"] = n[0];
            ch["receivedErrors"] = n[1];
            ch["sent"] = n[2];
            ch["sentErrors"] = n[3];
            nlohmann::json st = nlohmann::json::array();
            const bool emulating = c.se.sim != SIM_NONE && c.bp.cnr != 0;
            for (int k = 0; emulating && k < c.bp.la.anz && k < kMaxLinkAdr; ++k) {
                const uint16_t la = c.bp.la.a[k];
                // A balanced station has one link of its own: established, or paused after a
                // negative acknowledgement.
                const bool up = c.se.sim == SIM_BALANCED
                                    ? k == 0 && (c.se.lks == 1 || c.se.lks == 5)
                                    : ((c.se.uslstat >> k) & 1) == 0;
                nlohmann::json s;
                s["la"] = la;
                s["link"] = up ? "up" : "down";
                auto it = lost.find({i, la});
                s["linksLost"] = it == lost.end() ? 0 : it->second;
                st.push_back(s);
            }
            ch["stations"] = st;
            channels.push_back(ch);
        }
        nlohmann::json j;
        j["summary"]["channels"] = channels;
        return j;
    }
};

int RunEmulate(const Args& args) {
    Summary summary;
    ModemSender sender;
    OnlineCommand e;
    e.name = "emulate";
    e.usage = Usage();
    e.values = ChannelOptionNames();
    e.values.push_back("params");
    e.values.push_back("data-dir");
    for (const char* name : {"modem-send", "ch1-modem-send", "ch2-modem-send"})
        e.values.push_back(name);
    e.values.push_back("telegram");
    e.values.push_back("request");
    e.values.push_back("list");
    e.values.push_back("feedback");
    e.values.push_back("offer");
    e.flags = {"summary"};
    e.demo = true;
    e.check = Check;
    e.beforeRun = UseDataDir;
    e.configure = [&](const Invocation& in, Program& p) {
        if (in.opt().Has("demo")) EnterDemo(p);
        if (in.opt().Has("params")) {
            // The loader says what is wrong with a file that is no parameter set.
            if (!p.LoadParamSet(in.opt().Get("params"))) return 1;
            // The options given override the file.
            if (!ApplyDecodeOptions(in, p)) return kExitRefused;
        }
        if (!ApplyChannelOptions(in, p)) return kExitRefused;
        // A balanced station sends the direction bit of its function unless told otherwise.
        for (int i = 0; i < 2; ++i) {
            T_BetriebsPar& bp = p.com[i].bp;
            if (!in.opt().Has("rb") && !in.opt().Has(kPrefixes[i] + std::string("rb")))
                bp.rb = bp.fkt == FKT_MASTER ? 1 : 0;
        }
        if (!ModemSends(in, p, &sender)) return kExitRefused;
        sender.Install(p);
        for (T_ComVar& c : p.com) InitChannel(c, p.av, p.ap);
        if (int rc = LoadTelegrams(in, p); rc != 0) return rc;
        if (int rc = LoadListsAndFeedback(in, p); rc != 0) return rc;
        // A file to offer must be there now: later its absence would only be logged.
        for (const std::string& v : in.opt().GetAll("offer")) {
            int nof = 0, ms = 0;
            OfferOption(v, nof, ms);
            const std::string file = p.av.DataDir + std::to_string(nof);
            std::error_code ec;
            if (!std::filesystem::exists(file, ec))
                return in.Fail(1, in.Say(in.tx(kTxNoFileToOffer), {Shown(file)}));
        }
        // Stops all sending: the telegrams' link addresses follow the channels now.
        p.InitChannels();
        return 0;
    };
    e.online = [](const Invocation& in, Program& p) {
        for (const std::string& v : in.opt().GetAll("request")) {
            int n = 0, ms = 0;
            bool list = false;
            RequestOption(v, n, ms, &list);
            // Precise: a coarse timer may fire a twentieth of its time early.
            QTimer::singleShot(ms, Qt::PreciseTimer, QCoreApplication::instance(), [&p, n, list] {
                if (list)
                    StartListCommand(p, n);
                else
                    SendTelegramCommand(p, n);
            });
        }
        for (const std::string& v : in.opt().GetAll("offer")) {
            int nof = 0, ms = 0;
            OfferOption(v, nof, ms);
            QTimer::singleShot(ms, Qt::PreciseTimer, QCoreApplication::instance(), [&p, nof] {
                // As a send telegram of type 120 would: to the channel's first station.
                for (T_ComVar& c : p.com)
                    if (c.se.sim != SIM_NONE && c.se.open)
                        p.files->Offer(c, static_cast<uint16_t>(nof), c.bp.la.a[0], 1, 0);
            });
        }
    };
    e.logged = [&](const Program&, const T_Telegramm& te) { summary.Logged(te); };
    e.finish = [&](const Invocation& in, Program& p) {
        if (in.opt().Has("summary")) std::cout << summary.Json(p).dump() << std::endl;
    };
    return RunOnline(args, e);
}

const CliCommand reg("emulate", Usage(), RunEmulate);

} // namespace

} // namespace vdl::cli

#include "log_settings.h"

#include "asdu/address_text.h"
#include "log/log_store.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace vdl::cli {

LogSettings SettingsIn(const Program& p) {
    return {p.ap, {p.com[0].bp, p.com[1].bp}};
}

void PutSettings(Program& p, const LogSettings& s) {
    p.ap = s.ap;
    p.com[0].bp = s.bp[0];
    p.com[1].bp = s.bp[1];
}

const std::vector<std::string>& LoggedOptions() {
    static const std::vector<std::string> v = {"link-address-length", "cot-length", "ca-structure",
                                               "ioa-structure",       "function",   "procedure",
                                               "link-addresses",      "vwe5",       "spikes"};
    return v;
}

std::string LoggedValue(const std::string& option, const LogSettings& s, int ch,
                        const TextTable& t) {
    const T_AllgPar& ap = s.ap;
    const T_BetriebsPar& bp = s.bp[ch];
    if (option == "link-address-length") return std::to_string(ap.lgla);
    if (option == "cot-length") return std::to_string(ap.mitori + 1);
    if (option == "ca-structure") return AdrStrukturText(ap.castr, t);
    if (option == "ioa-structure") return AdrStrukturText(ap.oastr, t);
    if (option == "function") return std::to_string(bp.fkt);
    if (option == "procedure") return bp.pro == PRO_BALANCED ? "balanced" : "unbalanced";
    if (option == "vwe5") return std::to_string(bp.vwe5);
    if (option == "spikes") return bp.spik ? "on" : "off";
    if (option == "link-addresses") {
        std::string v;
        for (int i = 0; i < std::clamp(bp.la.anz, 0, kMaxLinkAdr); ++i)
            v += (i ? "," : "") + std::to_string(bp.la.a[i]);
        return v;
    }
    return {};
}

SettingDifference FirstDifference(const LogSettings& log, const LogSettings& run,
                                  const TextTable& t) {
    for (const std::string& option : LoggedOptions()) {
        for (int ch = 0; ch < 2; ++ch) {
            std::string was = LoggedValue(option, log, ch, t);
            std::string now = LoggedValue(option, run, ch, t);
            if (was != now) return {option, ch, was, now};
        }
    }
    return {};
}

namespace {
constexpr int kTxLogSetAside = 2221;    // Format(log, option, its value, the run's, copy)
constexpr int kTxLogCannotAside = 2222; // Format(log, copy, reason)
constexpr int kTxLogOtherLayout = 2223; // Format(log, option, its value, the run's)
} // namespace

int SettleRunLog(const Invocation& in, Program& p, const LogSettings& logged, bool hadRecords,
                 bool named, std::string& aside) {
    if (!p.log->IsOpen() || !hadRecords) return 0; // no record reads otherwise
    const LogSettings run = SettingsIn(p);
    const SettingDifference d = FirstDifference(logged, run, p.texts);
    if (d.option.empty()) return 0;
    const std::string option = "--" + std::string(d.channel == 1 ? "ch2-" : "") + d.option;
    const std::string name = p.log->Name();
    PutSettings(p, logged);
    if (named)
        return in.Refuse(
            in.Say(in.tx(kTxLogOtherLayout), {Shown(name), option, d.was, option + " " + d.now}));
    p.log->CloseLog();
    aside = FreeSideName(name, ".kept", true);
    std::error_code ec;
    std::filesystem::rename(name, aside, ec);
    if (ec)
        return in.Fail(1,
                       in.Say(in.tx(kTxLogCannotAside), {Shown(name), Shown(aside), ec.message()}));
    PutSettings(p, run);
    p.OpenLogFile(name, false);
    in.Fail(0, in.Say(in.tx(kTxLogSetAside),
                      {Shown(name), option, d.was, option + " " + d.now, Shown(aside)}));
    return p.log->IsOpen() ? 0 : in.Fail(1, in.Say(in.tx(2220), {Shown(name)}));
}

} // namespace vdl::cli

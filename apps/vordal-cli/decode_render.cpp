#include "decode_render.h"

#include "platform/qt_language.h"

#include "core/format.h"
#include "log/filter.h"

namespace vdl::cli {

const std::vector<std::string>& RenderValueOptions() {
    static const std::vector<std::string> v = {"format", "time-line", "link-line", "objects",
                                               "full-percent"};
    return v;
}

const char* RenderOptionsUsage() {
    return "      --format 3|4|5|6|7               print the interpretation of each record in\n"
           "                                       that view format (lines end with CR LF)\n"
           "      --time-line on|off               header lines with number and time (default on)\n"
           "      --link-line on|off               link layer frames and link lines (default on)\n"
           "      --objects FILE                   object text file (names and colours)\n"
           "      --lang usa|ger                   language of the interpretation and the "
           "messages\n"
           "                                       (default usa: English)\n"
           "      --full-percent N                 raw value of 100 % of normalised values\n"
           "                                       (default 32000)";
}

namespace {

struct RenderValues {
    long long format = 3, full = 0;
    int time = 0, link = 0;
};

bool ReadRenderValues(const Invocation& inv, RenderValues& v) {
    return inv.Number("format", 3, 7, v.format, "3|4|5|6|7") &&
           inv.Choice("time-line", {"off", "on"}, v.time) &&
           inv.Choice("link-line", {"off", "on"}, v.link) &&
           inv.Number("full-percent", 1, 2147483647, v.full);
}

} // namespace

bool CheckRenderOptions(const Invocation& inv) {
    RenderValues v;
    if (!ReadRenderValues(inv, v)) return false;
    const Options& o = inv.opt();
    return !o.Has("objects") || inv.CheckInputFile(o.Get("objects")) == 0;
}

bool DecodeRenderer::Setup(const Invocation& inv, Program& p) {
    const Options& o = inv.opt();
    p_ = &p;
    RenderValues v;
    v.full = p.ap.mwvoll;
    if (!CheckRenderOptions(inv) || !ReadRenderValues(inv, v)) return false;
    const long long format = v.format, full = v.full;
    const int time = v.time, link = v.link;
    p.pp.format = static_cast<int32_t>(format);
    if (o.Has("time-line")) p.pp.zeitzl = static_cast<uint8_t>(time);
    if (o.Has("link-line")) p.pp.linkzl = static_cast<uint8_t>(link);
    p.ap.mwvoll = static_cast<int32_t>(full);
    if (o.Has("objects") && !p.LoadObjectTexts(o.Get("objects"))) {
        inv.Refuse(inv.Say(inv.tx(2214), {Shown(o.Get("objects"))}));
        return false;
    }
    loc_ = std::make_unique<QtLocaleFormats>(OutputLocale(inv));
    SetDefaultNumberFormat(loc_->Numbers());
    env_ = p.Rendering(*loc_);
    env_.oldestNr = 1;
    ctx_.env = &env_;
    return true;
}

QLocale OutputLocale(const Invocation& inv) {
    const QLocale system = QLocale::system();
    if (inv.Lang() == 1 && system.language() == QLocale::C) return system;
    return ProgramLocale(inv.Lang());
}

void DecodeRenderer::Begin(std::ostream& out) {
    if (p_->pp.format == VF_CSV) out << p_->texts.tx(1173) << "\r\n";
}

void DecodeRenderer::Print(const T_Telegramm& te, std::ostream& out) {
    T_Telegramm copy = te;
    copy.nr = ++nr_;
    // The stored length the log would give it (0 marks the end of a log block).
    copy.lga = static_cast<uint16_t>(((copy.validLen() + 1) & ~1) + 32);
    // What the log view would hide (correct fixed frames while the link line is off) is not
    // printed in any format.
    FilterEnv fe = p_->Filters();
    fe.nralt = 1;
    if (!DisplayAccepts(copy, fe)) return;
    StartTelegram(ctx_, copy);
    CollectText(ctx_);
    out << ctx_.TxtStr;
}

} // namespace vdl::cli

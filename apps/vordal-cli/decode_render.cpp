#include "decode_render.h"

#include "core/format.h"
#include "log/filter.h"

namespace vdl::cli {

namespace {

bool OnOff(const Options& o, const std::string& name, uint8_t& out, std::string& error) {
    if (!o.Has(name)) return true;
    std::string v = o.Get(name);
    if (v != "on" && v != "off") {
        error = "--" + name + " must be on or off";
        return false;
    }
    out = v == "on" ? 1 : 0;
    return true;
}

} // namespace

const std::vector<std::string>& RenderValueOptions() {
    static const std::vector<std::string> v = {"format",  "time-line", "link-line",
                                               "objects", "lang",      "full-percent"};
    return v;
}

const char* RenderOptionsUsage() {
    return "      --format 3|4|5|6|7               print the interpretation of each record in\n"
           "                                       that view format (lines end with CR LF)\n"
           "      --time-line on|off               header lines with number and time (default on)\n"
           "      --link-line on|off               link layer frames and link lines (default on)\n"
           "      --objects FILE                   object text file (names and colours)\n"
           "      --lang usa|ger                   language of the interpretation (default ger)\n"
           "      --full-percent N                 raw value of 100 % of normalised values\n"
           "                                       (default 32000)";
}

bool DecodeRenderer::Setup(const Options& o, Program& p, std::string& error) {
    p_ = &p;
    long long v = 0;
    if (!ParseNumber(o.Get("format"), 3, 7, v)) {
        error = "--format must be 3, 4, 5, 6 or 7";
        return false;
    }
    p.pp.format = static_cast<int32_t>(v);
    if (!OnOff(o, "time-line", p.pp.zeitzl, error) || !OnOff(o, "link-line", p.pp.linkzl, error))
        return false;
    if (o.Has("full-percent")) {
        if (!ParseNumber(o.Get("full-percent"), 1, 2147483647, v)) {
            error = "--full-percent must be a number from 1 on";
            return false;
        }
        p.ap.mwvoll = static_cast<int32_t>(v);
    }
    if (o.Has("lang")) {
        std::string lang = o.Get("lang");
        if (lang != "usa" && lang != "ger") {
            error = "--lang must be usa or ger";
            return false;
        }
        if (lang == "usa" && !p.LoadLanguage(1)) {
            error = "the English program texts cannot be loaded";
            return false;
        }
    }
    if (o.Has("objects") && !p.LoadObjectTexts(o.Get("objects"))) {
        error = "cannot read the object text file " + o.Get("objects");
        return false;
    }
    loc_ = std::make_unique<QtLocaleFormats>();
    SetDefaultNumberFormat(loc_->Numbers());
    env_ = p.Rendering(*loc_);
    env_.oldestNr = 1;
    ctx_.env = &env_;
    return true;
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

// vordal-cli image LOG [--format json|csv] [--max N]: the station image rebuilt from the
// stored frames of a log file, one JSON object per object, or the grid as Copy writes it.
#include "cli.h"
#include "decode_render.h"
#include "inspect.h"
#include "invocation.h"
#include "record_json.h"

#include "app/image_commands.h"
#include "image/image_grid.h"
#include "platform/qt_locale.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <iostream>

namespace vdl::cli {

namespace {

const char* const kUsage =
    "  image LOG [--format json|csv] [--max N]\n"
    "                         the station image rebuilt from the log: JSON, one object per row\n"
    "                         (ca, ioa, typneu, typalt, urs, hk, qua, inf, dt, uz1..uz9; short\n"
    "                         floats also as value), or\n"
    "                         the grid as the window copies it (TAB-separated); N objects at\n"
    "                         most (1..10000000, default 20000; one more is taken)\n"
    "      --lang usa|ger                   language of the grid and the messages\n"
    "                                       (default usa: English)";

bool IsShortFloat(int typ) {
    return typ == 13 || typ == 14 || typ == 36 || typ == 50 || typ == 63 || typ == 112;
}

nlohmann::ordered_json ObjectJson(const T_Obj& o) {
    nlohmann::ordered_json j;
    j["ca"] = o.cax >> 8;
    j["ioa"] = o.oax >> 8;
    j["typneu"] = o.typneu;
    j["typalt"] = o.typalt;
    j["urs"] = o.urs;
    j["hk"] = o.hk;
    j["qua"] = o.qua;
    // Counter readings are signed 32-bit numbers; other four-octet values are bit patterns.
    const bool counter = o.typneu == 15 || o.typneu == 16 || o.typneu == 37;
    if (InfIsUnsigned(o.typneu) && !counter)
        j["inf"] = static_cast<uint32_t>(o.inf);
    else
        j["inf"] = o.inf;
    if (IsShortFloat(o.typneu)) {
        // The short float as a number too (null when it is not a finite number).
        float f;
        const uint32_t bits = static_cast<uint32_t>(o.inf);
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f))
            j["value"] = f;
        else
            j["value"] = nullptr;
    }
    j["dt"] = IsoTime(o.dt);
    for (int k = 0; k < 9; ++k) j["uz" + std::to_string(k + 1)] = o.uz[k];
    return j;
}

int RunImage(const Args& args) {
    Invocation inv("image", kUsage);
    if (!inv.Start(args, {"format", "max"}, {})) return inv.Exit();
    const Options& o = inv.opt();
    int format = 0;
    long long max = 20000;
    if (!inv.Choice("format", {"json", "csv"}, format) || !inv.Number("max", 1, 10000000, max))
        return kExitRefused;
    const auto& pos = o.Positional();
    if (pos.empty()) return inv.Refuse(inv.Say(inv.tx(2206), {"LOG"}));
    if (pos.size() > 1) return inv.Refuse(inv.Say(inv.tx(2205), {Shown(pos[1])}));
    if (int rc = inv.CheckLogFile(pos[0]); rc != 0) return rc;
    Inspect in;
    Program& p = in.p;
    if (!p.LoadLanguage(inv.LangOf(ProgramDir()))) return 1;
    p.CreateLog(in.clock);
    if (!Inspect::OpenLog(p, pos[0])) return 1;
    p.av.AbbMax = static_cast<int32_t>(max);
    OpenImage(p);
    RebuildImage(p);

    if (format == 0) {
        for (int r = 0; r < p.image.Count(); ++r)
            std::cout << ObjectJson(p.image.At(r)).dump() << "\n";
        return 0;
    }
    QtLocaleFormats loc(OutputLocale(inv));
    SetDefaultNumberFormat(loc.Numbers());
    ImageTextEnv env{p.texts, p.av, p.ap, p.pp, loc};
    std::cout << ImageCopyText(p.image, env, ImageCaption(p.image.St(), env));
    return 0;
}

const CliCommand reg("image", kUsage, RunImage);

} // namespace

} // namespace vdl::cli

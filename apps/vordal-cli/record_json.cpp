#include "record_json.h"

#include "core/clock.h"
#include "decode_input.h"

#include <cstdio>

namespace vdl::cli {

nlohmann::json RecordJson(const T_Telegramm& te) {
    nlohmann::json j;
    j["ek"] = te.ek;
    j["stat"] = te.stat;
    j["ta"] = te.ta;
    j["lg"] = te.lg;
    j["la"] = te.la;
    j["lc"] = te.lc;
    j["typ"] = te.typ;
    j["struk"] = te.struk;
    j["urs"] = te.urs;
    j["ca"] = te.ca;
    j["bytes"] = HexBytes(te.b, te.validLen());
    return j;
}

nlohmann::json StoredRecordJson(const T_Telegramm& te) {
    nlohmann::json j = RecordJson(te);
    j["nr"] = te.nr;
    j["dt"] = IsoTime(te.dt);
    return j;
}

std::string IsoTime(double dt) {
    // A stamp that is no date (a damaged log) is shown empty.
    if (!StampUsable(dt)) return {};
    DateTimeParts d = DecodeDateTime(dt);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", d.year, d.month, d.day,
                  d.hour, d.minute, d.second, d.ms);
    return buf;
}

} // namespace vdl::cli

// vordal-cli log: writes, describes, lists and exports log files.
//   log info FILE       the state of the log as one JSON object
//   log records FILE    one JSON object per stored record
#include "cli.h"

#include "app/program.h"
#include "core/clock.h"
#include "log/log_store.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>

namespace vdl::cli {

namespace {

// A clock for commands that only read: logs are looked at, never stamped.
class StillClock : public Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return 0; }
};

// The day number as an ISO 8601 local time with milliseconds.
std::string IsoTime(double dt) {
    DateTimeParts p = DecodeDateTime(dt);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, p.ms);
    return buf;
}

std::string Hex(const uint8_t* b, int n) {
    std::string s;
    char buf[4];
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", b[i]);
        if (i) s += ' ';
        s += buf;
    }
    return s;
}

nlohmann::json RecordJson(const T_Telegramm& te) {
    nlohmann::json j;
    j["nr"] = te.nr;
    j["dt"] = IsoTime(te.dt);
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
    j["bytes"] = Hex(te.b, te.validLen());
    return j;
}

// A program with the texts of the program directory (their absence only costs the wording of
// messages) and a log opened for looking.
struct Inspect {
    StderrMessages msg;
    StillClock clock;
    Program p{ProgramDir(), msg};
    bool Open(const std::string& file) {
        p.texts.LoadFile(TextFilePath(ProgramDir(), 0));
        p.CreateLog(clock);
        return p.log->OpenForInspection(file);
    }
};

int Info(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    const LogStore& log = *in.p.log;
    const T_LogKopf& k = log.Kopf();
    nlohmann::json j;
    j["file"] = file;
    j["N"] = k.anzbl;
    j["blanz"] = log.Empty() ? 0 : (k.blakt - k.blalt + k.anzbl) % k.anzbl + 1;
    j["blalt"] = k.blalt;
    j["blakt"] = k.blakt;
    j["count"] = log.Count();
    if (log.Empty()) {
        j["nralt"] = j["nrneu"] = nullptr;
        j["dtalt"] = j["dtneu"] = nullptr;
    } else {
        j["nralt"] = k.nralt;
        j["nrneu"] = k.nrneu;
        j["dtalt"] = IsoTime(k.dtalt);
        j["dtneu"] = IsoTime(k.dtneu);
    }
    j["recovered"] = log.Recovered();
    const T_AllgPar& ap = in.p.ap;
    j["lgla"] = ap.lgla;
    j["mitori"] = ap.mitori;
    j["lgca"] = ap.lgca;
    j["lgoa"] = ap.lgoa;
    j["fkt1"] = in.p.com[0].bp.fkt;
    j["fkt2"] = in.p.com[1].bp.fkt;
    j["pro1"] = in.p.com[0].bp.pro;
    j["pro2"] = in.p.com[1].bp.pro;
    std::cout << j.dump() << "\n";
    return 0;
}

int Records(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    auto c = in.p.log->NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward())
        std::cout << RecordJson(c->Current()).dump() << "\n";
    return 0;
}

const char* kUsage = "  log info FILE          the state of a log file as JSON\n"
                     "  log records FILE       one JSON object per stored record (with nr, dt)";

int RunLog(const Args& args) {
    if (args.size() == 2 && args[0] == "info") return Info(args[1]);
    if (args.size() == 2 && args[0] == "records") return Records(args[1]);
    std::cerr << "usage:\n" << kUsage << "\n";
    return 2;
}

const CliCommand reg("log", kUsage, RunLog);

} // namespace

} // namespace vdl::cli

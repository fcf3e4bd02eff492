#include "core/settings.h"

#include "core/file_io.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace vdl {

namespace {

constexpr uint32_t kMinAbbMax = 1000;
constexpr uint32_t kMaxAbbMax = 100000;
constexpr int32_t kDefaultAbbMax = 20000;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A decimal number of a field; def when the field holds none.
int32_t FieldInt(const std::vector<std::string>& f, size_t i, int32_t def) {
    if (i >= f.size()) return def;
    std::string s = f[i];
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return def;
    int32_t v = 0;
    auto r = std::from_chars(s.data() + a, s.data() + s.size(), v);
    return r.ec == std::errc() ? v : def;
}

std::string ShortStr255(const uint8_t* p) {
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

} // namespace

std::string InstanceSuffix(const T_AllgVar& av) {
    return av.pnr == 1 ? std::string() : std::to_string(av.pnr);
}

std::string StandardFileName(const T_AllgVar& av, const TextTable& t, int n) {
    return av.DataDir + t.tx(n) + InstanceSuffix(av) + t.tx(n + 1);
}

std::string WithSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += static_cast<char>(fs::path::preferred_separator);
    return dir;
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

bool IsWritable(const std::string& dir) {
    if (!DirExists(dir)) return false;
    std::string probe = WithSeparator(dir) + "012345-asdfghxyz-67890.x1y2z3";
    bool ok = false;
    {
        std::ofstream f(probe, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        std::string block(4096, '\0');
        f.write(block.data(), static_cast<std::streamsize>(block.size()));
        f.flush();
        ok = static_cast<bool>(f);
    }
    std::error_code ec;
    ok = ok && fs::file_size(probe, ec) == 4096 && !ec;
    fs::remove(probe, ec);
    return ok;
}

void UpgradeAusgPar(T_AusgPar& a) {
    T_AusgPar d = DefaultAusgPar();
    if (a.version == 1) {
        a.fehler = d.fehler;
        a.intern = d.intern;
        a.quali = d.quali;
        a.quamask = d.quamask;
        a.version = 2;
    } else if (a.version != 2) {
        a = d;
    }
}

bool ReadSettingsFile(const std::string& path, T_ProgPar& pp) {
    std::vector<uint8_t> data;
    return ReadWholeFile(path, data, kProgParLen) && TakeSettingsBytes(data, pp);
}

bool TakeSettingsBytes(const std::vector<uint8_t>& data, T_ProgPar& pp) {
    if (data.size() != kProgParLen) return false;
    T_ProgPar n;
    std::memcpy(&n, data.data(), sizeof n);
    if (n.magic != kProgParMagic || n.lg != kProgParLen || n.mark != 16) return false;
    UpgradeAusgPar(n.ausg);
    pp = n;
    return true;
}

void ReadStartSettings(SettingsEnv& env) {
    T_AllgVar& av = env.av;
    env.pp.sprache = env.localeLanguage;
    av.dtOaTxt = av.ProgDir + env.texts.tx(kTxObjTextFile);

    std::string reg = env.store.Read(kRegKey, kRegDataDir + InstanceSuffix(av));
    if (reg.empty() && av.pnr == 2) reg = env.store.Read(kRegKey, kRegDataDir);
    if (!reg.empty() && DirExists(reg) && IsWritable(reg)) {
        av.DataDir = WithSeparator(reg);
        ReadSettingsFile(StandardFileName(av, env.texts, kTxSettingsFile), env.pp);
        return;
    }

    av.DataDir = av.ProgDir;
    if (ReadSettingsFile(StandardFileName(av, env.texts, kTxSettingsFile), env.pp)) {
        std::string old = ShortStr255(env.pp.DataDirOld);
        std::string pf = env.folders.ProgramFilesFolder();
        bool inProgramFiles =
            !pf.empty() && old.size() >= pf.size() && SameNameNoCase(old.substr(0, pf.size()), pf);
        if (!old.empty() && DirExists(old) && !inProgramFiles) {
            av.DataDir = WithSeparator(old);
            return;
        }
    }

    // The default: a folder of its own below the user's application data.
    std::string appData = env.folders.AppDataFolder();
    if (appData.empty()) return;
    std::string dir = WithSeparator((fs::path(appData) / "Kelmar" / "DemoVordal").string());
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!DirExists(dir)) return;
    std::string oldLog = StandardFileName(av, env.texts, kTxLogFile);
    std::string oldSet = StandardFileName(av, env.texts, kTxParamSetFile);
    av.DataDir = dir;
    std::string newLog = StandardFileName(av, env.texts, kTxLogFile);
    std::string newSet = StandardFileName(av, env.texts, kTxParamSetFile);
    for (auto [from, to] : {std::pair{oldLog, newLog}, std::pair{oldSet, newSet}}) {
        if (from != to && FileExists(from))
            fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    }
    av.dtLog = newLog;
    av.dtSeTeLi = newSet;
}

std::string FileNameListPath(const T_AllgVar& av) {
    return av.DataDir + "zVordal_Dateinamen" + InstanceSuffix(av) + ".txt";
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    lines.clear();
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return !f.bad();
}

void ReadFileNames(SettingsEnv& env) {
    T_AllgVar& av = env.av;
    std::string path = FileNameListPath(av);
    if (!FileExists(path)) {
        av.AbbMax = kDefaultAbbMax;
        av.dRmStg = 1;
        av.OfsSekTel = 2;
        av.dtDruk = av.DataDir;
        int n = std::clamp(env.pp.anzmruold, 0, kMaxMru);
        av.anzmru = 0;
        for (int i = 0; i < n; ++i) {
            std::string s = ShortStr255(env.pp.mruold[i]);
            if (!s.empty()) av.mru[static_cast<size_t>(av.anzmru++)] = s;
        }
        return;
    }
    std::vector<std::string> l;
    if (!ReadTextLines(path, l)) {
        av.dtDruk = av.DataDir;
        return;
    }
    TakeFileNames(av, l);
}

void TakeFileNames(T_AllgVar& av, const std::vector<std::string>& l) {
    if (l.size() > 6) {
        av.dtDruk = l[0];
        av.dtSeTeLi = l[1];
        std::vector<std::string> f = SplitFields(l[2], av.tz);
        av.dRmStg = FieldInt(f, 0, 1);
        av.OfsSekTel = FieldInt(f, 1, 0);
        int32_t abb = FieldInt(f, 2, kDefaultAbbMax);
        av.AbbMax =
            (abb < static_cast<int32_t>(kMinAbbMax) || abb > static_cast<int32_t>(kMaxAbbMax))
                ? kDefaultAbbMax
                : abb;
        av.dtOaTxt = FileExists(l[3]) ? l[3] : std::string();
        av.dtLog = FileExists(l[4]) ? l[4] : std::string();
    }
    if (l.size() > 13) {
        int n = std::clamp(FieldInt({l[5]}, 0, 0), 0, kMaxMru);
        av.anzmru = n;
        for (int i = 0; i < kMaxMru; ++i)
            av.mru[static_cast<size_t>(i)] = i < n ? l[static_cast<size_t>(6 + i)] : std::string();
    }
}

bool WriteFileNames(SettingsEnv& env) {
    const T_AllgVar& av = env.av;
    std::ostringstream s;
    const char* nl = "\r\n";
    s << av.dtDruk << nl << av.dtSeTeLi << nl;
    s << av.dRmStg << av.tz << av.OfsSekTel << av.tz << av.AbbMax << av.tz
      << " DeltaRM, OfsSekTel, AbbildMax" << nl;
    s << av.dtOaTxt << nl << av.dtLog << nl;
    int n = std::clamp(av.anzmru, 0, kMaxMru);
    s << n << nl;
    for (int i = 0; i < kMaxMru; ++i) s << (i < n ? av.mru[static_cast<size_t>(i)] : "") << nl;
    std::string text = s.str(), error;
    return WriteWholeFile(FileNameListPath(av), text.data(), text.size(), error) == text.size();
}

bool WriteSettings(SettingsEnv& env) {
    T_ProgPar& pp = env.pp;
    std::memset(pp.DataDirOld, 0, sizeof pp.DataDirOld);
    std::memset(pp.mruold, 0, sizeof pp.mruold);
    pp.anzmruold = 0;
    pp.ausg.version = 2;
    pp.magic = kProgParMagic;
    pp.lg = kProgParLen;
    pp.mark = 16;
    std::string path = StandardFileName(env.av, env.texts, kTxSettingsFile), error;
    // The settings go through a temporary file, so the list is written first as before and a
    // failure leaves the previous settings file in place.
    WriteFileNames(env);
    if (WriteWholeFile(path, &pp, sizeof pp, error) != sizeof pp) {
        env.msg.Error(error);
        return false;
    }
    return true;
}

void WriteDataDirToRegistry(SettingsEnv& env) {
    const T_AllgVar& av = env.av;
    std::string stored = env.store.Read(kRegKey, kRegDataDir);
    if (!SameNameNoCase(av.DataDir, stored))
        env.store.Write(kRegKey, kRegDataDir + InstanceSuffix(av), av.DataDir);
    else if (av.pnr == 2)
        env.store.Remove(kRegKey, kRegDataDir + InstanceSuffix(av));
}

} // namespace vdl

#include "link/file_directory.h"

#include "asdu/time_tag.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vdl {

namespace {

// A decimal number of at most digits digits, without sign, blanks or leading zeros (one file
// per number); -1 for anything else.
long DecimalName(const std::string& name, size_t digits) {
    if (name.empty() || name.size() > digits ||
        name.find_first_not_of("0123456789") != std::string::npos ||
        (name.size() > 1 && name[0] == '0'))
        return -1;
    return std::stol(name);
}

void Fill(T_Verzeichnis& d, TransferFiles& files, const std::string& dir,
          const std::string& prefix) {
    struct Found {
        uint16_t nof;
        TransferFileInfo info;
    };
    std::vector<Found> found;
    for (TransferFileInfo& f : files.List(dir)) {
        const uint16_t nof = NofOfName(f.name);
        if (f.dir || nof == 0 || f.size > kMaxTransferFile) continue;
        found.push_back({nof, std::move(f)});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.nof < b.nof; });
    d.anz = 0;
    for (const Found& f : found) {
        if (d.anz >= kDirEntries) break;
        T_VzEintrag& e = d.ent[d.anz++];
        std::memset(e.e, 0, sizeof e.e);
        e.e[0] = static_cast<uint8_t>(f.nof);
        e.e[1] = static_cast<uint8_t>(f.nof >> 8);
        const auto len = static_cast<uint32_t>(f.info.size);
        e.e[2] = static_cast<uint8_t>(len);
        e.e[3] = static_cast<uint8_t>(len >> 8);
        e.e[4] = static_cast<uint8_t>(len >> 16);
        e.e[5] = 0; // status of file: a file, ready
        if (f.info.modified > 0) WriteTimeTag(e.e + 6, true, f.info.modified);
        e.name.set(prefix + f.info.name);
    }
}

} // namespace

uint16_t EntryNof(const T_VzEintrag& e) {
    return static_cast<uint16_t>(e.e[0] | (e.e[1] << 8));
}

uint16_t NofOfName(const std::string& name) {
    const long n = DecimalName(name, 5);
    return (n >= 1 && n <= 0xFFFF) ? static_cast<uint16_t>(n) : 0;
}

void ScanDirectories(T_Verzeichnisse& v, TransferFiles& files, const std::string& dataDir,
                     bool subDirs) {
    v = T_Verzeichnisse{};
    Fill(v.hv, files, dataDir, "");
    if (!subDirs) return;
    std::vector<std::pair<long, std::string>> folders;
    for (const TransferFileInfo& f : files.List(dataDir)) {
        const long oa = DecimalName(f.name, 8);
        if (f.dir && oa >= 0 && oa <= 0xFFFFFF) folders.emplace_back(oa, f.name);
    }
    std::sort(folders.begin(), folders.end());
    for (const auto& [oa, name] : folders) {
        if (v.anzuv >= kSubDirs) break;
        T_Verzeichnis& d = v.uv[v.anzuv++];
        d.oa = static_cast<int32_t>(oa);
        Fill(d, files, dataDir + name + "/", name + "/");
    }
}

const T_Verzeichnis& DirectoryAt(const T_Verzeichnisse& v, int k) {
    return (k >= 1 && k <= v.anzuv) ? v.uv[k - 1] : v.hv;
}

T_Verzeichnis& DirectoryAt(T_Verzeichnisse& v, int k) {
    return (k >= 1 && k <= v.anzuv) ? v.uv[k - 1] : v.hv;
}

int DirectoryFor(const T_Verzeichnisse& v, bool subDirs, uint32_t oa) {
    if (!subDirs) return 0;
    for (int k = 0; k < v.anzuv; ++k) {
        const uint32_t first = static_cast<uint32_t>(v.uv[k].oa);
        const uint32_t span = std::max<uint32_t>(v.uv[k].anz, 1);
        if (oa >= first && oa - first < span) return k + 1;
    }
    return 0;
}

int FindEntry(const T_Verzeichnis& d, uint16_t nof) {
    for (int i = 0; i < d.anz && i < kDirEntries; ++i)
        if (EntryNof(d.ent[i]) == nof) return i;
    return -1;
}

void RemoveEntry(T_Verzeichnis& d, int i) {
    if (i < 0 || i >= d.anz || i >= kDirEntries) return;
    for (int k = i; k + 1 < d.anz && k + 1 < kDirEntries; ++k) d.ent[k] = d.ent[k + 1];
    --d.anz;
    d.ent[d.anz] = T_VzEintrag{};
}

int WriteDirectoryElements(const T_Verzeichnis& d, uint8_t* out) {
    const int n = std::min<int>(d.anz, kDirEntries);
    for (int i = 0; i < n; ++i) {
        std::memcpy(out + i * kDirElementLen, d.ent[i].e, kDirElementLen);
        if (i == n - 1) out[i * kDirElementLen + 5] |= SOF_LAST;
    }
    return n * kDirElementLen;
}

} // namespace vdl

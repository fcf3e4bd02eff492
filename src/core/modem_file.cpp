#include "core/modem_file.h"

#include "core/file_io.h"

#include <algorithm>
#include <vector>

namespace vdl {

T_Modem DefaultModem() {
    T_Modem m{};
    m.id = kModemLen;
    m.ata = 1;
    m.dauer = 3600;
    m.link = 60;
    m.at[0].set("ATZ");
    m.at[1].set("ATD");
    m.at[2].set("ATA");
    m.at[3].set("ATH");
    m.brk.set("+++ATH");
    m.connect.set("CONNECT");
    return m;
}

bool ReadModemFile(const std::string& path, T_Modem& m) {
    std::vector<uint8_t> d;
    // One octet more than the record is read, so that a longer file is seen as such.
    if (!ReadWholeFile(path, d, sizeof(T_Modem) + 1) || d.size() != sizeof(T_Modem)) return false;
    T_Modem r;
    std::memcpy(&r, d.data(), sizeof r);
    if (r.id != kModemLen) return false;
    m = r;
    return true;
}

bool WriteModemFile(const std::string& path, const T_Modem& m, std::string& error) {
    T_Modem r = m;
    r.id = kModemLen;
    return WriteWholeFile(path, &r, sizeof r, error) == sizeof r;
}

int32_t ModemDauer(const T_Modem& m) {
    return std::clamp(m.dauer, kDauerMin, kDauerMax);
}

int32_t ModemLink(const T_Modem& m) {
    return std::clamp(m.link, kLinkMin, kLinkMax);
}

bool ModemDiffers(const T_Modem& a, const T_Modem& b) {
    if (a.vorh != b.vorh || a.ata != b.ata || a.dauer != b.dauer || a.link != b.link ||
        a.brk.str() != b.brk.str() || a.connect.str() != b.connect.str())
        return true;
    for (int i = 0; i < 4; ++i)
        if (a.at[i].str() != b.at[i].str()) return true;
    return false;
}

} // namespace vdl

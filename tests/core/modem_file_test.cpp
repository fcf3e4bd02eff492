// Modem files: the whole record of 192 octets, nothing shorter, longer or with another first
// field; and the limits of the connection times.
#include "core/modem_file.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace vdl {
namespace {

void Spit(const std::string& p, const std::vector<uint8_t>& d) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}

TEST(ModemFile, OnlyTheWholeRecordIsTaken) {
    const std::string dir = test::TempDir("modem-file");
    T_Modem stored = DefaultModem();
    stored.vorh = 1;
    stored.dauer = 77;
    stored.connect.set("CONNECT 9600");
    std::string error;
    ASSERT_TRUE(WriteModemFile(dir + "Modem.mdm", stored, error)) << error;
    std::vector<uint8_t> image(sizeof(T_Modem));
    std::memcpy(image.data(), &stored, sizeof stored);

    struct Row {
        const char* what;
        size_t size;
        int32_t id;
        bool taken;
    } rows[] = {
        {"the record", 192, 192, true},
        {"one octet short", 191, 192, false},
        {"one octet more", 193, 192, false},
        {"another first field", 192, 191, false},
        {"empty", 0, 0, false},
    };
    for (const Row& r : rows) {
        std::vector<uint8_t> d = image;
        std::memcpy(d.data(), &r.id, 4);
        d.resize(r.size, 0x41);
        Spit(dir + "x.mdm", d);
        T_Modem m = DefaultModem();
        EXPECT_EQ(ReadModemFile(dir + "x.mdm", m), r.taken) << r.what;
        EXPECT_EQ(m.dauer, r.taken ? 77 : DefaultModem().dauer) << r.what;
        EXPECT_EQ(ModemDiffers(m, stored), !r.taken) << r.what;
    }
    T_Modem m = DefaultModem();
    EXPECT_FALSE(ReadModemFile(dir + "missing.mdm", m));
    EXPECT_TRUE(ReadModemFile(dir + "Modem.mdm", m));
    EXPECT_EQ(m.connect.str(), "CONNECT 9600");
    // The focus index is not a change the user is asked to save.
    m.ilo = 5;
    EXPECT_FALSE(ModemDiffers(m, stored));
    m.at[3].set("ATH0");
    EXPECT_TRUE(ModemDiffers(m, stored));
}

TEST(ModemFile, ConnectionTimesStayWithinTheirLimits) {
    struct Row {
        int32_t dauer, link, dauerUsed, linkUsed;
    } rows[] = {
        {0, 0, 10, 2},   {10, 2, 10, 2}, {3600, 60, 3600, 60}, {2000000, 601, 1000000, 600},
        {-5, -5, 10, 2},
    };
    for (const Row& r : rows) {
        T_Modem m{};
        m.dauer = r.dauer;
        m.link = r.link;
        EXPECT_EQ(ModemDauer(m), r.dauerUsed) << r.dauer;
        EXPECT_EQ(ModemLink(m), r.linkUsed) << r.link;
    }
}

} // namespace
} // namespace vdl

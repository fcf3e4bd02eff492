// Two vordal-cli emulate processes on a virtual line, each with its own data directory: one
// offers a file with --offer, the other writes what it receives into its data directory.
#include "integration/live_support.h"
#include "support/paths.h"
#include "support/pty_line.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace vdl::test;

namespace {

// Whether a program's records (--records) hold the event that closes an ended transfer (46).
bool TransferClosed(const std::string& out) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        if (l.empty() || l[0] != '{') continue;
        const nlohmann::json j = nlohmann::json::parse(l);
        if (j.contains("stat") && j["stat"] == 46) return true;
    }
    return false;
}

} // namespace

TEST(EmulateFileTransfer, AFileOfferedByOneProgramArrivesByteIdenticalInTheOther) {
    struct Row {
        const char* name;
        const char* procedure;
        bool controllingOffers;
        size_t size;
    } rows[] = {
        {"unbalanced", "unbalanced", true, 20000},
        {"balanced", "balanced", false, 5001},
    };
    for (const Row& row : rows) {
        PrivateFolders(std::string("emulate-ft-") + row.name);
        const std::string base = TempDir(std::string("emulate-ft-dirs-") + row.name);
        const std::string dirs[2] = {base + "a/", base + "b/"};
        for (const std::string& d : dirs) std::filesystem::create_directories(d);
        std::string content(row.size, '\0');
        std::mt19937 gen(static_cast<unsigned>(row.size));
        for (char& ch : content) ch = static_cast<char>(gen());
        const int from = row.controllingOffers ? 0 : 1;
        std::ofstream(dirs[from] + "4711", std::ios::binary) << content;

        VirtualLine line;
        auto args = [&](int i) {
            std::vector<std::string> a = {"emulate",
                                          "--port1",
                                          i == 0 ? line.a.name : line.b.name,
                                          "--function",
                                          i == 0 ? "1" : "2",
                                          "--procedure",
                                          row.procedure,
                                          "--baud",
                                          "115200",
                                          "--data-dir",
                                          dirs[i],
                                          "--records"};
            if (i == from) a.insert(a.end(), {"--offer", "4711@0.5"});
            return a;
        };
        ChildProgram a(BinDir() + "vordal-cli", args(0));
        ChildProgram b(BinDir() + "vordal-cli", args(1));
        const std::string& receiver = from == 0 ? b.out : a.out;
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(line.Run(
            {&a, &b}, [&] { return TransferClosed(receiver); }, std::chrono::seconds(90)))
            << row.name << "\n"
            << a.err << b.err;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::cout << row.name << ": " << row.size << " octets in " << ms.count() << " ms\n";
        ASSERT_TRUE(line.Stop({&a, &b}));
        EXPECT_EQ(a.ExitCode(), 0) << a.err;
        EXPECT_EQ(b.ExitCode(), 0) << b.err;
        EXPECT_TRUE(FileContents(dirs[1 - from] + "4711") == content) << row.name;
    }
}

TEST(EmulateFileTransfer, ABadOfferIsRefused) {
    for (const char* v : {"0", "65536", "x", "12@", "12@-1", "12@1.2345"}) {
        ChildProgram p(BinDir() + "vordal-cli",
                       {"emulate", "--port1", "/dev/null", "--offer", v, "--duration", "0"});
        VirtualLine idle;
        ASSERT_TRUE(idle.Run({&p}, [&] { return p.Finished(); }));
        EXPECT_EQ(p.ExitCode(), 2) << v;
        EXPECT_NE(p.err.find("--offer"), std::string::npos) << v << ": " << p.err;
    }
    // A file that is not in the data directory is refused before going online.
    const std::string dir = TempDir("emulate-offer-missing");
    ChildProgram p(BinDir() + "vordal-cli", {"emulate", "--port1", "/dev/null", "--data-dir", dir,
                                             "--offer", "12", "--duration", "0"});
    VirtualLine idle;
    ASSERT_TRUE(idle.Run({&p}, [&] { return p.Finished(); }));
    EXPECT_EQ(p.ExitCode(), 1);
    EXPECT_NE(p.err.find(dir + "12"), std::string::npos) << p.err;
}

// Helpers of the tests that play a recorded exchange into pseudo-terminals.
#pragma once

#include "support/paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vdl::test {

struct Line {
    int channel; // 0 channel 1, 1 channel 2
    std::vector<uint8_t> bytes;
};

// The frames of the bundled unbalanced exchange, by channel.
inline std::vector<Line> Exchange() {
    std::ifstream f(SourceDir() + "samples/unbalanced_exchange.hex");
    std::vector<Line> out;
    std::string s;
    while (std::getline(f, s)) {
        if (s.size() < 3 || s[0] != 'c') continue;
        Line l{s[1] == '2' ? 1 : 0, {}};
        std::istringstream in(s.substr(3));
        std::string hex;
        while (in >> hex) l.bytes.push_back(static_cast<uint8_t>(std::stoi(hex, nullptr, 16)));
        out.push_back(l);
    }
    return out;
}

// The far end of a pseudo-terminal, where the test plays the line.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        // A child program must not hold the far end open: closing it here ends the line.
        fcntl(master, F_SETFD, FD_CLOEXEC);
        grantpt(master);
        unlockpt(master);
        slave = ptsname(master);
    }
    ~Pty() { ::close(master); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    // Writes in pieces of at most `piece` bytes, as a slow line delivers them.
    void Play(const std::vector<uint8_t>& b, size_t piece = 270) {
        for (size_t i = 0; i < b.size(); i += piece) {
            size_t n = std::min(piece, b.size() - i);
            ASSERT_EQ(::write(master, b.data() + i, n), static_cast<ssize_t>(n));
        }
    }
};

// Every run gets its own settings, data and lock folders.
inline void PrivateFolders(const std::string& name) {
    std::string base = TempDir(name);
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        std::string d = base + v;
        std::filesystem::create_directories(d);
        std::filesystem::permissions(d, std::filesystem::perms::owner_all);
        setenv(v, d.c_str(), 1);
    }
}

} // namespace vdl::test

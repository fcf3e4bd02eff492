// A child process records telegrams into a log, step by step on a clock it is handed, and is
// killed with SIGKILL in the middle of its work. The log it leaves must give back, on opening,
// every telegram up to at least one second before the kill, with numbers and times intact.
#include "log/log_fixture.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vdl {
namespace {

constexpr uint32_t kTickMs = 54;

// The child: on each byte from `go` it runs one timer step (a telegram every second step),
// then reports the number of the telegrams recorded so far and the clock's milliseconds.
[[noreturn]] void Child(const std::string& name, int go, int report) {
    test::LogWorld w;
    w.ap.MaxLog = 1;
    if (!w.log.OpenLog(name, false)) _exit(3);
    char c;
    int step = 0;
    int32_t last = 0;
    while (read(go, &c, 1) == 1) {
        if (step % 2 == 0) {
            T_Telegramm te =
                test::Frame(30 + step % 200, ST_OK, EK_RX1, static_cast<uint8_t>(step));
            w.log.AppendTelegram(te);
            last = te.nr;
        }
        w.clock.Advance(kTickMs);
        w.log.Periodic();
        ++step;
        char line[64];
        int n = std::snprintf(line, sizeof line, "%d %u\n", last, w.clock.ms);
        if (write(report, line, static_cast<size_t>(n)) != n) _exit(4);
    }
    _exit(0);
}

bool ReadLine(int fd, std::string& line) {
    line.clear();
    char c;
    while (read(fd, &c, 1) == 1) {
        if (c == '\n') return true;
        line += c;
    }
    return false;
}

TEST(LogCrash, KilledRecorderLosesAtMostTheLastSecond) {
    std::string dir = test::TempDir("logcrash");
    std::string name = dir + "crash.lg1";
    int go[2], rep[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(rep), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(go[1]);
        close(rep[0]);
        Child(name, go[0], rep[1]);
    }
    close(go[0]);
    close(rep[1]);

    // About 6 blocks of telegrams over 5 minutes of the child's clock, then the kill.
    const int steps = 5500;
    std::vector<std::pair<int32_t, uint32_t>> reports; // (newest number, clock ms) per step
    std::string line;
    for (int i = 0; i < steps; ++i) {
        ASSERT_EQ(write(go[1], "x", 1), 1);
        ASSERT_TRUE(ReadLine(rep[0], line)) << "child ended early";
        int32_t nr;
        uint32_t ms;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %u", &nr, &ms), 2);
        reports.emplace_back(nr, ms);
    }
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    close(go[1]);
    close(rep[0]);

    // Every telegram recorded at least a second before the kill must be there.
    uint32_t killMs = reports.back().second;
    int32_t due = 0;
    for (auto [nr, ms] : reports)
        if (ms + 1000 <= killMs) due = nr;
    ASSERT_GT(due, 2000);

    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_TRUE(r.log.Recovered());
    auto all = r.ReadAll();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().nr, 1);
    EXPECT_GE(all.back().nr, due);
    EXPECT_LE(all.back().nr, reports.back().first);
    EXPECT_EQ(r.log.Count(), static_cast<int32_t>(all.size()));
    // Numbers without gaps, times as the child's clock gave them, bytes as recorded: telegram
    // n was recorded at step 2(n - 1), when the clock stood at 1000 + 2(n - 1) x 54 ms.
    test::FakeClock ref;
    for (size_t i = 0; i < all.size(); ++i) {
        const T_Telegramm& te = all[i];
        ASSERT_EQ(te.nr, static_cast<int32_t>(i + 1));
        int step = 2 * static_cast<int>(i);
        ASSERT_DOUBLE_EQ(te.dt, ref.start + (1000 + step * kTickMs) / kMsPerDay);
        T_Telegramm want = test::Frame(30 + step % 200, ST_OK, EK_RX1, static_cast<uint8_t>(step));
        ASSERT_EQ(te.lg, want.lg);
        ASSERT_EQ(std::memcmp(te.b, want.b, static_cast<size_t>(want.lg)), 0);
    }
}

} // namespace
} // namespace vdl

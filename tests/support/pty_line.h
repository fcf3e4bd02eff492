// A virtual line between two programs: two pseudo-terminals whose far ends this process joins,
// noting when bytes pass in each direction; and the programs on it, each a child process whose
// standard output is gathered. Waits have a deadline and end as soon as their condition holds.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace vdl::test {

// One end of the line: a program opens the device `name`; this process holds the master side.
// The device side is kept open and raw here, so that nothing is echoed before the program
// sets its own line.
struct PtyEnd {
    int master = -1, device = -1;
    std::string name;

    PtyEnd() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        name = ptsname(master);
        device = ::open(name.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        tcgetattr(device, &t);
        cfmakeraw(&t);
        tcsetattr(device, TCSANOW, &t);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~PtyEnd() {
        ::close(master);
        ::close(device);
    }
    PtyEnd(const PtyEnd&) = delete;
    PtyEnd& operator=(const PtyEnd&) = delete;
    // Drops what waits on the device side unread (a line loses what nobody listens to).
    void Drain() { tcflush(device, TCIFLUSH); }
};

// A program run as a child; its standard output is gathered in `out`, its standard error
// goes to `err`.
struct ChildProgram {
    pid_t pid = -1;
    int outFd = -1, errFd = -1, status = -1;
    bool exited = false;
    std::string out, err;
    rusage usage{}; // resources used, once exited

    ChildProgram(const std::string& program, const std::vector<std::string>& args) {
        int o[2], e[2];
        if (::pipe(o) != 0) return;
        if (::pipe(e) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, o[1], 1);
        posix_spawn_file_actions_adddup2(&fa, e[1], 2);
        for (int fd : {o[0], o[1], e[0], e[1]}) posix_spawn_file_actions_addclose(&fa, fd);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(o[1]);
        ::close(e[1]);
        outFd = o[0];
        errFd = e[0];
        fcntl(outFd, F_SETFL, O_NONBLOCK);
        fcntl(errFd, F_SETFL, O_NONBLOCK);
    }
    ~ChildProgram() {
        if (pid > 0 && !exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        if (outFd >= 0) ::close(outFd);
        if (errFd >= 0) ::close(errFd);
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Reads what is there and notes the exit.
    void Gather() {
        char buf[4096];
        for (int* fd : {&outFd, &errFd}) {
            ssize_t n = 0;
            while (*fd >= 0 && (n = ::read(*fd, buf, sizeof buf)) > 0)
                (fd == &outFd ? out : err).append(buf, static_cast<size_t>(n));
            if (n == 0 && *fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
        if (!exited && pid > 0 && ::wait4(pid, &status, WNOHANG, &usage) == pid) exited = true;
    }
    bool Finished() const { return exited && outFd < 0 && errFd < 0; }
    int ExitCode() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
    // The complete lines of standard output so far.
    std::vector<std::string> Lines() const {
        std::vector<std::string> v;
        size_t from = 0;
        for (size_t nl; (nl = out.find('\n', from)) != std::string::npos; from = nl + 1)
            v.push_back(out.substr(from, nl - from));
        return v;
    }
};

struct VirtualLine;
// Runs the lines and gathers the programs' output until done() holds (true) or the deadline
// passes (false).
inline bool RunLines(const std::vector<VirtualLine*>& lines, const std::vector<ChildProgram*>& kids,
                     const std::function<bool()>& done,
                     std::chrono::milliseconds deadline = std::chrono::seconds(30));

// The two ends joined. Every pass copies what one end wrote to the other and tells `tap` the
// direction (0: from a to b) and the bytes, at the moment they pass.
struct VirtualLine {
    PtyEnd a, b;
    std::function<void(int dir, const char* bytes, size_t n)> tap;

    // Copies what is waiting at either end to the other.
    void Pass() {
        char buf[4096];
        for (int dir = 0; dir < 2; ++dir) {
            int from = dir == 0 ? a.master : b.master, to = dir == 0 ? b.master : a.master;
            for (ssize_t n; (n = ::read(from, buf, sizeof buf)) > 0;) {
                if (tap) tap(dir, buf, static_cast<size_t>(n));
                for (ssize_t done = 0; done < n;) {
                    ssize_t w = ::write(to, buf + done, static_cast<size_t>(n - done));
                    if (w > 0)
                        done += w;
                    else
                        break;
                }
            }
        }
    }

    // Runs until done() holds (true) or the deadline passes (false).
    bool Run(const std::vector<ChildProgram*>& kids, const std::function<bool()>& done,
             std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
        return RunLines({this}, kids, done, deadline);
    }
    // Asks the programs to end (SIGTERM) and waits for them.
    bool Stop(const std::vector<ChildProgram*>& kids) {
        for (ChildProgram* k : kids)
            if (!k->exited) ::kill(k->pid, SIGTERM);
        return Run(kids, [&] {
            for (ChildProgram* k : kids)
                if (!k->Finished()) return false;
            return true;
        });
    }
};

inline bool RunLines(const std::vector<VirtualLine*>& lines, const std::vector<ChildProgram*>& kids,
                     const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::vector<pollfd> fds;
        for (VirtualLine* l : lines) {
            fds.push_back({l->a.master, POLLIN, 0});
            fds.push_back({l->b.master, POLLIN, 0});
        }
        for (ChildProgram* k : kids) {
            if (k->outFd >= 0) fds.push_back({k->outFd, POLLIN, 0});
            if (k->errFd >= 0) fds.push_back({k->errFd, POLLIN, 0});
        }
        ::poll(fds.data(), fds.size(), 20);
        for (VirtualLine* l : lines) l->Pass();
        for (ChildProgram* k : kids) k->Gather();
    }
    return true;
}

} // namespace vdl::test

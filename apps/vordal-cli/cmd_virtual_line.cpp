// vordal-cli virtual-line: a null-modem cable without hardware. Prints the two device paths
// and carries bytes between them until SIGINT or SIGTERM.
#include "cli.h"

#ifndef _WIN32
#include "platform/virtual_line.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <iostream>

namespace vdl::cli {

namespace {

std::atomic<bool> g_end{false};
extern "C" void OnEndSignal(int) { g_end = true; }

int RunVirtualLine(const Args& args) {
    if (!args.empty()) {
        std::cerr << "usage: vordal-cli virtual-line\n";
        return 2;
    }
    VirtualLine line;
    if (!line.Create()) {
        std::cerr << "vordal-cli virtual-line: " << line.Error() << "\n";
        return 1;
    }
    std::cout << line.EndA() << "\n" << line.EndB() << "\n";
    std::cout.flush();
    std::signal(SIGINT, OnEndSignal);
    std::signal(SIGTERM, OnEndSignal);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (g_end) QCoreApplication::quit();
    });
    watch.start(50);
    QCoreApplication::exec();
    return 0;
}

const CliCommand reg("virtual-line",
                     "  virtual-line            create two connected pseudo-terminals (a virtual\n"
                     "                          line), print their paths, carry bytes between them\n"
                     "                          until SIGINT or SIGTERM",
                     RunVirtualLine);

} // namespace

} // namespace vdl::cli

#endif

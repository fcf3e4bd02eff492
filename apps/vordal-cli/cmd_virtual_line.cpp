// vordal-cli virtual-line: a null-modem cable without hardware. Prints the two device paths
// and carries bytes between them until SIGINT or SIGTERM.
#include "cli.h"
#include "invocation.h"

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
extern "C" void OnEndSignal(int) {
    g_end = true;
}

const char* kUsage =
    "  virtual-line            create two connected pseudo-terminals (a virtual\n"
    "                          line), print their paths, carry bytes between them\n"
    "                          until SIGINT or SIGTERM";

int RunVirtualLine(const Args& args) {
    Invocation in("virtual-line", kUsage);
    if (!in.Start(args, {}, {})) return in.Exit();
    if (!in.opt().Positional().empty())
        return in.Refuse(in.Say(in.tx(2205), {Shown(in.opt().Positional()[0])}));
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

const CliCommand reg("virtual-line", kUsage, RunVirtualLine);

} // namespace

} // namespace vdl::cli

#endif

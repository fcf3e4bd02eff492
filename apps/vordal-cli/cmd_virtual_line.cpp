// vordal-cli virtual-line: a null-modem cable without hardware. Prints the two device paths
// and carries bytes between them until SIGINT or SIGTERM.
#include "cli.h"
#include "invocation.h"

#ifndef _WIN32
#include "online_run.h"
#include "platform/virtual_line.h"

#include <iostream>

namespace vdl::cli {

namespace {

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
    RunUntilStopped();
    return 0;
}

const CliCommand reg("virtual-line", kUsage, RunVirtualLine);

} // namespace

} // namespace vdl::cli

#endif

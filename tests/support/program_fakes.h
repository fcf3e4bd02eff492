// Fakes of everything a program needs around it: the clock, the link platform, messages, the
// user store, the folders and the instance lock, joined into the program's services.
#pragma once

#include "app/program.h"
#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_system.h"

#include <set>
#include <string>

namespace vdl::test {

struct ProgramFakes {
    FakeClock clock;
    FakeLinkPlatform plat{clock};
    FakeMessages msg;
    FakeStore store;
    FakeFolders folders;
    std::set<std::string> locks;
    FakeLock lock{locks};
    ProgramServices sv{clock, plat, lock, store, folders, {}, 1};
};

} // namespace vdl::test

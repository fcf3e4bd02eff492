// The user's application-data folder (on Linux the XDG data home, ~/.local/share unless
// XDG_DATA_HOME says otherwise) and the system's program folder (none on Linux).
#pragma once

#include "core/user_store.h"

namespace vdl {

class QtFolders : public Folders {
public:
    std::string AppDataFolder() override;
    std::string ProgramFilesFolder() override;
};

} // namespace vdl

#include "link/user_data.h"

#include <algorithm>

namespace vdl {

void UserDataSources::Add(UserDataSource* s) {
    if (s && std::find(list_.begin(), list_.end(), s) == list_.end()) list_.push_back(s);
}

void UserDataSources::Remove(UserDataSource* s) {
    list_.erase(std::remove(list_.begin(), list_.end(), s), list_.end());
}

UserDataSources::Found UserDataSources::First(const T_ComVar& c, int station,
                                              std::initializer_list<SourceKind> kinds,
                                              int cls) const {
    for (UserDataSource* s : list_) {
        if (std::find(kinds.begin(), kinds.end(), s->Kind()) == kinds.end()) continue;
        ReadyData r = s->ReadyOf(c, station, cls);
        if (r.cls == DATA_NONE) continue;
        return {s, r};
    }
    return {};
}

} // namespace vdl

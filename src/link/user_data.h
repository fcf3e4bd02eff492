// The user data sources: what an emulated station sends besides its link frames (send
// telegrams, send lists, command feedback, file transfer). Each source answers two questions
// for a channel and a station, "is something ready, of which class" and "build it into the
// frame to send"; the link procedures ask the sources in their registered order and never know
// which one they talk to.
#pragma once

#include "core/channel.h"

#include <vector>

namespace vdl {

// What a source holds; the link procedures pick by kind where their rules differ (a controlled
// station answers a class 1 request with the command feedback before a user telegram).
enum class SourceKind { UserTelegram, CommandFeedback, FileTransfer };

// Data classes of the unbalanced procedure.
enum : int { DATA_NONE = 0, DATA_CLASS1 = 1, DATA_CLASS2 = 2 };

// What a source has ready.
struct ReadyData {
    int cls = DATA_NONE; // DATA_CLASS1, DATA_CLASS2, or DATA_NONE for nothing
    int station = -1;    // index in the channel's link address list of the station it is for
};

class UserDataSource {
public:
    virtual ~UserDataSource() = default;
    virtual SourceKind Kind() const = 0;
    // What is ready on this channel for station (an index of bp.la; -1 asks for any station).
    virtual ReadyData Ready(const T_ComVar& c, int station) const = 0;
    // Builds the ready frame for the station into se.te of the channel (a complete frame, its
    // control field composed by the transmitter's Finish variable frame). False when nothing
    // was built.
    virtual bool Build(T_ComVar& c, int station) = 0;
    // The same for one class of data (DATA_NONE: any class), for a source that holds data of
    // both classes at once; the others answer by their one class.
    virtual ReadyData ReadyOf(const T_ComVar& c, int station, int cls) const {
        ReadyData r = Ready(c, station);
        return (cls == DATA_NONE || r.cls == cls) ? r : ReadyData{};
    }
    virtual bool BuildOf(T_ComVar& c, int station, int cls) {
        (void)cls;
        return Build(c, station);
    }
};

// The registry of sources, owned by the program; a source registers once and stays.
class UserDataSources {
public:
    void Add(UserDataSource* s);
    void Remove(UserDataSource* s);
    bool Empty() const { return list_.empty(); }

    // The first source of one of the kinds that has something ready for the station (any
    // class when cls is DATA_NONE), or nullptr.
    struct Found {
        UserDataSource* source = nullptr;
        ReadyData ready;
    };
    Found First(const T_ComVar& c, int station, std::initializer_list<SourceKind> kinds,
                int cls = DATA_NONE) const;

private:
    std::vector<UserDataSource*> list_;
};

} // namespace vdl

// The 2000-byte head that log files and parameter set files share: magic, a length, the
// length of the head part, the general settings and both channels' operating parameters.
#pragma once

#include "core/records.h"
#include "core/settings_records.h"

#include <cstddef>
#include <cstdint>

namespace vdl {

constexpr uint32_t kFileMagic = 0x56000101;
// Parameter set files with this magic carry no settings that are taken.
constexpr uint32_t kFileMagicNoSettings = 0x56000401;
constexpr int kFileHeadLen = 2000;
constexpr int32_t kAllgParOldLen = 876;

#pragma pack(push, 1)
struct T_DateiKopf {
    uint32_t magic;
    int32_t lgdatei; // file length (log: 2128 + blocks in use x 32768)
    int32_t lgkopf;  // 2000, the length of the head part (log: 2128 while never closed)
    int32_t f0;
    T_AllgPar ap;
    T_BetriebsPar bp[2];
};
#pragma pack(pop)
static_assert(sizeof(T_DateiKopf) == kFileHeadLen);
static_assert(offsetof(T_DateiKopf, ap) == 16);
static_assert(offsetof(T_DateiKopf, bp) == 1016);

// Builds a head from the present settings; both filters are stored inactive.
T_DateiKopf BuildFileHead(int32_t lgdatei, int32_t lgkopf, const T_AllgPar& ap,
                          const T_BetriebsPar& bp1, const T_BetriebsPar& bp2);

// True when the address lengths and structures of ap are ones the program can work with.
bool AllgParUsable(const T_AllgPar& ap);
// True when bp holds nothing the channel code cannot work with (baud rate, function, counts).
bool BetriebsParUsable(const T_BetriebsPar& bp);

// What TakeSettingsFromHead took.
struct HeadTaken {
    bool allg = false;
    bool chan = false;
};

// Takes the general settings (1000 bytes, or 876 of an older file) and the channel parameters
// (492 bytes each, or two blocks of 144 at 1016 and 1160) from a head of kFileHeadLen bytes.
// Settings of another length or that the program cannot work with are not taken. With
// keepLogSize the present log size stays in force.
HeadTaken TakeSettingsFromHead(const uint8_t* head, T_AllgPar& ap, T_BetriebsPar& bp1,
                               T_BetriebsPar& bp2, bool keepLogSize);

} // namespace vdl

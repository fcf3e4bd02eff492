// Building the telegrams of a send list: the active objects from the list's position on,
// packed into one ASDU as far as their type, cause and common address agree, the type allows
// several objects and the channel's maximum telegram length holds them; a run of consecutive
// object addresses goes with one address (SQ = 1). Each telegram advances the cycle.
#pragma once

#include "asdu/asdu_layout.h"
#include "link/link_env.h"
#include "send/seli.h"

namespace vdl {

struct ListBuildOptions {
    bool perObjectCa = false; // option 8: common address and originator per object
    bool counters = false;    // option 11: counter readings advance with every sending
};

enum class ListBuildResult {
    Built,       // the telegram is in se.te
    NoObject,    // the list has no active object
    NotSendable, // the current object's type is not built by the encoder
};

// How many objects the next telegram of list l takes (from its current object on), and
// whether they go as a sequence (SQ = 1): the counting of BuildListTelegram, without
// changing the list. maxLen is the channel's maximum telegram length.
struct ListPacking {
    int first = 0; // index of the first object, 0 none
    int count = 0;
    bool sq = false;
};
ListPacking PackListObjects(const SeLi& l, const AsduLayout& lay, int maxLen, bool perObjectCa);

// Builds the next telegram of list l into se.te of the channel: the header's control field,
// link address, cause bits and (without option 8) common address and originator; each object
// with its address (only the first in a sequence), element and time tag (the present time, with
// the summer time and substituted bits of the general settings). Counts the objects into the
// cycle (anzzyk) and moves idx on. notSendable receives the index of an object it cannot build.
ListBuildResult BuildListTelegram(T_ComVar& c, LinkEnv& env, SeLi& l, const ListBuildOptions& o,
                                  int* notSendable = nullptr);

// The end of a cycle after each telegram: true when a cycle ended (the list then counts a
// transmission, pauses or goes again, and stops after anzt cycles).
bool EndOfListCycle(SeLi& l);

} // namespace vdl

// The controlled station of unbalanced transmission: answers every request of the controlling
// station for one of its configured link addresses (acknowledgements, status of link, class 1
// or class 2 data, or that no data is available), repeats its last answer when a request is
// repeated, and signals pending class 1 data with the access demand bit. Its stations become
// usable when the controlling station resets their links (uslstat, usfcb).
#pragma once

#include "link/link_env.h"

#include <cstdint>

namespace vdl {

// The station's state is the answer it owes its controlling station (sendq): a fixed frame of
// the transmitter by its code, or one of its own answers.
enum class ControlledState : uint8_t {
    Idle = 0,               // nothing owed
    OwesAck = 1,            // positive acknowledgement
    OwesStatus = 3,         // status of link / access demand
    OwesNotImplemented = 4, // link service not implemented
    OwesAccessDemand = 9,   // answer a request for access demand
    OwesRepetition = 11,    // repeat the last answer
    OwesClass1 = 12,        // answer a request for class 1 data
    OwesClass2 = 13,        // answer a request for class 2 data
};

// The step of the tick procedure while no send sequence is under way: the owed answer goes out.
void ControlledStationStep(T_ComVar& c, LinkEnv& env);

// The reaction to a judged frame from the controlling station: what is owed (sendq).
void ControlledStationReaction(T_ComVar& c, LinkEnv& env);

} // namespace vdl

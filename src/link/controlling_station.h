// The controlling station of unbalanced transmission: polls the configured stations one after
// the other, establishes each station's link (request status of link, reset of remote link),
// sends the user data ready for the station, polls class 1 and class 2 data, repeats
// unanswered requests, declares a link lost when the repetitions are used up, and pauses after
// a negative acknowledgement or a data flow control signal.
#pragma once

#include "link/link_env.h"

#include <cstdint>

namespace vdl {

// The link states of the controlling station (lks; 6..9 belong to the modem dialogue).
enum class ControllingState : uint8_t {
    Ready = 1,       // choose the next frame for station usi
    AwaitAnswer = 2, // a request (user data, poll, status request after a pause) is out
    AwaitStatus = 3, // request status of link is out
    AwaitReset = 4,  // reset of remote link is out
    Pause = 5,       // pause after a negative acknowledgement or data flow control
};

// The step of the tick procedure while no send sequence is under way.
void ControllingStationStep(T_ComVar& c, LinkEnv& env);

// The reaction to a judged frame that reached the controlling station (the answer reception).
void ControllingStationReaction(T_ComVar& c, LinkEnv& env);

} // namespace vdl

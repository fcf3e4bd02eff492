// A station of balanced transmission: a primary and a secondary station at once. As primary it
// establishes its link (request status of link, reset of remote link), sends user data with
// confirmation, repeats, tests the link cyclically and pauses after a negative acknowledgement
// or a data flow control signal; as secondary it answers the partner's primary frames.
#pragma once

#include "link/link_env.h"

#include <cstdint>

namespace vdl {

// The link states of the balanced station (lks; 6..9 belong to the modem dialogue).
enum class BalancedState : uint8_t {
    Start = 0,      // link not yet established, not yet reported as lost
    Up = 1,         // link established: idle, or waiting for the confirmation of a frame (wquit)
    Lost = 3,       // link lost (reported); status requests after each pause
    AwaitReset = 4, // reset of remote link is out
    Pause = 5,      // pause after a negative acknowledgement or data flow control
};

// The step of the tick procedure while no send sequence is under way.
void BalancedStationStep(T_ComVar& c, LinkEnv& env);

// The reaction to a judged frame from the partner.
void BalancedStationReaction(T_ComVar& c, LinkEnv& env);

} // namespace vdl

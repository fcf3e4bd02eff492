// The services all link procedures share: the link state (changed in one place), the link
// events, the next-station rule, the class 1 question and the sending of user data from the
// sources; and the dispatch of the tick procedure's idle work and of the receiver's link
// reaction to the procedure of the channel's mode.
#pragma once

#include "link/link_env.h"

#include <initializer_list>

namespace vdl {

// Every change of lks goes through here.
void SetLinkState(T_ComVar& c, LinkEnv& env, uint8_t lks);

// Link event 32 (lost) or 45 (established) of a station (index of bp.la). In the unbalanced
// modes the station's uslstat bit is the memory: an event that would not change it is dropped.
// A recorded event is logged with the station's link address and reported to the hooks.
void LinkEvent(T_ComVar& c, LinkEnv& env, uint8_t event, int station);

// The next station gets its turn: lks = 1, no repetitions made, usi advances (when the link
// address has octets).
void NextStation(T_ComVar& c, LinkEnv& env);

// Whether class 1 data is pending for station usi (a kept command confirmation or a source
// with class 1 data ready): sets se.class1.
void DetermineClass1(T_ComVar& c, LinkEnv& env);

// A frame that arrives while this channel's own send sequence is in its send delay or RTS lead
// is marked 23 and not acted on: true when that was so.
bool MarkedBusy(T_ComVar& c);

// The acknowledgement time-out of the outstanding frame has passed: it is repeated while
// repetitions are left (true); false when they are used up.
bool RepeatAfterTimeout(T_ComVar& c, LinkEnv& env);

// The balanced link test countdown starts again (a confirmation or answer arrived).
void ReloadLinkTest(T_ComVar& c, LinkEnv& env);

// The countdowns of every timer tick: in balanced emulation with a link test cycle, a link test
// becomes due (kanueb) when the countdown runs out.
void LinkTickCountdowns(T_ComVar& c, LinkEnv& env);

// Builds the first frame of the given kinds (and class, DATA_NONE for any) that a source has
// ready for station usi and starts sending it; false when link test switch 9 is on or nothing
// was ready.
bool SendUserData(T_ComVar& c, LinkEnv& env, std::initializer_list<SourceKind> kinds,
                  int cls = DATA_NONE);

// The tick procedure's work when no send sequence is under way, and the reaction to a judged
// frame, each by the channel's emulation mode.
void LinkIdleWork(T_ComVar& c, LinkEnv& env);
void LinkReaction(T_ComVar& c, LinkEnv& env);

} // namespace vdl

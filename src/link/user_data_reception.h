// What happens to a correct ASDU that reaches an emulated station (the reception of user data)
// and the automatic confirmation of commands: a command is kept per station, and the station
// sends it back as its confirmation when it is its turn to send.
#pragma once

#include "asdu/asdu_layout.h"
#include "link/link_env.h"

#include <cstdint>

namespace vdl {

// Commands kept per station at most; a controlling station that sends more without letting
// the station answer finds the newest ones unconfirmed.
constexpr size_t kMaxKeptCommands = 16;

// A frame the reception takes: no error verdict (graded causes and unknown types included).
constexpr bool IsCorrectFrame(uint8_t stat) {
    return stat >= ST_OK;
}

// The reception of user data of em.te: the receive triggers, the command feedback, the
// automatic confirmation (bcon) and the file transfer. Nothing happens with link test switch 9
// on.
void ReceiveUserData(T_ComVar& c, LinkEnv& env);

// Keeps the frame te (its verdict and octets) as a confirmation owed: for its station, or for
// every configured station when it was sent to the broadcast address.
void KeepConfirmation(T_ComVar& c, const T_Telegramm& te, const AsduLayout& lay);

// Whether a confirmation is kept for a station (index of bp.la).
bool ConfirmationKept(const T_ComVar& c, int station);
// The first station with a confirmation kept, or -1.
int StationWithConfirmation(const T_ComVar& c);

// Sends the oldest confirmation kept for station usi: the command as received with the control
// field of user data as a response, the station's link address, the cause + 1, the negative
// bit when its verdict was not 40, the time of a delay acquisition (106) filled in. False when
// none is kept.
bool SendKeptConfirmation(T_ComVar& c, LinkEnv& env);

} // namespace vdl

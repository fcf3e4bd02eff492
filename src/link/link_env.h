// What the transmitter and the link procedures reach besides the channel record: the channel
// service (ticks, send delay, lamps, log), the settings, the texts, the clock of time tags, the
// messages to the user, the user data sources, and the hooks into the later subsystems.
#pragma once

#include "core/allg_var.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "link/channel_service.h"
#include "link/user_data.h"

#include <functional>
#include <string>

namespace vdl {

// A hook that is not set does nothing.
struct LinkHooks {
    // Reception of user data (the frame is em.te): the receive triggers of the send telegrams
    // and send lists.
    std::function<void(T_ComVar&)> userData;
    // A command of types 45..51 reached the emulated station: true when the command feedback
    // is switched on; it then takes commands with cause 6 or 8 and prepares their confirmation
    // itself.
    std::function<bool(T_ComVar&)> commandFeedback;
    // A frame of file transfer (types 120..126) reached the emulated station.
    std::function<void(T_ComVar&)> fileTransfer;
    // A link event (32 lost, 45 established) was recorded for a station's link address: the
    // link state display is refreshed, and after 45 the send telegrams and lists waiting for
    // an established link become ready.
    std::function<void(T_ComVar&, uint8_t event, uint16_t la)> linkEvent;
    // The link state lks of a channel changed (for tracing).
    std::function<void(T_ComVar&, uint8_t from, uint8_t to)> stateChanged;
};

struct LinkEnv {
    ChannelService& svc;
    const T_AllgVar& av;
    const T_AllgPar& ap;
    const TextTable& texts;
    Clock& clock; // the time of day written into time tags
    Messages& msg;
    UserDataSources& sources;
    LinkHooks hooks;
    // The text collected from the modems (both channels share it), and the millisecond clock
    // when its last line came.
    std::string modemText{};
    uint32_t modemLineMs = 0;
};

} // namespace vdl

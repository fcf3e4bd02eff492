// The send telegrams at work: the operator's send request with its checks, the triggers (a
// received type or frame, a link event, a clock minute), stopping, and the service by the
// channel. The set is the first user data source of the link procedures: it says which
// telegram is pending for a channel and station, of which class, and encodes it.
#pragma once

#include "core/settings_records.h"
#include "link/file_transfer.h"
#include "link/link_env.h"
#include "link/user_data.h"
#include "send/sete.h"
#include "send/sete_encoder.h"

#include <functional>
#include <string>

namespace vdl {

// Program texts of the send telegrams.
constexpr int kTxSendOffline = 870;
constexpr int kTxSendWithoutLink = 871;
constexpr int kTxSendNoUserData = 873;
constexpr int kTxChannelWithoutPort = 1138;
constexpr int kTxCommandFile = 395;
constexpr int kTxTelegramTooLong = 2330;
constexpr int kTxTelegramFileTransferOnly = 2331;
constexpr int kTxTelegramNoEncoding = 2358;
constexpr int kTxModeWords = 864; // + anst: the trigger mode in the send menus

// What the send telegrams reach besides their set.
struct SendEnv {
    LinkEnv& link;       // the transmitter's environment: channel service, settings, clock
    T_AllgVar& av;       // online, anstzeit, the data directory, setelisav
    T_ComVar (&com)[2];  // the channels
    const T_ProgPar& pp; // option 11 (counter readings advance), option 12 (command files)
    // Enters a program message (stat 33) into the log.
    std::function<void(const std::string&)> logMessage;
    // Enters a program text (stat 52) into the log.
    std::function<void(const std::string&)> logText;
};

enum class RequestResult {
    Requested, // the telegram is requested (stat 1)
    Refused,   // a check refused it, with its message
    Declined,  // the user answered No to sending without a link
};

class SendTelegrams : public UserDataSource {
public:
    SendTelegrams(SeTeSet& set, SendEnv env) : set_(&set), env_(env) {}

    // ---- The user data source ----
    SourceKind Kind() const override { return SourceKind::UserTelegram; }
    // Examining the telegrams moves those that paused long enough back to requested.
    ReadyData Ready(const T_ComVar& c, int station) const override;
    bool Build(T_ComVar& c, int station) override;
    // The same for one class of data (the controlled station's class 1 and class 2 requests).
    ReadyData ReadyOf(const T_ComVar& c, int station, int cls) const override;
    bool BuildOf(T_ComVar& c, int station, int cls) override;

    // ---- Requests ----
    // The operator's request of telegram n (1..12), with the channel checks and messages.
    RequestResult RequestSend(int n);
    // Stops every telegram (and, through stopLists, every send list).
    void StopAll();
    // Idle again, qualifier 1, no transmissions counted, the link address resolved from
    // laidx; a time-triggered telegram switches the minute service on.
    void ResetSendState(int n);
    // The link address of a telegram's station from its laidx on its sending channel.
    uint32_t ResolveLinkAddress(const T_SeTe& t) const;
    // A telegram read from a text file names its station by link address: laidx follows it
    // when the sending channel has that address (or it is the broadcast address).
    void StationFromLinkAddress(T_SeTe& t) const;

    // A correct frame with user data reached the channel (mode 1, typn 0..255).
    void FireOnReceive(const T_ComVar& c, const T_Telegramm& te);
    // A frame closed on the channel (mode 1, typn 256: any variable frame, 257 + n: function
    // code n).
    void FireOnFrame(const T_ComVar& c, const T_Telegramm& te);
    // A link event of a station: mode 2 link established, mode 3 reset by the remote station.
    void FireEvent(const T_ComVar& c, int mode, uint16_t la);
    // The minute of the local clock changed (modes 4 and 5).
    void FireMinute(int minuteOfHour);

    // The editor opens on telegram n: it stops sending while it is edited; its copy.
    T_SeTe OpenForEditing(int n);
    // The editor's buffer replaces telegram n, with its link address resolved from laidx. A
    // changed telegram makes the send data unsaved and reloads its raw file. True when it
    // changed.
    bool StoreEdited(int n, const T_SeTe& edited);

    // Reloads the lines of telegram n's raw file (type 133).
    void ReloadRawFile(int n);
    // Reloads the raw files of all telegrams (after a parameter set was loaded).
    void ReloadRawFiles();

    // The command file of the data directory (option 12): read into telegram 12 when it is
    // idle, emptied, and telegram 12 requested.
    void RunCommandFile();

    bool Active(int n) const { return set_->at(n).stat != SS_TE_IDLE; }
    bool AnyActive() const;

    // The list reset of the send lists, run by StopAll.
    std::function<void()> stopLists;
    // Telegram n has been built to be sent (the demonstration line follows its commands).
    std::function<void(int n)> sent;
    // The file transfer, which builds the telegrams of types 120, 122 and 126.
    FileTransfer* files = nullptr;

    // ---- The rules of one item, shared with the send lists (a list's header is an item) ----
    bool OnChannel(const T_SeTe& t, const T_ComVar& c) const;
    // Whether item t is pending on channel c for station (an index of bp.la, -1 any); moves
    // the pause states on.
    bool Pending(T_SeTe& t, const T_ComVar& c, int station) const;
    int ClassOf(const T_SeTe& t, const T_ComVar& c) const;
    int StationIndex(const T_SeTe& t, const T_ComVar& c, int station) const;
    // The operator's request of an item: the checks of its channel with their messages, then
    // stat 1.
    RequestResult RequestItem(T_SeTe& t);
    // Idle, qualifier 1, no transmissions counted, the link address resolved.
    void ResetItem(T_SeTe& t);
    // Whether a frame on channel c fires the type trigger of item t (mode 1, typn 0..255) as
    // far as its link address, type and cause go; the common address is the caller's rule.
    bool TypeTriggerMatches(const T_SeTe& t, const T_ComVar& c, const T_Telegramm& te) const;
    // Mode 1 with typn 256 (any variable frame) or 257 + a function code.
    bool FrameTriggerFires(const T_SeTe& t, const T_ComVar& c, const T_Telegramm& te) const;
    // Modes 2 and 3: a link event of the item's channel (and station).
    bool EventTriggerFires(const T_SeTe& t, const T_ComVar& c, int mode, uint16_t la) const;
    // Modes 4 and 5 at a change of the minute.
    bool MinuteTriggerFires(const T_SeTe& t, int minuteOfHour) const;

    const SendEnv& Env() const { return env_; }

private:
    // The first pending telegram of a class (DATA_NONE: any; the controlled station offers
    // class 1 first), 0 when none.
    int Select(const T_ComVar& c, int station, int cls) const;
    bool BuildTelegram(T_ComVar& c, int n);
    EncodeResult EncodeFileTelegram(T_ComVar& c, const T_SeTe& t);

    SeTeSet* set_; // examined and changed by the const questions of the source too
    SendEnv env_;
};

// The caption of telegram n in the send menus: its number in hexadecimal, " *" when active,
// the trigger mode word, the type or minute of modes 1, 4 and 5, two blanks and its name; the
// edit menu's entries end with "...".
std::string SendMenuCaption(int n, const T_SeTe& t, bool active, const TextTable& texts, bool edit);

} // namespace vdl

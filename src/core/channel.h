// The state of one serial channel. Exactly two exist, one per channel, living for the whole
// run; every procedure of the link layer takes one by reference. These records stay in memory
// only, so their layout is ours.
#pragma once

#include "core/records.h"

#include <array>
#include <deque>
#include <memory>
#include <string>

namespace vdl {

class SerialPort;   // the port behind a channel (link layer interface)
class LampButton;   // the tool button that shows a lamp (user interface)
class TransferFile; // an open file of file transfer (link layer interface)

// A lamp of the tool bar: lit for uhrLed more ticks.
struct T_LedVar {
    LampButton* tbtn = nullptr;
    int32_t uhrLed = 0;
};

// Receive state of a channel.
struct T_EmpfVar {
    int32_t oa = 0;       // object address of the last file transfer frame received
    uint32_t TOut = 0;    // receive time-out in ms
    uint32_t toc = 0;     // millisecond clock value at which the frame in progress times out
    uint16_t bnr = 0;     // bytes of the frame in progress stored in te.b
    uint16_t tlg = 0;     // bytes the frame in progress is expected to have
    uint16_t fehl = 0;    // line error code of the current input block (5 = break)
    uint16_t nafile = 0;  // name of file of the last file transfer frame received
    int16_t ela[15] = {}; // link addresses seen while monitoring unbalanced traffic, -1 free
    uint16_t efcb = 0;    // expected frame count bit per ela slot
    T_Telegramm te{};     // the frame being received
    uint16_t anz = 0;     // bytes of the current input block still to process
    uint16_t anzspik = 0; // consecutive spikes suppressed
    uint8_t nasect = 0;   // name of section of the last file transfer frame received
    uint8_t quali = 0;    // qualifier (or segment length) of that frame
    uint8_t enr = 1;      // receive number of the channel (1 or 3)
    uint8_t fcb = 0;      // last primary control field with FCV seen in balanced monitoring
    bool syn = false;     // a start character has been recognised
    bool zyklf = false;   // reserved
};

// A command kept for automatic confirmation: its verdict and the frame as received.
struct T_ComCmd {
    uint8_t stat = 0;
    int16_t lg = 0; // bytes of the frame in b
    T_TeByte b = {};
};

// Link test switches (index into lt).
enum : int {
    LT_NEGATIVE_ACK = 0,
    LT_NO_SECONDARY = 1,
    LT_INVERT_BIT7 = 2,
    LT_INVERT_PRM = 3,
    LT_NO_FCB_TOGGLE = 4,
    LT_INVERT_FCV = 5,
    LT_SET_ACD = 6,
    LT_SET_DFC = 7,
    LT_DATA_BEFORE_LINK = 8,
    LT_NO_USER_DATA = 9,
    LT_FILE_CHECKSUM = 10,
    LT_REFUSE_SECTIONS = 11,
    LT_SPARE = 12,
    LT_COUNT = 13,
};

// Emulation modes (sim).
enum : uint8_t {
    SIM_NONE = 0,
    SIM_BALANCED = 1,
    SIM_MASTER = 2, // unbalanced controlling station
    SIM_SLAVE = 3,  // unbalanced controlled station
};

// Steps of the send sequence (Stat).
enum : int32_t {
    SS_IDLE = 0,
    SS_RTS_LEAD = 1,
    SS_SENDING = 2,
    SS_RTS_LAG = 3,
    SS_SEND_DELAY = 4,
};

// Send and link state of a channel. Timer fields hold a tick at which something becomes due,
// or a count of ticks.
struct T_SendVar {
    uint32_t u1 = 0;       // tick at which the current step of the send sequence ends
    uint32_t u2 = 0;       // tick at which the acknowledgement time-out expires
    uint32_t u3 = 0;       // tick at which the re-establishment pause (or modem step) is due
    uint32_t ubreak = 0;   // tick count of the modem hang-up sequence
    uint32_t udauer = 0;   // ticks left of the maximum modem connection time (0 = not running)
    uint32_t ulink = 0;    // ticks left until an idle modem connection is dropped
    uint32_t TOut = 0;     // reserved
    uint32_t urm = 0;      // tick at which the automatic command feedback is due
    int32_t whzl = 0;      // repetitions made so far for the outstanding frame
    int32_t pzt = 0;       // transmission time of 4 characters in ms plus 1
    uint32_t polltick = 0; // tick of the next class 2 poll
    uint32_t kuebtick = 0; // ticks left until the next link test (balanced)
    int32_t usi = 0;       // index of the current station in bp.la
    int32_t usia = 0;      // previous value of usi (controlled station)
    int32_t usin = 0;      // index of the link address of the frame just received
    int32_t la = 0;        // link address of the station currently addressed
    int32_t ftla = 0;      // link address used for file transfer
    int32_t Stat = 0;      // step of the send sequence (SS_*)
    uint32_t hTime = 0;    // handle of the one-shot timer of a long send delay (0 = none)
    T_Telegramm te{};      // the frame being sent
    T_Telegramm tew{};     // the last primary frame that expects an acknowledgement
    uint16_t uslstat = 0;  // per station index: 1 = link not established
    uint16_t usfcb = 0;    // per station index: frame count bit to send next
    uint8_t akt = 0;       // the tick procedure of this channel is running
    uint8_t lks = 0;       // link state
    uint8_t lke = 0;       // last primary control field with FCV received in balanced mode
    uint8_t sim = 0;       // emulation mode (SIM_*)
    uint8_t empfq = 255;   // control field of the answer to the outstanding request; 255 none
    uint8_t sendq = 0;     // response owed to the partner; 0 none
    uint8_t ustele = 0;    // kind of the last request sent
    uint8_t fcb = 0;       // frame count bit (0 or 0x20) of the balanced primary direction
    uint8_t fktorg = 0;    // control field of the last frame composed
    uint8_t snr = 2;       // send number of the channel (2 or 4)
    uint8_t paend = 0;     // watched modem lines as status bits: DCD 0x80, DSR 0x20, CTS 0x10
    int8_t rmstep = 0;     // step of simulated measured values of the command feedback
    int32_t nrcl1 = -1;    // send telegram or list (1..24) with class 1 data ready; -1 none
    int32_t nrcl2 = -1;    // the same for class 2 data
    int32_t rm = -1;       // command feedback entry ready to send; -1 none
    // Per station index, the commands received for automatic confirmation, oldest first.
    std::array<std::deque<T_ComCmd>, 15> c{};
    bool open = false;   // the port is open
    bool mlke = false;   // the remote station reset the link; report it after the frame
    bool kanueb = false; // a link test is due
    bool wait = false;   // a transmission is under way
    bool wquit = false;  // an acknowledgement or response is awaited for tew
    bool loadu2 = false; // start the acknowledgement time-out when the transmission ends
    bool sofse = false;  // the user asked to send now
    bool class1 = false; // class 1 data is pending
    bool ft = false;     // reserved
    std::array<bool, LT_COUNT> lt{}; // link test switches
    std::array<bool, 15> abf1{};     // per station: the last response carried ACD

    // The ticks at which the modem's connection countdown and its hang-up count last ran: the
    // tick procedure also runs on run-now messages, the counts only once per tick.
    uint32_t tcount = UINT32_MAX;
    uint32_t tbreak = UINT32_MAX;
};

// File transfer state of one direction.
struct T_FileTransfer {
    std::shared_ptr<TransferFile> f; // the open file
    int32_t ofs = 0;                 // current offset in the file
    int32_t ofssect = 0;             // offset within the current section
    T_Var lgfile{};                  // file length (3 octets used)
    T_Var maxsect{};                 // default section length (5000)
    T_Var lgsect{};                  // length of the current section
    uint16_t wttick = 0;             // time-out reload value in ticks
    uint16_t tick = 0;               // time-out counter
    uint16_t la = 0;
    uint16_t ca = 0;
    int32_t oa = 0;
    uint16_t nafile = 0; // name of file
    uint8_t nasect = 0;  // name of section
    uint8_t ptfile = 0;  // file checksum
    uint8_t ptsect = 0;  // section checksum
    uint8_t lgsegm = 0;  // maximum segment length
    uint8_t stat = 0;    // state
    uint8_t typ = 0;     // type of the next frame to send (0 none)
    uint8_t quali = 0;   // qualifier for that frame
    uint8_t eken = 0;    // 1 in the receiving direction
    uint8_t ende = 0;    // 1 when the transfer has ended
    uint8_t msect = 0;   // advance the section name with the next section
    uint8_t org = 0;     // reserved
    bool idx = false;    // the index file is open
    // The index file of this direction (written while receiving, read while offering) and the
    // position in it; the file's path for messages.
    std::shared_ptr<TransferFile> fidx;
    int32_t idxofs = 0;
    std::string name;
    bool refused = false; // a segment of the current section was refused (not written)
    int8_t dir = -1;      // the directory the offered file was selected from (-1 none)
};

// A directory to send on a channel: asked for by the partner, or offered again after one of
// its files went over.
struct T_DirSend {
    uint8_t stat = 0; // 0 none, 1 waiting for tick, 2 due
    uint8_t urs = 0;  // cause of transmission
    int8_t vz = 0;    // 0 the main directory, 1..4 the sub-directories
    uint16_t la = 0;
    uint16_t ca = 0;
    uint32_t tick = 0;
};

// A file call in progress.
struct T_CallFileVar {
    uint16_t tick = 0;
    uint16_t la = 0;
    uint16_t aa = 0;
    int32_t oa = 0;
    uint16_t nafile = 0;
    uint8_t nasect = 0;
    uint8_t scq = 0;
    uint8_t org = 0;
    uint8_t stat = 0;
};

// The whole state of one channel.
struct T_ComVar {
    SerialPort* pCp = nullptr; // the serial port of the channel
    T_LedVar LedR;             // receive lamp
    T_LedVar LedT;             // transmit lamp
    int32_t rpbrsp1 = 0;       // rp57x variants: 12 for function 5, 16 for function 6
    T_BetriebsPar bp{};        // operating parameters
    uint16_t hCpOutBuffUsed = 0;
    uint16_t hCpModStat = 0;
    T_EmpfVar em;
    T_SendVar se;
    T_Modem wm{};
    T_FileTransfer fte; // receiving direction
    T_FileTransfer fts; // sending direction
    T_CallFileVar cf;
    T_DirSend vz;       // a directory to send
    bool rp57x = false; // the channel runs one of the rp57x variants
    uint8_t f1[3] = {};
};

// The built-in operating parameters of channel 1.
T_BetriebsPar DefaultBetriebsPar();

// Sets up both channel records at program start: channel 1 from the defaults, channel 2 as a
// copy of it with its own receive and send numbers and first link address 2.
void InitChannelRecords(T_ComVar& c1, T_ComVar& c2);

} // namespace vdl

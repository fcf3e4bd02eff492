// File transfer of the standard (types 120..126) in both directions. The receiving direction
// (fte) stores a file the partner offers in the data directory, named by its name of file; the
// offering direction (fts) serves a file section by section and segment by segment, offered
// spontaneously or selected by the partner from a directory. Each direction is a small state
// machine driven by the partner's frames; the frames it owes wait in its record (typ, quali)
// until the link procedure picks them up: file transfer is the last user data source, and its
// data is class 1 data. A directory received can call its first file automatically (cf).
#pragma once

#include "link/file_directory.h"
#include "link/link_env.h"
#include "link/transfer_files.h"
#include "link/transmitter.h"
#include "link/user_data.h"

#include <array>
#include <cstdint>
#include <string>

namespace vdl {

// Messages: a file could not be read or written (file name, the system's code).
constexpr int kTxFileReadError = 2079;
constexpr int kTxFileWriteError = 2080;

// Type identifications.
enum : uint8_t {
    FT_FILE_READY = 120,
    FT_SECTION_READY = 121,
    FT_CALL = 122,
    FT_LAST = 123,
    FT_ACK = 124,
    FT_SEGMENT = 125,
    FT_DIRECTORY = 126,
};

// Qualifiers (low nibble the meaning of the standard, high nibble the cause).
enum : uint8_t {
    SCQ_DEFAULT = 0, // with cause 5: call the directory
    SCQ_SELECT_FILE = 1,
    SCQ_REQUEST_FILE = 2,
    SCQ_REQUEST_SECTION = 6,
    SCQ_DEACTIVATE_SECTION = 7,
    SCQ_CANNOT_STORE = 19, // deactivate file: it cannot be stored
    LSQ_FILE = 1,          // last section of the file
    LSQ_FILE_DEACTIVATED = 2,
    LSQ_SECTION = 3, // last segment of the section
    AFQ_FILE_OK = 1,
    AFQ_SECTION_OK = 3,
    AFQ_FILE_CHECKSUM = 34,
    AFQ_SECTION_CHECKSUM = 36,
    AFQ_FILE_LENGTH = 50,
    AFQ_SECTION_LENGTH = 52,
    FRQ_NOT_READY = 0x80, // file ready: negative (the selected file cannot be offered)
};

// States of the receiving direction (fte.stat), the offering direction (fts.stat) and the file
// call (cf.stat).
enum : uint8_t { FTE_IDLE = 0, FTE_FILE = 1, FTE_SECTION = 2 };
enum : uint8_t {
    FTS_IDLE = 0,
    FTS_FILE_READY = 1,   // file ready sent
    FTS_SECTION = 2,      // section ready sent, or its segments being sent
    FTS_SECTION_DONE = 3, // last segment sent: waiting for the section's acknowledge
    FTS_LAST_SECTION = 4, // last section sent: waiting for the file's acknowledge
};
enum : uint8_t { CF_IDLE = 0, CF_COUNTING = 1, CF_DUE = 2 };

constexpr int32_t kDefaultSectionLen = 5000;
constexpr uint16_t kEndedTicks = 2;        // a transfer that has ended closes after this
constexpr uint16_t kCallTicks = 174;       // the automatic file call after a directory
constexpr uint16_t kCallTicksLastFile = 9; // ... that ends with its last file
constexpr uint8_t kCotFileTransfer = 13;
constexpr uint8_t kCotRequest = 5;
constexpr uint8_t kCotSpontaneous = 3;

// A send telegram of type 120 (offer a file), 122 (call: select file, or the directory with
// cause 5) or 126 (send a directory), with the header it asks for.
struct FileTelegram {
    uint8_t cf = 0x53; // control field asked for
    uint16_t la = 0;
    AsduHead head;    // typ, struk, cause, originator, common and object address
    uint16_t nof = 0; // 122: name of file
    std::string file; // 120: a file of the data directory, named by its NOF
    int vz = 0;       // 126: the directory (0 main, 1..4 sub-directories)
};

enum class FileTelegramResult {
    Built,       // the frame is in se.te
    Refused,     // refused with an event record (an offer runs, the file cannot be offered)
    NotSendable, // a type that is sent within a transfer only
};

class FileTransfer : public UserDataSource {
public:
    FileTransfer(LinkEnv& env, TransferFiles& files) : env_(env), files_(files) {}

    // ---- The user data source: answers of the receiving direction first, then the frames of
    // the offer, the file call and a directory; only for the station of the transfer. ----
    SourceKind Kind() const override { return SourceKind::FileTransfer; }
    ReadyData Ready(const T_ComVar& c, int station) const override;
    bool Build(T_ComVar& c, int station) override;

    // A correct frame of types 120..126 reached the emulated station (em.te): frames that do
    // not fit a transfer are marked (35, 37, 38).
    void Receive(T_ComVar& c);
    // Once per timer tick: the time-outs of both directions, the countdowns of the file call
    // and of a directory offered again.
    void Tick(T_ComVar& c);

    // Offers file nof of the data directory spontaneously to station la. False, with event
    // 34, 36 or 39, when it cannot be offered.
    bool Offer(T_ComVar& c, uint16_t nof, uint16_t la, uint16_t ca, uint32_t oa);
    // Builds the frame of a send telegram of type 120, 122 or 126 into se.te (a 120 starts the
    // offer).
    FileTelegramResult BuildTelegram(T_ComVar& c, const FileTelegram& t);

    // Closes the files of both directions (recording stops); an unfinished received file is
    // truncated at the octets received.
    void CloseFiles(T_ComVar& c);
    // Reads the directories again from the data directory.
    void Rescan();

    T_Verzeichnisse dirs;
    // The channels whose offers a received file must not overwrite.
    std::array<const T_ComVar*, 2> channels{};

private:
    struct Rx; // a received frame's fields
    bool Fits(const T_ComVar& c, uint16_t la, int station) const;
    int StationOf(const T_ComVar& c, uint16_t la, int station) const;
    uint16_t TimeoutTicks() const;
    uint8_t MaxSegment(const T_ComVar& c) const;
    std::string PathOf(uint16_t nof) const;
    void Message(T_ComVar& c, int text, const std::string& name, int code);
    bool Frame(T_ComVar& c, uint8_t cf, uint16_t la, const AsduHead& h, const uint8_t* e, int n);
    bool TransferFrame(T_ComVar& c, const T_FileTransfer& ft, uint8_t typ, const uint8_t* e, int n);

    // Receiving.
    void FileReady(T_ComVar& c, const Rx& rx);
    void SectionReady(T_ComVar& c, const Rx& rx);
    void Segment(T_ComVar& c, const Rx& rx);
    void LastSegment(T_ComVar& c, const Rx& rx);
    void WriteIndex(T_ComVar& c, int32_t len);
    void EndReception(T_ComVar& c, bool keep);
    bool BuildAnswer(T_ComVar& c);

    // Offering.
    bool StartOffer(T_ComVar& c, uint16_t nof, const std::string& name, uint16_t la, uint16_t ca,
                    uint32_t oa, int dir, bool spontaneous);
    void Call(T_ComVar& c, const Rx& rx);
    void Acknowledge(T_ComVar& c, const Rx& rx);
    void NextSection(T_ComVar& c, bool newSection);
    int32_t IndexLine(T_ComVar& c);
    void EndOffer(T_ComVar& c, bool delivered);
    bool BuildOffer(T_ComVar& c);

    // Directories and the file call.
    void DirectoryReceived(T_ComVar& c, const Rx& rx);
    bool BuildDirectory(T_ComVar& c, uint8_t cf, uint16_t la, AsduHead h, int vz);
    bool BuildCall(T_ComVar& c);

    void CountDown(T_ComVar& c, T_FileTransfer& ft);
    void Finish(T_ComVar& c, T_FileTransfer& ft, uint8_t event);

    LinkEnv& env_;
    TransferFiles& files_;
};

} // namespace vdl

// The log file: a head with the settings, the log state at 2000, and a ring of 32 KiB blocks
// from 2128 on, each holding a chain of telegram entries. This file knows the layout, checks
// blocks read from disk, finds the state of a log that was not closed cleanly, and walks the
// entries of a log (the cursor used by the view, the export and the command-line program).
#pragma once

#include "core/file_head.h"
#include "core/records.h"

#include <cstdint>
#include <functional>
#include <istream>

namespace vdl {

constexpr int kLogBlockLen = 32768;
constexpr int kLogBlockHeadLen = 64;
constexpr int kLogKopfOfs = 2000;
constexpr int kLogKopfLen = 128;
constexpr int kLogDataOfs = 2128;
// A never-closed file carries this in place of 2000 at offset 8 (and as its length at 4).
constexpr int32_t kLogOpenMark = 2128;
constexpr int kLogEntryMin = 32;
constexpr int kLogEntryMax = 302;
// The last byte an entry may occupy is 32766: the two last bytes of a block stay zero.
constexpr int kLogEntryEnd = 32767;
constexpr int32_t kNrMask = 0x7FFFFFFF;
// The size setting is limited to 2000 (units of 1000 KiB) by the settings dialog.
constexpr int32_t kMaxLogSize = 2000;

#pragma pack(push, 1)
struct T_LogBlockKopf {
    int32_t pos; // in memory: position of the block's last entry; no meaning on disk
    int32_t ofs; // offset of the last entry from byte 64
    int32_t nr1; // number of the first telegram
    int32_t nr2; // number of the last telegram (set when the block is closed)
    double dt1;  // time of the first telegram
    double dt2;  // time of the last telegram (set when closed)
    int32_t anz; // telegrams in the block (set when closed)
    uint8_t f[28];
};
static_assert(sizeof(T_LogBlockKopf) == kLogBlockHeadLen);
static_assert(offsetof(T_LogBlockKopf, nr1) == 8);
static_assert(offsetof(T_LogBlockKopf, dt1) == 16);
static_assert(offsetof(T_LogBlockKopf, anz) == 32);

struct T_LogBlock {
    T_LogBlockKopf k;
    uint8_t d[kLogBlockLen - kLogBlockHeadLen];

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }
};
static_assert(sizeof(T_LogBlock) == kLogBlockLen);

// The log state, kept in memory and stored at 2000.
struct T_LogKopf {
    int32_t lg;    // 128
    int32_t anzbl; // N, blocks of the ring
    int32_t blalt; // index of the oldest block
    int32_t blakt; // index of the block being written
    int32_t blanz; // blocks in use (set at close)
    int32_t nralt; // number of the oldest telegram
    int32_t nrneu; // number of the newest telegram
    double dtalt;  // time of the oldest telegram
    double dtneu;  // time of the newest telegram
    int32_t f44;
    int32_t ueber; // while open: how often the block shown by the view was overwritten
    uint8_t f[76];
};
static_assert(sizeof(T_LogKopf) == kLogKopfLen);
static_assert(offsetof(T_LogKopf, blanz) == 16);
static_assert(offsetof(T_LogKopf, nralt) == 20);
static_assert(offsetof(T_LogKopf, dtalt) == 28);
static_assert(offsetof(T_LogKopf, dtneu) == 36);
static_assert(offsetof(T_LogKopf, ueber) == 48);

struct T_LogDateiKopf {
    T_DateiKopf k;
    T_LogKopf lk;
};
static_assert(sizeof(T_LogDateiKopf) == kLogDataOfs);
#pragma pack(pop)

// Telegram numbers run over 31 bits (2147483647 is followed by 0): the number after n, and how
// many numbers run from `from` to `to`, both included. Numbers read from a file may be anything.
inline int32_t NextNr(int32_t n) {
    return static_cast<int32_t>((static_cast<uint32_t>(n) + 1u) & static_cast<uint32_t>(kNrMask));
}
inline int32_t NrSpan(int32_t from, int32_t to) {
    return static_cast<int32_t>((static_cast<uint32_t>(to) - static_cast<uint32_t>(from) + 1u) &
                                static_cast<uint32_t>(kNrMask));
}

// Stored length of an entry with lg data bytes.
inline int EntryLen(int lg) {
    return (lg + 32 + 1) & ~1;
}
inline int64_t BlockOffset(int k) {
    return kLogDataOfs + static_cast<int64_t>(k) * kLogBlockLen;
}
// N from the size setting (negative taken as 0, above 2000 as 2000).
int32_t LogBlockCount(int32_t sizeSetting);

uint16_t EntryLgv(const T_LogBlock& b, int pos);
uint16_t EntryLga(const T_LogBlock& b, int pos);
// The entry at pos as a telegram (bytes behind the entry zero).
T_Telegramm EntryAt(const T_LogBlock& b, int pos);

// Why the chain of a block's entries ends: at its end marker (or a full block), where the bytes
// read of the block end, or at an entry that breaks the chain (a length that lies, a number out
// of order).
enum class ScanEnd { Clean, Cut, Broken };

// The entries of a block as far as their chain holds: lengths in range and matching their
// lg, each lgv the length of the one before, and (with numbers) consecutive numbers; only
// entries that lie completely within the first `avail` bytes of the block count.
struct BlockScan {
    int count = 0;
    int lastPos = kLogBlockHeadLen; // position of the last good entry (64 when none)
    int32_t nr1 = 0, nr2 = 0;
    double dt1 = 0, dt2 = 0;
    ScanEnd end = ScanEnd::Clean;
    int badStamps = 0; // entries whose time stamp is no date (they still count)
};
BlockScan ScanBlock(const T_LogBlock& b, bool checkNumbers, int avail = kLogBlockLen);

// What a log file holds, read and checked without changing it.
enum class LogHeadState { Missing, NotAccepted, Clean, Open };
struct LogHeadRead {
    LogHeadState state = LogHeadState::Missing;
    T_LogDateiKopf head{};
    uint64_t fileSize = 0;
};
LogHeadRead ReadLogHead(std::istream& f, uint64_t fileSize);

// Reads block k: as much of it as the file holds, the rest of b zero. Returns the number of
// bytes read (0: the file does not reach the block).
int ReadBlock(std::istream& f, int k, T_LogBlock& b);

// The length a cleanly closed log must have at least: the header and every block its state
// names as in use.
uint64_t LogBytesNeeded(const T_LogKopf& lk);

// True when the stored state of a cleanly closed file does not fit its blocks: the block being
// written is missing or holds a newer telegram than the state names, or the chain continues in
// the next block.
bool LogStateLags(std::istream& f, uint64_t fileSize, const T_LogKopf& lk);

// Rebuilds the state of a log from its blocks (a block cut by the end of the file counts with
// its complete entries): from the block the stored state names as being written, forward while
// the next block continues the numbers, back while the block before ends where the next
// begins. Fills the block being written (entries behind a broken chain cut off) and its
// last-entry position. The number of blocks N is kept. Returns how the chain of the block
// being written ended.
ScanEnd RecoverLogKopf(std::istream& f, uint64_t fileSize, T_LogKopf& lk, T_LogBlock& wb,
                       int& lastPos);

// Walks the entries of a log forward and back over its ring of blocks. Blocks come from a
// loader (the file, or the block in memory for the one being written).
class LogCursor {
public:
    // Loads block k into b and gives the position of its last entry (0 when it has none).
    using Loader = std::function<void(int k, T_LogBlock& b, int& lastPos)>;

    LogCursor(const T_LogKopf& lk, Loader load) : lk_(lk), load_(std::move(load)) {}

    // To the newest telegram; false when the log is empty.
    bool SeekNewest();
    // To the first telegram of the oldest block; false when the log is empty.
    bool SeekOldest();
    bool Valid() const { return k_ >= 0 && pos_ >= kLogBlockHeadLen && hasEntry_; }
    T_Telegramm Current() const { return EntryAt(b_, pos_); }
    int Block() const { return k_; }
    int Pos() const { return pos_; }
    void Reset() {
        k_ = -1;
        hasEntry_ = false;
    }

    // Back to a place read before (Block(), Pos()); false, and no place, when the block no
    // longer has an entry there. The caller checks that the entry is still the same telegram.
    bool SeekTo(int block, int pos);

    bool Back();
    bool Forward();
    // Moves by n telegrams: over those that pass the filter when |n| < 5000 (and a filter is
    // given), over all otherwise. Returns the number of steps made (sign of n).
    int Move(int n, const std::function<bool(const T_Telegramm&)>& pass);

private:
    void Load(int k);

    const T_LogKopf& lk_;
    Loader load_;
    T_LogBlock b_{};
    int k_ = -1;
    int pos_ = kLogBlockHeadLen;
    int lastPos_ = kLogBlockHeadLen;
    int end_ = 0; // block where forward reading ends
    bool hasEntry_ = false;
};

} // namespace vdl

// The log store: every telegram received, sent or generated is numbered, time-stamped and
// appended to one log file, a ring of 32 KiB blocks. The store also keeps the statistics
// counters, the ring of the last 50 telegrams for the online display, and a separate read
// side for the view.
#pragma once

#include "core/allg_var.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/records.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "log/log_file.h"

#include <array>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vdl {

// Text numbers of the log.
constexpr int kTxLogName = 1199; // automatic log file name
constexpr int kTxLogExt = 1200;  // extension of log files
constexpr int kTxLogWriteErr = 1202;
constexpr int kTxLogReadErr = 1203;
constexpr int kTxLogDamaged = 2160;        // Format(file, records recovered)
constexpr int kTxLogWillBeKept = 2161;     // Format(name of the copy)
constexpr int kTxLogKept = 2162;           // Format(name of the copy)
constexpr int kTxLogHeadUnreadable = 2163; // Format(file)
constexpr int kTxSameFile = 2164;          // Format(target, log file)
constexpr int kTxLogCannotKeep = 2165;     // Format(file, name of the copy, reason)
constexpr int kTxLogCannotCreate = 2166;   // Format(file, reason)
constexpr int kTxLogFilterDropped = 2167;  // Format(count)

constexpr int kTxOutIsLog = 1315; // the output file must not be the log itself

// The first of NAME + mark, NAME + mark + 2, ... up to 999 that does not exist; with
// beforeExtension the mark goes before the extension ("Log.kept.lg1"), so the copy stays a log
// by its name.
std::string FreeSideName(const std::string& name, const std::string& mark, bool beforeExtension);

// The refusal of an output into the log file itself: text 1315 and both names.
std::string SameFileMessage(const TextTable& t, const std::string& target, const std::string& log);

// What was found wrong with a log when it was opened (and, for the stamps, as it was read).
struct LogDamage {
    bool head = false;     // the settings of the head could not be taken
    bool cut = false;      // the file ends inside the blocks it holds
    bool broken = false;   // an entry breaks the chain of its block (a length that lies)
    int32_t badStamps = 0; // records whose time stamp is no date
    bool Any() const { return head || cut || broken || badStamps > 0; }
};

// What a walk over every record found.
struct LogTally {
    int32_t records = 0;
    int32_t badStamps = 0;
};

// The last 50 telegrams that passed the display filter, for the online display.
struct DisplayRing {
    static constexpr int kSlots = 50;
    static constexpr int kDrop = 16;
    std::array<T_Telegramm, kSlots> slot{};
    int head = 0; // next slot to fill
    int tail = 0; // next slot the online display draws

    void Clear();
    void Push(const T_Telegramm& te, int len);
    // The next undrawn telegram; false when the display has caught up.
    bool Next(T_Telegramm& te);
};

// The settings the store works with and hands on to the file head.
struct LogEnv {
    Clock& clock;
    Messages& msg;
    const TextTable& texts;
    T_AllgVar& av;
    T_AllgPar& ap;
    const T_ProgPar& pp;
    T_BetriebsPar& bp1;
    T_BetriebsPar& bp2;
};

class LogStore {
public:
    // An entry arriving this long after the block was last written is written with it; the
    // timer step writes it too, so an abrupt end loses at most about this much.
    static constexpr uint32_t kBlockSyncMs = 1000;

    explicit LogStore(LogEnv env);
    ~LogStore();
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;

    // Hooks set by the program. Without them every telegram passes and nothing is passed on.
    std::function<bool(const T_Telegramm&)> logFilter;     // while the log filter is active
    std::function<bool(const T_Telegramm&)> displayFilter; // for the display ring and the view
    std::function<void(const T_Telegramm&)> stationImage;  // every stored telegram
    std::function<void()> statisticsChanged;               // a counter moved
    // Time stamp of a new telegram: today's date + the time of day of the millisecond time
    // base. Without it the clock's local time is taken.
    std::function<double()> timeStamp;

    // Opens or creates the log (an empty file counts as missing). A file whose head cannot be
    // read is left as it is: the store then has no log (IsOpen false) and an error says so. A
    // log that was not closed cleanly, or is damaged, is recovered from its blocks: every
    // complete entry they hold is read. Before the first write into a damaged log the file is
    // kept beside it as it was (KeepName). Takes the settings from the file's head.
    bool OpenLog(const std::string& name, bool ageCheck);
    // Opens a log for looking only: nothing is created, taken, recovered on disk or written.
    bool OpenForInspection(const std::string& name);
    // Both of the above for a log held in memory: bytes stand for the file (they grow as the
    // log is written; nothing is kept on disk).
    bool OpenBuffer(std::vector<char>& bytes, const std::string& name, bool inspect);
    // Creates a new empty log of the present settings under name (an existing file is
    // replaced). A failure is reported with its reason.
    bool CreateLog(const std::string& name) {
        if (open_) CloseLog();
        return Create(name);
    }
    bool IsOpen() const { return open_; }
    const std::string& Name() const { return name_; }

    const LogDamage& Damage() const { return damage_; }
    // Walks every record from the oldest on, as the view reads them; what it finds wrong
    // counts as damage.
    LogTally Tally();
    // The name a damaged log is kept as before it is first written to (empty for a sound
    // one), and the name it was kept as (empty until then).
    const std::string& KeepName() const { return keepName_; }
    const std::string& KeptAs() const { return keptAs_; }
    // The system's reason of the last failure to create, keep or write the log.
    const std::string& WriteError() const { return writeError_; }
    // Telegrams the log filter refused since the log was opened.
    int32_t Dropped() const { return dropped_; }

    // Numbers, stamps, filters, counts, stores and shows one telegram.
    void AppendTelegram(T_Telegramm& te);
    // Stores a telegram as it is, numbered anew (export into a new log): no filter, counters,
    // display or station image.
    void AppendCopy(const T_Telegramm& te);
    // Timer step: writes the block being written when entries have waited kBlockSyncMs.
    void Periodic();

    void FlushLog();
    void CloseLog();
    void FlushOnOffline();
    void NewLog();
    // Closes the log, copies it to newName and opens the copy. A newName that is the log file
    // itself (by another name or through a link) is refused with a message; the log stays.
    bool SaveAs(const std::string& newName);

    // The read side of the view.
    bool OpenForReading();
    void CloseView();
    LogCursor& View() { return *view_; }
    // A cursor of its own (export, replay), reading through the read handle.
    std::unique_ptr<LogCursor> NewCursor();

    const T_LogKopf& Kopf() const { return lk_; }
    bool Empty() const;
    // Telegrams in the log (newest - oldest + 1), 0 when empty.
    int32_t Count() const;
    bool Recovered() const { return recovered_; }

    DisplayRing ring;

    // Statistics counters by ek 1..4: [0] telegrams, [1] with an error.
    std::array<std::array<int32_t, 2>, 4> counters{};
    void ZeroCounters() { counters = {}; }

    // The name of the automatic log (daily with option 13) for a day number.
    std::string AutomaticName(double now) const;

private:
    bool Open(const std::string& name, bool ageCheck, bool inspect);
    bool Load(std::istream& f, uint64_t size, bool inspect);
    bool Create(const std::string& name);
    void Store(T_Telegramm& te, int len);
    void CloseBlock();
    bool Writable();
    bool KeepOriginal();
    void WriteFailed();
    bool WriteBlock();
    void MarkOpen();
    bool WriteHead(int32_t lgdatei, int32_t lgkopf);
    void LoadBlock(int k, T_LogBlock& b, int& lastPos);
    void Fail();
    void ResetMemory();
    std::unique_ptr<std::iostream> OpenWrite(bool truncate);
    std::unique_ptr<std::istream> OpenRead();
    void OpenReadHandle();

    LogEnv e_;
    std::string name_;
    bool open_ = false;
    bool readOnly_ = false;
    bool recovered_ = false;
    bool marked_ = false;               // the file carries the open mark since the first new entry
    std::vector<char>* mem_ = nullptr;  // the bytes of a log held in memory (else a file)
    std::unique_ptr<std::iostream> wf_; // write handle
    std::unique_ptr<std::istream> rf_;  // read handle
    LogDamage damage_;
    std::string keepName_, keptAs_, writeError_;
    int32_t dropped_ = 0;
    T_LogKopf lk_{};
    T_LogBlock wb_{}; // block being written
    int lastPos_ = kLogBlockHeadLen;
    bool dirty_ = false; // the write block holds entries not yet on disk
    uint32_t dirtySince_ = 0;
    std::unique_ptr<LogCursor> view_;
};

} // namespace vdl

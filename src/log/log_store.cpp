#include "log/log_store.h"

#include "core/byte_stream.h"
#include "core/file_head.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/settings.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace vdl {

// ---- display ring ----

void DisplayRing::Clear() {
    slot = {};
    head = tail = 0;
}

void DisplayRing::Push(const T_Telegramm& te, int len) {
    T_Telegramm& s = slot[static_cast<size_t>(head)];
    s = T_Telegramm{};
    std::memcpy(&s, &te, static_cast<size_t>(std::clamp(len, 0, kLogEntryMax)));
    head = (head + 1) % kSlots;
    // Overflow: the 16 oldest undrawn telegrams are dropped.
    if (head == tail) tail = (tail + kDrop) % kSlots;
}

bool DisplayRing::Next(T_Telegramm& te) {
    if (tail == head) return false;
    te = slot[static_cast<size_t>(tail)];
    tail = (tail + 1) % kSlots;
    return true;
}

// ---- store ----

namespace {

// The first of NAME.damaged, NAME.damaged2, ... that does not exist.
std::string FreeKeepName(const std::string& name) {
    return FreeSideName(name, ".damaged", false);
}

} // namespace

std::string FreeSideName(const std::string& name, const std::string& mark, bool beforeExtension) {
    std::string stem = name, ext;
    if (beforeExtension) {
        const fs::path p(name);
        if (p.has_extension() && p.has_stem()) {
            ext = p.extension().string();
            stem = name.substr(0, name.size() - ext.size());
        }
    }
    std::error_code ec;
    std::string n = stem + mark + ext;
    for (int i = 2; i < 1000 && fs::exists(n, ec); ++i) n = stem + mark + std::to_string(i) + ext;
    return n;
}

std::string SameFileMessage(const TextTable& t, const std::string& target, const std::string& log) {
    return t.tx(kTxOutIsLog) + "\n" + Format(t.tx(kTxSameFile), {target, log});
}

LogStore::LogStore(LogEnv env) : e_(env) {
    ResetMemory();
    view_ = std::make_unique<LogCursor>(
        lk_, [this](int k, T_LogBlock& b, int& lastPos) { LoadBlock(k, b, lastPos); });
}

LogStore::~LogStore() {
    CloseLog();
}

void LogStore::ResetMemory() {
    lk_ = T_LogKopf{};
    lk_.lg = kLogKopfLen;
    lk_.anzbl = 1;
    std::memset(&wb_, 0, sizeof wb_);
    wb_.k.pos = kLogBlockHeadLen;
    lastPos_ = kLogBlockHeadLen;
    dirty_ = false;
}

std::string LogStore::AutomaticName(double now) const {
    const T_AllgVar& av = e_.av;
    if (!e_.pp.opt[13] && !av.dtStartLog.empty()) return av.dtStartLog;
    std::string n = av.DataDir + e_.texts.tx(kTxLogName);
    if (av.pnr != 1) n += std::to_string(av.pnr);
    if (e_.pp.opt[13]) {
        int day = DecodeDateTime(now).day;
        n += static_cast<char>('0' + day / 10);
        n += static_cast<char>('0' + day % 10);
    }
    return n + e_.texts.tx(kTxLogExt);
}

bool LogStore::Empty() const {
    return lk_.blakt == lk_.blalt && EntryLga(wb_, kLogBlockHeadLen) == 0;
}

int32_t LogStore::Count() const {
    return Empty() ? 0 : NrSpan(lk_.nralt, lk_.nrneu);
}

void LogStore::Fail() {
    e_.av.logerr = true;
    if (wf_) wf_->clear();
}

std::unique_ptr<std::iostream> LogStore::OpenWrite(bool truncate) {
    if (mem_) {
        if (truncate) mem_->clear();
        return std::make_unique<ByteStream>(*mem_);
    }
    auto mode = std::ios::binary | std::ios::in | std::ios::out;
    if (truncate) mode |= std::ios::trunc;
    errno = 0;
    auto f = std::make_unique<std::fstream>(name_, mode);
    if (!f->is_open()) {
        writeError_ = errno ? std::strerror(errno) : "cannot be opened";
        return nullptr;
    }
    return f;
}

std::unique_ptr<std::istream> LogStore::OpenRead() {
    if (mem_) return std::make_unique<ByteStream>(*mem_);
    auto f = std::make_unique<std::ifstream>(name_, std::ios::binary);
    if (!f->is_open()) return nullptr;
    return f;
}

void LogStore::OpenReadHandle() {
    rf_ = OpenRead();
}

bool LogStore::Create(const std::string& name) {
    wf_.reset();
    ResetMemory();
    lk_.anzbl = LogBlockCount(e_.ap.MaxLog);
    name_ = name;
    e_.av.dtLog = name;
    e_.av.logsave = true;
    open_ = true;
    readOnly_ = false;
    recovered_ = false;
    damage_ = {};
    keepName_.clear();
    keptAs_.clear();
    dropped_ = 0;
    marked_ = true; // the head of a new file carries the open mark
    wf_ = OpenWrite(true);
    if (wf_) {
        T_LogDateiKopf h{};
        h.k = BuildFileHead(kLogOpenMark, kLogOpenMark, e_.ap, e_.bp1, e_.bp2);
        h.lk = lk_;
        errno = 0;
        wf_->write(reinterpret_cast<const char*>(&h), sizeof h);
        wf_->flush();
        if (!*wf_) {
            writeError_ = errno ? std::strerror(errno) : "write error";
            wf_.reset();
        }
    }
    if (!wf_) {
        writeError_ = Format(e_.texts.tx(kTxLogCannotCreate), {name, writeError_});
        e_.msg.Error(writeError_);
        Fail();
        return false;
    }
    return true;
}

bool LogStore::OpenLog(const std::string& name, bool ageCheck) {
    if (open_) CloseLog();
    mem_ = nullptr;
    return Open(name, ageCheck, false);
}

bool LogStore::OpenForInspection(const std::string& name) {
    if (open_) CloseLog();
    mem_ = nullptr;
    return Open(name, false, true);
}

bool LogStore::OpenBuffer(std::vector<char>& bytes, const std::string& name, bool inspect) {
    if (open_) CloseLog();
    mem_ = &bytes;
    return Open(name, false, inspect);
}

bool LogStore::Open(const std::string& name, bool ageCheck, bool inspect) {
    if (open_) CloseLog();
    if (!inspect) {
        e_.av.logerr = false;
        e_.av.logsave = true;
    }
    ResetMemory();
    readOnly_ = inspect;
    recovered_ = false;
    marked_ = false;
    damage_ = {};
    keepName_.clear();
    keptAs_.clear();
    writeError_.clear();
    dropped_ = 0;
    name_ = name;

    uint64_t size = 0;
    if (mem_) {
        size = mem_->size();
    } else if (FileExists(name)) {
        std::error_code ec;
        size = fs::file_size(name, ec);
    } else if (inspect) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name);
        name_.clear();
        return false;
    }
    // A missing or empty file holds no log yet.
    if (size == 0 && !inspect) return Create(name);

    std::unique_ptr<std::istream> f = OpenRead();
    if (!f) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name + ": " + std::strerror(errno));
        name_.clear();
        return false;
    }
    LogHeadRead h = ReadLogHead(*f, size);
    if (h.state != LogHeadState::Clean && h.state != LogHeadState::Open) {
        // Not a log of ours, or its head is damaged: it is not overwritten.
        e_.msg.Error(Format(e_.texts.tx(kTxLogHeadUnreadable), {name}));
        ResetMemory();
        name_.clear();
        return false;
    }
    if (ageCheck && std::fabs(std::floor(e_.clock.LocalNow()) - std::floor(h.head.lk.dtalt)) > 1) {
        f.reset();
        return Create(name);
    }

    lk_ = h.head.lk;
    lk_.ueber = 0;
    // The file ends inside a block, or before the blocks a cleanly closed state names.
    const uint64_t behind = size > static_cast<uint64_t>(kLogDataOfs) ? size - kLogDataOfs : 0;
    damage_.cut = behind % kLogBlockLen != 0 ||
                  (h.state == LogHeadState::Clean && size < LogBytesNeeded(lk_));
    ScanEnd end = ScanEnd::Clean;
    if (h.state == LogHeadState::Open || LogStateLags(*f, size, lk_)) {
        end = RecoverLogKopf(*f, size, lk_, wb_, lastPos_);
        recovered_ = true;
    } else {
        T_LogBlock b;
        int got = ReadBlock(*f, lk_.blakt, b);
        // Only the good part of the stored block is taken, so that new entries continue a
        // sound chain.
        BlockScan sc = ScanBlock(b, false, got);
        end = sc.end;
        damage_.badStamps += sc.badStamps;
        if (sc.count > 0) {
            int stop = sc.lastPos + EntryLga(b, sc.lastPos);
            std::memcpy(&wb_, &b, static_cast<size_t>(stop));
            lastPos_ = sc.lastPos;
            wb_.k.pos = lastPos_;
        }
    }
    damage_.cut = damage_.cut || end == ScanEnd::Cut;
    damage_.broken = end == ScanEnd::Broken;
    HeadTaken taken = TakeSettingsFromHead(reinterpret_cast<const uint8_t*>(&h.head.k), e_.ap,
                                           e_.bp1, e_.bp2, false);
    damage_.head = !taken.allg || !taken.chan;
    f.reset();

    open_ = true;
    if (inspect) {
        OpenReadHandle();
        return true;
    }
    // A repaired state goes to disk with the next entries; a log that receives none is left
    // as it was.
    e_.av.logsave = false;
    marked_ = h.state == LogHeadState::Open;
    e_.av.dtLog = name;
    if (damage_.Any() && !mem_) keepName_ = FreeKeepName(name);
    wf_ = OpenWrite(false);
    if (!wf_) writeError_ = e_.texts.tx(kTxLogWriteErr) + name + ": " + writeError_;
    return true;
}

LogTally LogStore::Tally() {
    LogTally t;
    auto c = NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward()) {
        ++t.records;
        if (!StampUsable(c->Current().dt)) ++t.badStamps;
    }
    damage_.badStamps = std::max(damage_.badStamps, t.badStamps);
    return t;
}

bool LogStore::KeepOriginal() {
    std::error_code ec;
    // The name was free when the log was opened; another program may have taken it since.
    if (fs::exists(keepName_, ec)) keepName_ = FreeKeepName(name_);
    fs::copy_file(name_, keepName_, fs::copy_options::none, ec);
    if (ec) {
        // Reported by the caller of the store (the timer step, the command), never from here:
        // this runs while a telegram is being stored.
        writeError_ = Format(e_.texts.tx(kTxLogCannotKeep), {name_, keepName_, ec.message()});
        wf_.reset(); // nothing is written into the damaged file
        Fail();
        return false;
    }
    keptAs_ = keepName_;
    return true;
}

// Every write goes through here: the original of a damaged log is kept before the first one.
bool LogStore::Writable() {
    if (!wf_) {
        Fail();
        return false;
    }
    return keepName_.empty() || !keptAs_.empty() || KeepOriginal();
}

void LogStore::WriteFailed() {
    writeError_ =
        e_.texts.tx(kTxLogWriteErr) + name_ + ": " + (errno ? std::strerror(errno) : "write error");
    Fail();
}

void LogStore::MarkOpen() {
    marked_ = true;
    if (!Writable()) return;
    const int32_t mark[2] = {kLogOpenMark, kLogOpenMark};
    errno = 0;
    wf_->seekp(4);
    wf_->write(reinterpret_cast<const char*>(mark), sizeof mark);
    wf_->flush();
    if (!*wf_) WriteFailed();
}

bool LogStore::WriteBlock() {
    dirty_ = false;
    if (!Writable()) return false;
    if (EntryLga(wb_, kLogBlockHeadLen) != 0) {
        T_Telegramm last = EntryAt(wb_, lastPos_);
        wb_.k.nr2 = last.nr;
        wb_.k.dt2 = last.dt;
        wb_.k.anz = NrSpan(wb_.k.nr1, wb_.k.nr2);
    }
    errno = 0;
    wf_->seekp(BlockOffset(lk_.blakt));
    wf_->write(reinterpret_cast<const char*>(&wb_), sizeof wb_);
    wf_->flush();
    if (!*wf_) {
        WriteFailed();
        return false;
    }
    return true;
}

bool LogStore::WriteHead(int32_t lgdatei, int32_t lgkopf) {
    if (!Writable()) return false;
    T_LogDateiKopf h{};
    h.k = BuildFileHead(lgdatei, lgkopf, e_.ap, e_.bp1, e_.bp2);
    h.lk = lk_;
    h.lk.ueber = 0;
    errno = 0;
    wf_->seekp(0);
    wf_->write(reinterpret_cast<const char*>(&h), sizeof h);
    wf_->flush();
    if (!*wf_) {
        WriteFailed();
        return false;
    }
    return true;
}

void LogStore::CloseBlock() {
    WriteBlock();
    const int n = lk_.anzbl;
    lk_.blakt = (lk_.blakt + 1) % n;
    if (lk_.blakt == lk_.blalt) {
        // The ring is full: the oldest block is about to be overwritten.
        lk_.blalt = (lk_.blalt + 1) % n;
        T_LogBlockKopf h{};
        if (wf_) {
            wf_->seekg(BlockOffset(lk_.blakt));
            if (!wf_->read(reinterpret_cast<char*>(&h), sizeof h)) {
                wf_->clear();
                h = T_LogBlockKopf{};
                e_.msg.Error(e_.texts.tx(kTxLogReadErr) + e_.av.dtLog);
            }
        }
        lk_.nralt = NextNr(h.nr2);
        lk_.dtalt = h.dt2;
        if (view_->Valid() && view_->Block() == lk_.blakt) ++lk_.ueber;
    }
    std::memset(&wb_, 0, sizeof wb_);
    wb_.k.pos = kLogBlockHeadLen;
    lastPos_ = kLogBlockHeadLen;
}

void LogStore::Store(T_Telegramm& te, int len) {
    if (!open_ || readOnly_) {
        te.lgv = 0;
        te.lga = static_cast<uint16_t>(len);
        return;
    }
    bool empty = EntryLga(wb_, kLogBlockHeadLen) == 0;
    int cand = empty ? kLogBlockHeadLen : lastPos_ + EntryLga(wb_, lastPos_);
    if (cand + len > kLogEntryEnd) {
        CloseBlock();
        cand = kLogBlockHeadLen;
    }
    if (cand == kLogBlockHeadLen) {
        wb_.k.nr1 = te.nr;
        wb_.k.dt1 = te.dt;
        if (lk_.blalt == lk_.blakt) {
            lk_.nralt = te.nr;
            lk_.dtalt = te.dt;
        }
        te.lgv = 0;
    } else {
        te.lgv = EntryLga(wb_, lastPos_);
    }
    te.lga = static_cast<uint16_t>(len);
    std::memcpy(wb_.bytes() + cand, &te, static_cast<size_t>(len));
    lastPos_ = cand;
    wb_.k.pos = cand;
    wb_.k.ofs = cand - kLogBlockHeadLen;

    if (!marked_) MarkOpen();
    uint32_t now = e_.clock.Millis();
    if (!dirty_) {
        dirty_ = true;
        dirtySince_ = now;
    } else if (now - dirtySince_ >= kBlockSyncMs) {
        WriteBlock();
    }
}

void LogStore::AppendTelegram(T_Telegramm& te) {
    e_.av.logsave = true;
    te.dt = timeStamp ? timeStamp() : e_.clock.LocalNow();
    te.nr = NextNr(lk_.nrneu);
    if (e_.ap.lfilt.aktiv && logFilter && !logFilter(te)) {
        ++dropped_;
        return;
    }

    if (te.ta != TA_INTERNAL && te.ek >= 1 && te.ek <= 4) {
        auto& c = counters[static_cast<size_t>(te.ek - 1)];
        if (te.stat != ST_RTS) ++c[0];
        if (te.stat < ST_OK && te.stat != ST_DFC_IN_RESPONSE) ++c[1];
        if (statisticsChanged) statisticsChanged();
    }
    lk_.nrneu = te.nr;
    lk_.dtneu = te.dt;
    te.lg = static_cast<int16_t>(te.validLen());
    int len = EntryLen(te.lg);
    Store(te, len);
    if (stationImage) stationImage(te);
    if (!displayFilter || displayFilter(te)) ring.Push(te, len);
}

void LogStore::AppendCopy(const T_Telegramm& src) {
    T_Telegramm te = src;
    te.nr = NextNr(lk_.nrneu);
    te.lg = static_cast<int16_t>(te.validLen());
    lk_.nrneu = te.nr;
    lk_.dtneu = te.dt;
    Store(te, EntryLen(te.lg));
}

void LogStore::Periodic() {
    if (dirty_ && open_ && !readOnly_ && e_.clock.Millis() - dirtySince_ >= kBlockSyncMs)
        WriteBlock();
}

void LogStore::FlushLog() {
    if (!open_ || readOnly_) return;
    if (!WriteBlock()) return;
    const int n = lk_.anzbl;
    lk_.blanz = (lk_.blakt - lk_.blalt + n) % n + 1;
    WriteHead(kLogDataOfs + lk_.blanz * kLogBlockLen, kFileHeadLen);
    wf_.reset();
    marked_ = false;
    recovered_ = false;
    e_.av.logsave = false;
}

void LogStore::CloseLog() {
    CloseView();
    rf_.reset();
    if (!open_) return;
    if (!readOnly_ && (e_.av.logsave || SameNameNoCase(name_, AutomaticName(e_.clock.LocalNow()))))
        FlushLog();
    wf_.reset();
    open_ = false;
    readOnly_ = false;
}

void LogStore::FlushOnOffline() {
    if (!open_ || readOnly_ || !e_.av.logsave) return;
    FlushLog();
    wf_ = OpenWrite(false);
    if (!wf_) WriteFailed();
}

void LogStore::NewLog() {
    bool reading = e_.av.LogAusg;
    CloseView();
    std::string name = name_.empty() ? e_.av.dtLog : name_;
    Create(name);
    ring.Clear();
    if (reading) OpenForReading();
}

bool LogStore::SaveAs(const std::string& newName) {
    if (open_ && SameFile(name_, newName)) {
        e_.msg.Error(SameFileMessage(e_.texts, newName, name_));
        return false;
    }
    uint8_t fa = e_.ap.afilt.aktiv, fl = e_.ap.lfilt.aktiv;
    bool reading = e_.av.LogAusg;
    std::string old = name_;
    CloseLog();
    if (FileExists(old)) {
        std::error_code ec;
        fs::copy_file(old, newName, fs::copy_options::overwrite_existing, ec);
        if (ec) e_.msg.Error(e_.texts.tx(kTxLogWriteErr) + newName + ": " + ec.message());
    }
    bool ok = OpenLog(newName, false);
    if (!ok) ok = Create(newName);
    e_.ap.afilt.aktiv = fa;
    e_.ap.lfilt.aktiv = fl;
    if (reading) OpenForReading();
    return ok;
}

// ---- read side ----

void LogStore::LoadBlock(int k, T_LogBlock& b, int& lastPos) {
    if (k == lk_.blakt) {
        b = wb_;
        lastPos = EntryLga(wb_, kLogBlockHeadLen) != 0 ? lastPos_ : 0;
        return;
    }
    if (!rf_) OpenReadHandle();
    int got = rf_ ? ReadBlock(*rf_, k, b) : 0;
    if (got == 0) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name_);
        lastPos = 0;
        return;
    }
    BlockScan s = ScanBlock(b, false, got);
    if (s.end == ScanEnd::Cut) damage_.cut = true;
    if (s.end == ScanEnd::Broken) damage_.broken = true;
    lastPos = s.count > 0 ? s.lastPos : 0;
}

bool LogStore::OpenForReading() {
    if (!open_) return false;
    OpenReadHandle();
    e_.av.LogAusg = true;
    view_->SeekNewest();
    return true;
}

void LogStore::CloseView() {
    e_.av.LogAusg = false;
    view_->Reset();
}

std::unique_ptr<LogCursor> LogStore::NewCursor() {
    return std::make_unique<LogCursor>(
        lk_, [this](int k, T_LogBlock& b, int& lastPos) { LoadBlock(k, b, lastPos); });
}

} // namespace vdl

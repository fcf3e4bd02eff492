#include "log/log_store.h"

#include "core/file_head.h"
#include "core/file_io.h"
#include "core/settings.h"

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
    return Empty() ? 0 : ((lk_.nrneu - lk_.nralt + 1) & kNrMask);
}

void LogStore::Fail() {
    e_.av.logerr = true;
    wf_.clear();
}

bool LogStore::Create(const std::string& name) {
    wf_.close();
    ResetMemory();
    lk_.anzbl = LogBlockCount(e_.ap.MaxLog);
    name_ = name;
    e_.av.dtLog = name;
    e_.av.logsave = true;
    open_ = true;
    readOnly_ = false;
    recovered_ = false;
    marked_ = true; // the head of a new file carries the open mark
    {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        T_LogDateiKopf h{};
        h.k = BuildFileHead(kLogOpenMark, kLogOpenMark, e_.ap, e_.bp1, e_.bp2);
        h.lk = lk_;
        if (f) f.write(reinterpret_cast<const char*>(&h), sizeof h);
        if (!f) {
            Fail();
            return false;
        }
    }
    wf_.open(name, std::ios::binary | std::ios::in | std::ios::out);
    if (!wf_) {
        Fail();
        return false;
    }
    return true;
}

bool LogStore::OpenLog(const std::string& name, bool ageCheck) {
    if (open_) CloseLog();
    e_.av.logerr = false;
    e_.av.logsave = true;
    readOnly_ = false;
    recovered_ = false;
    marked_ = false;
    if (!FileExists(name)) return Create(name);

    std::ifstream f(name, std::ios::binary);
    std::error_code ec;
    uint64_t size = fs::file_size(name, ec);
    LogHeadRead h;
    if (f && !ec) h = ReadLogHead(f, size);
    if (h.state != LogHeadState::Clean && h.state != LogHeadState::Open) {
        // Not a log of ours (or unreadable): it is not overwritten.
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name);
        ResetMemory();
        open_ = false;
        name_.clear();
        return false;
    }
    if (ageCheck && std::fabs(std::floor(e_.clock.LocalNow()) - std::floor(h.head.lk.dtalt)) > 1) {
        f.close();
        return Create(name);
    }

    ResetMemory();
    lk_ = h.head.lk;
    lk_.ueber = 0;
    if (h.state == LogHeadState::Open || LogStateLags(f, size, lk_)) {
        RecoverLogKopf(f, size, lk_, wb_, lastPos_);
        recovered_ = true;
    } else {
        T_LogBlock b;
        if (ReadBlock(f, lk_.blakt, b)) {
            // Only the good part of the stored block is taken, so that new entries continue a
            // sound chain.
            BlockScan s = ScanBlock(b, false);
            if (s.count > 0) {
                int end = s.lastPos + EntryLga(b, s.lastPos);
                std::memcpy(&wb_, &b, static_cast<size_t>(end));
                lastPos_ = s.lastPos;
                wb_.k.pos = lastPos_;
            }
        }
    }
    TakeSettingsFromHead(reinterpret_cast<const uint8_t*>(&h.head.k), e_.ap, e_.bp1, e_.bp2, false);
    f.close();

    // A repaired state goes to disk with the next entries; a log that receives none is left
    // as it was.
    e_.av.logsave = false;
    marked_ = h.state == LogHeadState::Open;
    name_ = name;
    e_.av.dtLog = name;
    open_ = true;
    wf_.open(name, std::ios::binary | std::ios::in | std::ios::out);
    return true;
}

bool LogStore::OpenForInspection(const std::string& name) {
    if (open_) CloseLog();
    ResetMemory();
    std::ifstream f(name, std::ios::binary);
    std::error_code ec;
    uint64_t size = fs::file_size(name, ec);
    if (!f || ec) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name);
        return false;
    }
    LogHeadRead h = ReadLogHead(f, size);
    if (h.state != LogHeadState::Clean && h.state != LogHeadState::Open) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name);
        return false;
    }
    lk_ = h.head.lk;
    if (h.state == LogHeadState::Open || LogStateLags(f, size, lk_)) {
        RecoverLogKopf(f, size, lk_, wb_, lastPos_);
        recovered_ = true;
    } else {
        T_LogBlock b;
        if (ReadBlock(f, lk_.blakt, b)) {
            BlockScan s = ScanBlock(b, false);
            if (s.count > 0) {
                wb_ = b;
                lastPos_ = s.lastPos;
            }
        }
    }
    TakeSettingsFromHead(reinterpret_cast<const uint8_t*>(&h.head.k), e_.ap, e_.bp1, e_.bp2, false);
    name_ = name;
    open_ = true;
    readOnly_ = true;
    rf_.close();
    rf_.clear();
    rf_.open(name, std::ios::binary);
    return true;
}

void LogStore::MarkOpen() {
    marked_ = true;
    if (!wf_.is_open()) return Fail();
    const int32_t mark[2] = {kLogOpenMark, kLogOpenMark};
    wf_.seekp(4);
    wf_.write(reinterpret_cast<const char*>(mark), sizeof mark);
    wf_.flush();
    if (!wf_) Fail();
}

bool LogStore::WriteBlock() {
    dirty_ = false;
    if (!wf_.is_open()) {
        Fail();
        return false;
    }
    if (EntryLga(wb_, kLogBlockHeadLen) != 0) {
        T_Telegramm last = EntryAt(wb_, lastPos_);
        wb_.k.nr2 = last.nr;
        wb_.k.dt2 = last.dt;
        wb_.k.anz = (wb_.k.nr2 - wb_.k.nr1 + 1) & kNrMask;
    }
    wf_.seekp(BlockOffset(lk_.blakt));
    wf_.write(reinterpret_cast<const char*>(&wb_), sizeof wb_);
    wf_.flush();
    if (!wf_) {
        Fail();
        return false;
    }
    return true;
}

bool LogStore::WriteHead(int32_t lgdatei, int32_t lgkopf) {
    T_LogDateiKopf h{};
    h.k = BuildFileHead(lgdatei, lgkopf, e_.ap, e_.bp1, e_.bp2);
    h.lk = lk_;
    h.lk.ueber = 0;
    wf_.seekp(0);
    wf_.write(reinterpret_cast<const char*>(&h), sizeof h);
    wf_.flush();
    if (!wf_) {
        Fail();
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
        if (wf_.is_open()) {
            wf_.seekg(BlockOffset(lk_.blakt));
            if (!wf_.read(reinterpret_cast<char*>(&h), sizeof h)) {
                wf_.clear();
                h = T_LogBlockKopf{};
                e_.msg.Error(e_.texts.tx(kTxLogReadErr) + e_.av.dtLog);
            }
        }
        lk_.nralt = (h.nr2 + 1) & kNrMask;
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
    te.nr = (lk_.nrneu + 1) & kNrMask;
    if (e_.ap.lfilt.aktiv && logFilter && !logFilter(te)) return;

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
    te.nr = (lk_.nrneu + 1) & kNrMask;
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
    if (!wf_.is_open()) {
        Fail();
        return;
    }
    WriteBlock();
    const int n = lk_.anzbl;
    lk_.blanz = (lk_.blakt - lk_.blalt + n) % n + 1;
    WriteHead(kLogDataOfs + lk_.blanz * kLogBlockLen, kFileHeadLen);
    wf_.close();
    marked_ = false;
    recovered_ = false;
    e_.av.logsave = false;
}

void LogStore::CloseLog() {
    CloseView();
    rf_.close();
    if (!open_) return;
    if (!readOnly_ && (e_.av.logsave || SameNameNoCase(name_, AutomaticName(e_.clock.LocalNow()))))
        FlushLog();
    wf_.close();
    open_ = false;
    readOnly_ = false;
}

void LogStore::FlushOnOffline() {
    if (!open_ || readOnly_ || !e_.av.logsave) return;
    FlushLog();
    wf_.open(name_, std::ios::binary | std::ios::in | std::ios::out);
    if (!wf_) Fail();
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
    uint8_t fa = e_.ap.afilt.aktiv, fl = e_.ap.lfilt.aktiv;
    bool reading = e_.av.LogAusg;
    std::string old = name_;
    CloseLog();
    if (!SameNameNoCase(old, newName) && FileExists(old)) {
        std::error_code ec;
        fs::copy_file(old, newName, fs::copy_options::overwrite_existing, ec);
        if (ec) e_.msg.Error(e_.texts.tx(kTxLogWriteErr) + newName);
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
    if (!rf_.is_open()) {
        rf_.clear();
        rf_.open(name_, std::ios::binary);
    }
    if (!ReadBlock(rf_, k, b)) {
        e_.msg.Error(e_.texts.tx(kTxLogReadErr) + name_);
        std::memset(&b, 0, sizeof b);
        lastPos = 0;
        return;
    }
    BlockScan s = ScanBlock(b, false);
    lastPos = s.count > 0 ? s.lastPos : 0;
}

bool LogStore::OpenForReading() {
    if (!open_) return false;
    rf_.close();
    rf_.clear();
    rf_.open(name_, std::ios::binary);
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

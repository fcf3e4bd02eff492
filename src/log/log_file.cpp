#include "log/log_file.h"

#include "core/clock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vdl {

int32_t LogBlockCount(int32_t sizeSetting) {
    int64_t s = std::clamp<int64_t>(sizeSetting, 0, kMaxLogSize);
    return static_cast<int32_t>(s * 1024000 / kLogBlockLen + 1);
}

uint16_t EntryLgv(const T_LogBlock& b, int pos) {
    uint16_t v = 0;
    if (pos >= 0 && pos + 2 <= kLogBlockLen) std::memcpy(&v, b.bytes() + pos, 2);
    return v;
}

uint16_t EntryLga(const T_LogBlock& b, int pos) {
    uint16_t v = 0;
    if (pos >= 0 && pos + 4 <= kLogBlockLen) std::memcpy(&v, b.bytes() + pos + 2, 2);
    return v;
}

T_Telegramm EntryAt(const T_LogBlock& b, int pos) {
    T_Telegramm te{};
    int n = std::min<int>(EntryLga(b, pos), kLogEntryMax);
    n = std::min(n, kLogBlockLen - pos);
    if (pos >= kLogBlockHeadLen && n > 0) std::memcpy(&te, b.bytes() + pos, static_cast<size_t>(n));
    return te;
}

namespace {

// The head of the entry at pos, when it is a well-formed entry that fits the block.
bool EntryWellFormed(const T_LogBlock& b, int pos, T_Telegramm& head) {
    std::memcpy(&head, b.bytes() + pos, 30);
    int lga = head.lga;
    if (lga < kLogEntryMin || lga > kLogEntryMax || (lga & 1) != 0) return false;
    if (pos + lga > kLogEntryEnd) return false;
    return head.lg >= 0 && head.lg <= kTeByteLen && EntryLen(head.lg) == lga;
}

} // namespace

BlockScan ScanBlock(const T_LogBlock& b, bool checkNumbers, int avail) {
    BlockScan s;
    avail = std::clamp(avail, 0, kLogBlockLen);
    int pos = kLogBlockHeadLen, prevLen = 0;
    T_Telegramm h{};
    for (;; pos += h.lga) {
        // A full block: no entry fits behind the last one.
        if (pos + kLogEntryMin > kLogEntryEnd) break;
        if (pos + 4 > avail) {
            s.end = ScanEnd::Cut;
            break;
        }
        if (EntryLga(b, pos) == 0) break; // the end marker
        if (pos + 30 > avail) {
            s.end = ScanEnd::Cut;
            break;
        }
        if (!EntryWellFormed(b, pos, h) || h.lgv != prevLen ||
            (checkNumbers && s.count > 0 && h.nr != NextNr(s.nr2))) {
            s.end = ScanEnd::Broken;
            break;
        }
        if (pos + h.lga > avail) {
            s.end = ScanEnd::Cut;
            break;
        }
        if (s.count == 0) {
            s.nr1 = h.nr;
            s.dt1 = h.dt;
        }
        s.nr2 = h.nr;
        s.dt2 = h.dt;
        if (!StampUsable(h.dt)) ++s.badStamps;
        s.lastPos = pos;
        ++s.count;
        prevLen = h.lga;
    }
    return s;
}

LogHeadRead ReadLogHead(std::istream& f, uint64_t fileSize) {
    LogHeadRead r;
    r.fileSize = fileSize;
    r.state = LogHeadState::NotAccepted;
    f.clear();
    f.seekg(0);
    if (!f.read(reinterpret_cast<char*>(&r.head), sizeof r.head)) return r;
    const T_DateiKopf& k = r.head.k;
    const T_LogKopf& lk = r.head.lk;
    if (k.magic != kFileMagic || (k.lgkopf != kFileHeadLen && k.lgkopf != kLogOpenMark)) return r;
    if (lk.lg != kLogKopfLen) return r;
    // A state that could not have been written by the ring is not taken.
    if (lk.anzbl < 1 || lk.anzbl > LogBlockCount(kMaxLogSize) || lk.blalt < 0 ||
        lk.blalt >= lk.anzbl || lk.blakt < 0 || lk.blakt >= lk.anzbl)
        return r;
    r.state = k.lgkopf == kFileHeadLen ? LogHeadState::Clean : LogHeadState::Open;
    return r;
}

int ReadBlock(std::istream& f, int k, T_LogBlock& b) {
    std::memset(&b, 0, sizeof b);
    f.clear();
    if (!f.seekg(BlockOffset(k))) {
        f.clear();
        return 0;
    }
    f.read(reinterpret_cast<char*>(&b), sizeof b);
    int n = static_cast<int>(f.gcount());
    f.clear();
    return n;
}

uint64_t LogBytesNeeded(const T_LogKopf& lk) {
    int last = lk.blalt <= lk.blakt ? lk.blakt : lk.anzbl - 1;
    return static_cast<uint64_t>(BlockOffset(last + 1));
}

namespace {

// Blocks the file reaches into (the last one may be cut).
int BlocksOnDisk(uint64_t fileSize, int n) {
    if (fileSize <= static_cast<uint64_t>(kLogDataOfs)) return 0;
    uint64_t k = (fileSize - kLogDataOfs + kLogBlockLen - 1) / kLogBlockLen;
    return static_cast<int>(std::min<uint64_t>(k, static_cast<uint64_t>(n)));
}

// The first number of block k as its head and its first entry agree on it.
bool FirstNumber(std::istream& f, int k, int32_t& nr1, double& dt1) {
    uint8_t buf[kLogBlockHeadLen + 30];
    f.clear();
    f.seekg(BlockOffset(k));
    if (!f.read(reinterpret_cast<char*>(buf), sizeof buf)) {
        f.clear();
        return false;
    }
    T_LogBlockKopf h;
    std::memcpy(&h, buf, sizeof h);
    T_Telegramm e{};
    std::memcpy(&e, buf + kLogBlockHeadLen, 30);
    if (e.lgv != 0 || e.lga < kLogEntryMin || e.nr != h.nr1) return false;
    nr1 = h.nr1;
    dt1 = h.dt1;
    return true;
}

} // namespace

bool LogStateLags(std::istream& f, uint64_t fileSize, const T_LogKopf& lk) {
    int nb = BlocksOnDisk(fileSize, lk.anzbl);
    // A closed log always holds the block it was writing.
    if (lk.blakt >= nb) return true;
    T_LogBlock b;
    int n = ReadBlock(f, lk.blakt, b);
    if (n == 0) return true;
    BlockScan s = ScanBlock(b, true, n);
    if (s.count > 0 && s.nr2 != lk.nrneu) return true;
    int nx = (lk.blakt + 1) % lk.anzbl;
    int32_t nr1;
    double dt1;
    return nx != lk.blalt && nx < nb && s.count > 0 && FirstNumber(f, nx, nr1, dt1) &&
           nr1 == NextNr(s.nr2);
}

ScanEnd RecoverLogKopf(std::istream& f, uint64_t fileSize, T_LogKopf& lk, T_LogBlock& wb,
                       int& lastPos) {
    const int n = lk.anzbl;
    const int nb = BlocksOnDisk(fileSize, n);
    T_LogKopf r{};
    r.lg = kLogKopfLen;
    r.anzbl = n;
    std::memset(&wb, 0, sizeof wb);
    lastPos = kLogBlockHeadLen;

    T_LogBlock b;
    BlockScan cur;
    int newest = -1;
    // Start from the block the state names as being written; when that one holds nothing,
    // from the oldest block it names, or from the first block of the file.
    ScanEnd end = ScanEnd::Clean;
    for (int start : {lk.blakt, lk.blalt, 0}) {
        if (start >= nb) continue;
        int got = ReadBlock(f, start, b);
        cur = ScanBlock(b, true, got);
        if (cur.end != ScanEnd::Clean) end = cur.end;
        if (cur.count > 0) {
            newest = start;
            break;
        }
    }
    if (newest < 0) {
        // Nothing of the log reached the disk: an empty log.
        lk = r;
        wb.k.pos = kLogBlockHeadLen;
        return end;
    }
    T_LogBlock best = b;
    // Forward while the next block continues the numbers.
    for (int i = 1; i < n; ++i) {
        int nx = (newest + 1) % n;
        if (nx >= nb) break;
        int got = ReadBlock(f, nx, b);
        BlockScan s = ScanBlock(b, true, got);
        if (s.count == 0 || s.nr1 != NextNr(cur.nr2)) break;
        newest = nx;
        cur = s;
        best = b;
    }
    // Back while the block before ends where this one begins.
    int oldest = newest, inUse = 1;
    int32_t nrOld = cur.nr1;
    double dtOld = cur.dt1;
    while (inUse < n) {
        int pv = (oldest - 1 + n) % n;
        if (pv >= nb) break;
        T_LogBlockKopf h;
        int32_t nr1;
        double dt1;
        f.clear();
        f.seekg(BlockOffset(pv));
        if (!f.read(reinterpret_cast<char*>(&h), sizeof h)) break;
        if (NextNr(h.nr2) != nrOld || h.anz != NrSpan(h.nr1, h.nr2) ||
            !FirstNumber(f, pv, nr1, dt1))
            break;
        oldest = pv;
        nrOld = nr1;
        dtOld = dt1;
        ++inUse;
    }
    f.clear();

    r.blalt = oldest;
    r.blakt = newest;
    r.blanz = inUse;
    r.nralt = nrOld;
    r.dtalt = dtOld;
    r.nrneu = cur.nr2;
    r.dtneu = cur.dt2;
    lk = r;

    // The block being written, without what follows its last good entry.
    lastPos = cur.lastPos;
    int stop = cur.lastPos + EntryLga(best, cur.lastPos);
    std::memcpy(&wb, &best, static_cast<size_t>(stop));
    wb.k.pos = lastPos;
    wb.k.ofs = lastPos - kLogBlockHeadLen;
    wb.k.nr1 = cur.nr1;
    wb.k.dt1 = cur.dt1;
    return cur.end != ScanEnd::Clean ? cur.end : end;
}

// ---- cursor ----

void LogCursor::Load(int k) {
    k_ = k;
    load_(k, b_, lastPos_);
    hasEntry_ = lastPos_ >= kLogBlockHeadLen;
}

bool LogCursor::SeekNewest() {
    if (lk_.anzbl < 1) return false;
    end_ = lk_.blakt;
    Load(lk_.blakt);
    pos_ = lastPos_;
    return Valid();
}

bool LogCursor::SeekOldest() {
    if (lk_.anzbl < 1) return false;
    end_ = lk_.blakt;
    Load(lk_.blalt);
    pos_ = kLogBlockHeadLen;
    return Valid();
}

bool LogCursor::SeekTo(int block, int pos) {
    if (block < 0 || block >= lk_.anzbl) return false;
    end_ = lk_.blakt;
    Load(block);
    // Only the start of an entry is a place: walk the block's entries up to it.
    int p = kLogBlockHeadLen;
    while (hasEntry_ && p < pos && p < lastPos_) {
        int lga = EntryLga(b_, p);
        if (lga < kLogEntryMin) break;
        p += lga;
    }
    if (!hasEntry_ || p != pos || pos > lastPos_) {
        Reset();
        return false;
    }
    pos_ = pos;
    return true;
}

bool LogCursor::Back() {
    if (!Valid()) return false;
    if (pos_ > kLogBlockHeadLen) {
        int lgv = EntryLgv(b_, pos_);
        if (lgv < kLogEntryMin || pos_ - lgv < kLogBlockHeadLen) return false;
        pos_ -= lgv;
        return true;
    }
    if (k_ == lk_.blalt) return false;
    int prev = (k_ - 1 + lk_.anzbl) % lk_.anzbl;
    int keepK = k_, keepPos = pos_;
    Load(prev);
    if (!hasEntry_) {
        Load(keepK);
        pos_ = keepPos;
        return false;
    }
    pos_ = lastPos_;
    return true;
}

bool LogCursor::Forward() {
    if (!Valid()) return false;
    if (pos_ < lastPos_) {
        pos_ += EntryLga(b_, pos_);
        return true;
    }
    int keepK = k_, keepPos = pos_;
    if (k_ == end_) {
        // The block may have grown since it was read.
        Load(k_);
        if (lastPos_ > keepPos) {
            pos_ = keepPos + EntryLga(b_, keepPos);
            return true;
        }
        pos_ = keepPos;
        if (lk_.blakt == end_) return false;
        end_ = lk_.blakt;
    }
    Load((keepK + 1) % lk_.anzbl);
    pos_ = kLogBlockHeadLen;
    if (hasEntry_) return true;
    Load(keepK);
    pos_ = keepPos;
    return false;
}

int LogCursor::Move(int n, const std::function<bool(const T_Telegramm&)>& pass) {
    bool filtered = pass && std::abs(n) < 5000;
    int done = 0;
    while (done != n) {
        int keepK = k_, keepPos = pos_, keepEnd = end_;
        bool ok = n > 0 ? Forward() : Back();
        // Skip telegrams that do not pass; if none passes, stay where we were.
        while (ok && filtered && !pass(Current())) ok = n > 0 ? Forward() : Back();
        if (!ok) {
            if (k_ != keepK) Load(keepK);
            pos_ = keepPos;
            end_ = keepEnd;
            break;
        }
        done += n > 0 ? 1 : -1;
    }
    return done;
}

} // namespace vdl

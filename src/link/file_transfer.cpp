#include "link/file_transfer.h"

#include "asdu/asdu_layout.h"
#include "core/format.h"
#include "link/transmitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vdl {

namespace {

constexpr uint8_t kAnyUserData = 0x08; // composed as user data for the channel's mode
constexpr int kMaxFrame = 261;
constexpr int kIndexLineMax = 16; // "16777215" and the line end, with room

uint32_t Le(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int k = 0; k < n; ++k) v |= static_cast<uint32_t>(p[k]) << (8 * k);
    return v;
}

void Put(uint8_t* p, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

uint8_t Sum(const uint8_t* d, int n) {
    unsigned s = 0;
    for (int k = 0; k < n; ++k) s += d[k];
    return static_cast<uint8_t>(s);
}

// Section names run 1..255 and start again at 1.
uint8_t NextName(uint8_t n) {
    return n >= 255 ? 1 : static_cast<uint8_t>(n + 1);
}

// What a frame of the receiving direction acknowledges carries its section's name.
bool NamesSection(uint8_t typ, uint8_t q) {
    if (typ == FT_CALL) return q == SCQ_REQUEST_SECTION || q == SCQ_DEACTIVATE_SECTION || q == 5;
    const int meaning = q & 0x0F;
    return meaning == 3 || meaning == 4;
}

bool Active(const T_FileTransfer& ft) {
    return ft.stat != 0 || ft.ende != 0;
}

} // namespace

struct FileTransfer::Rx {
    uint8_t typ = 0;
    uint8_t struk = 0;
    int cause = 0;
    uint16_t la = 0;
    uint16_t ca = 0;
    uint32_t oa = 0;
    uint16_t nof = 0;
    const uint8_t* e = nullptr; // the element octets after the object address
    int n = 0;                  // how many the frame holds
    uint8_t at(int i) const { return i < n ? e[i] : 0; }
    uint8_t nos() const { return at(2); }
};

// ---- Helpers ----

uint16_t FileTransfer::TimeoutTicks() const {
    const int s = std::clamp<int>(env_.ap.Timeout, 3, 255);
    return static_cast<uint16_t>(env_.svc.SecondsToTicks(s) + 2);
}

uint8_t FileTransfer::MaxSegment(const T_ComVar& c) const {
    const AsduLayout lay = LayoutOf(env_.ap);
    // A segment frame is the header, NOF, NOS, LOS, the octets, checksum and end character.
    const int tlg = std::min<int>(c.bp.tlg, kMaxFrame);
    return static_cast<uint8_t>(std::clamp(tlg - lay.InfI - 6, 1, 255));
}

std::string FileTransfer::PathOf(uint16_t nof) const {
    // Received data names a file by its number only: no path can be formed from it.
    return env_.av.DataDir + std::to_string(nof);
}

void FileTransfer::Message(T_ComVar& c, int text, const std::string& name, int code) {
    T_Telegramm t = env_.svc.MakeEvent(c, ST_MESSAGE_IO, 0);
    t.setS0(Format(env_.texts.tx(text), {name, code}));
    if (env_.svc.hooks.log) env_.svc.hooks.log(t);
}

int FileTransfer::StationOf(const T_ComVar& c, uint16_t la, int station) const {
    for (int i = 0; i < c.bp.la.anz && i < kMaxLinkAdr; ++i)
        if (c.bp.la.a[i] == la) return i;
    return station >= 0 ? station : 0;
}

bool FileTransfer::Fits(const T_ComVar& c, uint16_t la, int station) const {
    if (station < 0 || env_.ap.lgla == 0) return true;
    if (c.se.sim != SIM_MASTER && c.se.sim != SIM_SLAVE) return true;
    return station < kMaxLinkAdr && c.bp.la.a[station] == la;
}

bool FileTransfer::Frame(T_ComVar& c, uint8_t cf, uint16_t la, const AsduHead& h, const uint8_t* e,
                         int n) {
    const AsduLayout lay = LayoutOf(env_.ap);
    T_Telegramm te{};
    te.stat = ST_OK;
    BeginVariableFrame(te, lay, cf, la);
    const int p = PutAsduHead(te, lay, h);
    if (p + n + 2 > kMaxFrame) return false;
    std::memcpy(te.b + p, e, static_cast<size_t>(n));
    te.lg = static_cast<int16_t>(p + n);
    if (!FinishVariableFrame(c, te)) return false;
    c.se.te = te;
    return true;
}

bool FileTransfer::TransferFrame(T_ComVar& c, const T_FileTransfer& ft, uint8_t typ,
                                 const uint8_t* e, int n) {
    AsduHead h;
    h.typ = typ;
    h.cot = kCotFileTransfer;
    h.ca = ft.ca;
    h.oa = static_cast<uint32_t>(ft.oa);
    return Frame(c, kAnyUserData, ft.la, h, e, n);
}

// ---- The user data source ----

ReadyData FileTransfer::Ready(const T_ComVar& c, int station) const {
    auto ready = [&](uint16_t la) { return ReadyData{DATA_CLASS1, StationOf(c, la, station)}; };
    if (c.fte.typ && Fits(c, c.fte.la, station)) return ready(c.fte.la);
    if (c.fts.typ && Fits(c, c.fts.la, station)) return ready(c.fts.la);
    if (c.cf.stat == CF_DUE && Fits(c, c.cf.la, station)) return ready(c.cf.la);
    if (c.vz.stat == 2 && Fits(c, c.vz.la, station)) return ready(c.vz.la);
    return {};
}

bool FileTransfer::Build(T_ComVar& c, int station) {
    if (c.fte.typ && Fits(c, c.fte.la, station)) return BuildAnswer(c);
    if (c.fts.typ && Fits(c, c.fts.la, station)) return BuildOffer(c);
    if (c.cf.stat == CF_DUE && Fits(c, c.cf.la, station)) return BuildCall(c);
    if (c.vz.stat == 2 && Fits(c, c.vz.la, station)) {
        c.vz.stat = 0;
        AsduHead h;
        h.cot = c.vz.urs;
        h.ca = c.vz.ca;
        return BuildDirectory(c, kAnyUserData, c.vz.la, h, c.vz.vz);
    }
    return false;
}

// ---- Reception ----

void FileTransfer::Receive(T_ComVar& c) {
    T_Telegramm& te = c.em.te;
    const AsduLayout lay = LayoutOf(env_.ap);
    const int end = te.validLen() - 2; // without checksum and end character
    if (lay.InfI + 2 > end) return;
    Rx rx;
    rx.typ = te.b[lay.TypI];
    rx.struk = te.b[lay.TypI + 1];
    rx.cause = te.b[lay.TypI + 2] & 0x3F;
    rx.la = te.la;
    rx.ca = static_cast<uint16_t>(Le(te.b + lay.CaI, lay.lgca));
    rx.oa = Le(te.b + lay.OaI, lay.lgoa);
    rx.e = te.b + lay.InfI;
    rx.n = end - lay.InfI;
    rx.nof = static_cast<uint16_t>(Le(rx.e, 2));
    static constexpr int kNeed[7] = {6, 7, 4, 5, 4, 4, 0};
    if (rx.typ < FT_FILE_READY || rx.typ > FT_DIRECTORY || rx.n < kNeed[rx.typ - FT_FILE_READY])
        return;
    c.em.oa = static_cast<int32_t>(rx.oa);
    c.em.nafile = rx.nof;
    c.em.nasect = rx.at(2);
    c.em.quali = rx.typ == FT_FILE_READY      ? rx.at(5)
                 : rx.typ == FT_SECTION_READY ? rx.at(6)
                                              : rx.at(3);
    switch (rx.typ) {
    case FT_FILE_READY:
        FileReady(c, rx);
        break;
    case FT_SECTION_READY:
        SectionReady(c, rx);
        break;
    case FT_SEGMENT:
        Segment(c, rx);
        break;
    case FT_LAST:
        LastSegment(c, rx);
        break;
    case FT_CALL:
        Call(c, rx);
        break;
    case FT_ACK:
        Acknowledge(c, rx);
        break;
    default:
        DirectoryReceived(c, rx);
        break;
    }
}

namespace {
bool OtherFile(const T_FileTransfer& ft, uint16_t ca, uint32_t oa, uint16_t nof) {
    return ft.ca != ca || static_cast<uint32_t>(ft.oa) != oa || ft.nafile != nof;
}

// Whether a received frame belongs to the transfer ft (and, when the section matters, to its
// section); otherwise the telegram is marked: 38 when no transfer runs, 37 for another file.
bool OfTransfer(T_Telegramm& te, const T_FileTransfer& ft, uint16_t ca, uint32_t oa, uint16_t nof,
                bool otherSection = false) {
    if (ft.stat == 0) {
        te.stat = ST_FT_NOT_EXPECTED;
        return false;
    }
    if (OtherFile(ft, ca, oa, nof) || otherSection) {
        te.stat = ST_FT_OTHER_FILE;
        return false;
    }
    return true;
}
} // namespace

// ---- Receiving a file (fte) ----

void FileTransfer::FileReady(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fe = c.fte;
    // A negative file ready answers a call of ours: the file is not there.
    if (rx.at(5) != 0) return;
    if (fe.stat != FTE_IDLE) {
        c.em.te.stat = ST_FT_NOT_EXPECTED;
        return;
    }
    if (fe.ende) Finish(c, fe, ST_FT_END_TIMEOUT);
    fe = T_FileTransfer{};
    fe.eken = 1;
    fe.la = rx.la;
    fe.ca = rx.ca;
    fe.oa = static_cast<int32_t>(rx.oa);
    fe.nafile = rx.nof;
    fe.lgfile.u = Le(rx.e + 2, 3);
    fe.wttick = fe.tick = TimeoutTicks();
    fe.name = PathOf(rx.nof);
    fe.typ = FT_CALL;
    int err = 0;
    // A file that a channel is offering is not overwritten by one received (both channels
    // share the data directory).
    const bool offered = std::any_of(channels.begin(), channels.end(), [&](const T_ComVar* o) {
        return o && o->fts.f && o->fts.name == fe.name;
    });
    if (offered)
        err = EBUSY;
    else
        fe.f = files_.Create(fe.name, err);
    // Sized at once: a file that cannot take its length is refused before any section.
    const uint8_t zero = 0;
    if (fe.f && fe.lgfile.u > 0 && !fe.f->Write(fe.lgfile.l - 1, &zero, 1)) {
        err = fe.f->Error();
        fe.f.reset();
        files_.Remove(fe.name);
    }
    if (!fe.f) {
        Message(c, kTxFileWriteError, fe.name, err);
        fe.quali = SCQ_CANNOT_STORE;
        return;
    }
    fe.stat = FTE_FILE;
    fe.nasect = 1;
    fe.quali = SCQ_REQUEST_FILE;
    if (env_.ap.IDX != 0) {
        fe.fidx = files_.Create(fe.name + ".IDX", err);
        if (fe.fidx)
            fe.idx = true;
        else
            Message(c, kTxFileWriteError, fe.name + ".IDX", err);
    }
}

void FileTransfer::SectionReady(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fe = c.fte;
    T_Telegramm& te = c.em.te;
    if (!OfTransfer(te, fe, rx.ca, rx.oa, rx.nof)) return;
    if (fe.stat != FTE_FILE || rx.at(6) != 0) {
        te.stat = ST_FT_NOT_EXPECTED;
        return;
    }
    fe.tick = fe.wttick;
    fe.nasect = rx.nos();
    fe.lgsect.u = Le(rx.e + 3, 3);
    fe.ofssect = 0;
    fe.ptsect = 0;
    fe.refused = false;
    fe.typ = FT_CALL;
    if (c.se.lt[LT_REFUSE_SECTIONS]) {
        // Refused, but counted as if received, so that the next section lands in its place.
        fe.quali = SCQ_DEACTIVATE_SECTION;
        fe.ofs += fe.lgsect.l;
        WriteIndex(c, fe.lgsect.l);
        return;
    }
    fe.quali = SCQ_REQUEST_SECTION;
    fe.stat = FTE_SECTION;
}

void FileTransfer::Segment(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fe = c.fte;
    T_Telegramm& te = c.em.te;
    if (!OfTransfer(te, fe, rx.ca, rx.oa, rx.nof, rx.nos() != fe.nasect)) return;
    if (fe.stat != FTE_SECTION) {
        te.stat = ST_FT_NOT_EXPECTED;
        return;
    }
    fe.tick = fe.wttick;
    const int los = rx.at(3);
    const int n = std::min(los, rx.n - 4);
    // A segment that would reach beyond its section or the announced file is not written;
    // the section is then acknowledged negatively.
    if (n != los || static_cast<int64_t>(fe.ofssect) + n > fe.lgsect.l ||
        static_cast<int64_t>(fe.ofs) + n > fe.lgfile.l) {
        fe.refused = true;
        return;
    }
    if (n > 0 && !fe.f->Write(fe.ofs, rx.e + 4, n)) {
        // The file cannot be stored (a full disk): the partner is told so and nothing partial
        // is left behind.
        Message(c, kTxFileWriteError, fe.name, fe.f->Error());
        fe.typ = FT_CALL;
        fe.quali = SCQ_CANNOT_STORE;
        EndReception(c, false);
        return;
    }
    fe.ofs += n;
    fe.ofssect += n;
    fe.ptsect = static_cast<uint8_t>(fe.ptsect + Sum(rx.e + 4, n));
}

void FileTransfer::LastSegment(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fe = c.fte;
    T_Telegramm& te = c.em.te;
    const uint8_t lsq = rx.at(3);
    const uint8_t chs = rx.at(4);
    const bool otherSection = lsq == LSQ_SECTION && fe.stat == FTE_SECTION && rx.nos() != fe.nasect;
    if (!OfTransfer(te, fe, rx.ca, rx.oa, rx.nof, otherSection)) return;
    const bool wrongSums = c.se.lt[LT_FILE_CHECKSUM];
    if (lsq == LSQ_SECTION && fe.stat == FTE_SECTION) {
        fe.tick = fe.wttick;
        uint8_t q = AFQ_SECTION_LENGTH;
        if (fe.ofssect == fe.lgsect.l && !fe.refused)
            q = (chs != fe.ptsect || wrongSums) ? AFQ_SECTION_CHECKSUM : AFQ_SECTION_OK;
        if (q == AFQ_SECTION_OK) {
            fe.ptfile = static_cast<uint8_t>(fe.ptfile + fe.ptsect);
            WriteIndex(c, fe.lgsect.l);
        } else {
            fe.ofs -= fe.ofssect; // the section is received again or not at all
        }
        fe.ofssect = 0;
        fe.stat = FTE_FILE;
        fe.typ = FT_ACK;
        fe.quali = q;
        return;
    }
    if (lsq == LSQ_FILE && fe.stat == FTE_FILE) {
        uint8_t q = AFQ_FILE_OK;
        if (static_cast<uint32_t>(fe.ofs) != fe.lgfile.u)
            q = AFQ_FILE_LENGTH;
        else if (chs != fe.ptfile || wrongSums)
            q = AFQ_FILE_CHECKSUM;
        fe.typ = FT_ACK;
        fe.quali = q;
        fe.nasect = 0;
        EndReception(c, q == AFQ_FILE_OK);
        return;
    }
    if (lsq == LSQ_FILE_DEACTIVATED) {
        // The partner gave up: what arrived is kept.
        EndReception(c, true);
        return;
    }
    te.stat = ST_FT_NOT_EXPECTED;
}

void FileTransfer::WriteIndex(T_ComVar& c, int32_t len) {
    T_FileTransfer& fe = c.fte;
    if (!fe.idx || !fe.fidx) return;
    const std::string line = std::to_string(len) + "\r\n";
    if (!fe.fidx->Write(fe.idxofs, reinterpret_cast<const uint8_t*>(line.data()),
                        static_cast<int>(line.size()))) {
        Message(c, kTxFileWriteError, fe.name + ".IDX", fe.fidx->Error());
        fe.fidx.reset();
        fe.idx = false;
        return;
    }
    fe.idxofs += static_cast<int32_t>(line.size());
}

void FileTransfer::EndReception(T_ComVar& c, bool keep) {
    T_FileTransfer& fe = c.fte;
    if (fe.f && keep && !fe.f->Truncate(fe.ofs))
        Message(c, kTxFileWriteError, fe.name, fe.f->Error());
    fe.f.reset();
    fe.fidx.reset();
    fe.idx = false;
    // A file that failed its checks is not left behind as if it had arrived.
    if (!keep) {
        files_.Remove(fe.name);
        if (env_.ap.IDX != 0) files_.Remove(fe.name + ".IDX");
    }
    fe.stat = FTE_IDLE;
    fe.ende = 1;
    fe.tick = kEndedTicks;
}

bool FileTransfer::BuildAnswer(T_ComVar& c) {
    T_FileTransfer& fe = c.fte;
    uint8_t e[4];
    Put(e, fe.nafile, 2);
    e[2] = NamesSection(fe.typ, fe.quali) ? fe.nasect : 0;
    e[3] = fe.quali;
    const uint8_t typ = fe.typ;
    fe.typ = 0;
    return TransferFrame(c, fe, typ, e, 4);
}

// ---- Offering a file (fts) ----

bool FileTransfer::StartOffer(T_ComVar& c, uint16_t nof, const std::string& name, uint16_t la,
                              uint16_t ca, uint32_t oa, int dir, bool spontaneous) {
    T_FileTransfer& fs = c.fts;
    if (fs.ende) Finish(c, fs, ST_FT_END_TIMEOUT);
    int64_t size = 0;
    int err = 0;
    std::shared_ptr<TransferFile> f = files_.Open(name, size, err);
    uint8_t refusal = 0;
    if (!f) {
        Message(c, kTxFileReadError, name, err);
        refusal = ST_FT_CANNOT_OPEN;
    } else if (size > kMaxTransferFile) {
        refusal = ST_FT_TOO_LONG;
    }
    fs = T_FileTransfer{};
    fs.la = la;
    fs.ca = ca;
    fs.oa = static_cast<int32_t>(oa);
    fs.nafile = nof;
    if (refusal) {
        if (spontaneous) {
            env_.svc.LogEvent(c, refusal, nof);
            return false;
        }
        // The partner selected it: told so by a negative file ready, and the offer is over.
        fs.typ = FT_FILE_READY;
        fs.quali = FRQ_NOT_READY;
        return false;
    }
    fs.f = std::move(f);
    fs.name = name;
    fs.lgfile.l = static_cast<int32_t>(size);
    fs.maxsect.l = kDefaultSectionLen;
    fs.lgsegm = MaxSegment(c);
    fs.nasect = 1;
    fs.wttick = fs.tick = TimeoutTicks();
    fs.dir = static_cast<int8_t>(dir);
    fs.stat = FTS_FILE_READY;
    fs.typ = FT_FILE_READY;
    fs.quali = 0;
    return true;
}

bool FileTransfer::Offer(T_ComVar& c, uint16_t nof, uint16_t la, uint16_t ca, uint32_t oa) {
    if (c.fts.stat != FTS_IDLE) {
        env_.svc.LogEvent(c, ST_FT_OFFER_RUNS, nof);
        return false;
    }
    return StartOffer(c, nof, PathOf(nof), la, ca, oa, -1, true);
}

void FileTransfer::Call(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fs = c.fts;
    T_Telegramm& te = c.em.te;
    const bool subDirs = env_.ap.DatAdr != 0;
    if (rx.cause == kCotRequest) {
        // The directory is asked for: the sub-directory of the object address, if any.
        const int k = DirectoryFor(dirs, subDirs, rx.oa);
        T_DirSend& v = c.vz;
        v = T_DirSend{};
        v.stat = 2;
        v.urs = kCotRequest;
        v.vz = static_cast<int8_t>(k);
        v.la = rx.la;
        v.ca = rx.ca;
        if (k == 0) dirs.hv.oa = static_cast<int32_t>(rx.oa);
        return;
    }
    const uint8_t q = rx.at(3);
    if (q == SCQ_SELECT_FILE) {
        if (fs.stat != FTS_IDLE) {
            te.stat = ST_FT_NOT_EXPECTED;
            return;
        }
        const int k = DirectoryFor(dirs, subDirs, rx.oa);
        const T_Verzeichnis& d = DirectoryAt(dirs, k);
        const int i = FindEntry(d, rx.nof);
        if (i < 0) {
            te.stat = ST_FT_NOT_IN_DIR;
            return;
        }
        StartOffer(c, rx.nof, env_.av.DataDir + d.ent[i].name.str(), rx.la, rx.ca, rx.oa, k, false);
        return;
    }
    if (!OfTransfer(te, fs, rx.ca, rx.oa, rx.nof)) return;
    if ((q & 0x0F) == (SCQ_CANNOT_STORE & 0x0F)) {
        // The partner gives the file up (it cannot store it), whatever is under way.
        EndOffer(c, false);
        return;
    }
    const bool waiting = fs.typ == 0; // what was owed has gone out
    if (fs.stat == FTS_FILE_READY && waiting) {
        fs.tick = fs.wttick;
        if (q == SCQ_REQUEST_FILE)
            NextSection(c, false);
        else
            EndOffer(c, false);
        return;
    }
    if (fs.stat == FTS_SECTION && waiting) {
        if (rx.nos() != fs.nasect && (q == SCQ_REQUEST_SECTION || q == SCQ_DEACTIVATE_SECTION)) {
            te.stat = ST_FT_OTHER_FILE;
            return;
        }
        fs.tick = fs.wttick;
        if (q == SCQ_REQUEST_SECTION) {
            fs.ofssect = 0;
            fs.ptsect = 0;
            fs.typ = FT_SEGMENT;
        } else if (q == SCQ_DEACTIVATE_SECTION) {
            fs.ofs += fs.lgsect.l; // skipped
            NextSection(c, true);
        } else {
            EndOffer(c, false);
        }
        return;
    }
    te.stat = ST_FT_NOT_EXPECTED;
}

void FileTransfer::Acknowledge(T_ComVar& c, const Rx& rx) {
    T_FileTransfer& fs = c.fts;
    T_Telegramm& te = c.em.te;
    const uint8_t q = rx.at(3);
    if (!OfTransfer(te, fs, rx.ca, rx.oa, rx.nof)) return;
    if (fs.stat == FTS_SECTION_DONE && fs.typ == 0) {
        fs.tick = fs.wttick;
        if (q == AFQ_SECTION_OK) {
            fs.ptfile = static_cast<uint8_t>(fs.ptfile + fs.ptsect);
            fs.ofs += fs.lgsect.l;
            NextSection(c, true);
        } else {
            NextSection(c, false); // the same section again
        }
        return;
    }
    if (fs.stat == FTS_LAST_SECTION && fs.typ == 0) {
        EndOffer(c, q == AFQ_FILE_OK);
        return;
    }
    te.stat = ST_FT_NOT_EXPECTED;
}

int32_t FileTransfer::IndexLine(T_ComVar& c) {
    T_FileTransfer& fs = c.fts;
    if (env_.ap.IDX == 0) return 0;
    if (!fs.idx) {
        // Opened on first use; without one the sections have the default length.
        int64_t size = 0;
        int err = 0;
        fs.fidx = files_.Open(fs.name + ".IDX", size, err);
        fs.idx = true;
    }
    if (!fs.fidx) return 0;
    uint8_t buf[kIndexLineMax];
    const int got = fs.fidx->Read(fs.idxofs, buf, kIndexLineMax);
    if (got <= 0) return 0;
    int k = 0;
    int64_t v = 0;
    bool digits = false;
    while (k < got && buf[k] >= '0' && buf[k] <= '9') {
        v = v * 10 + (buf[k++] - '0');
        digits = true;
    }
    while (k < got && buf[k] != '\n') ++k;
    fs.idxofs += k < got ? k + 1 : k;
    return (digits && v >= 1 && v <= kMaxTransferFile) ? static_cast<int32_t>(v) : 0;
}

void FileTransfer::NextSection(T_ComVar& c, bool newSection) {
    T_FileTransfer& fs = c.fts;
    fs.ofssect = 0;
    fs.ptsect = 0;
    if (newSection) fs.nasect = NextName(fs.nasect);
    const int32_t rest = fs.lgfile.l - fs.ofs;
    if (rest <= 0) {
        fs.typ = FT_LAST;
        fs.quali = LSQ_FILE;
        fs.stat = FTS_LAST_SECTION;
        return;
    }
    if (newSection || fs.lgsect.l <= 0) {
        const int32_t line = IndexLine(c);
        fs.lgsect.l = std::min(line > 0 ? line : fs.maxsect.l, rest);
    }
    fs.lgsect.l = std::min(fs.lgsect.l, rest);
    fs.typ = FT_SECTION_READY;
    fs.quali = 0;
    fs.stat = FTS_SECTION;
}

void FileTransfer::EndOffer(T_ComVar& c, bool delivered) {
    T_FileTransfer& fs = c.fts;
    fs.f.reset();
    fs.fidx.reset();
    fs.idx = false;
    fs.typ = 0;
    fs.stat = FTS_IDLE;
    fs.ende = 1;
    fs.tick = kEndedTicks;
    if (!delivered || fs.dir < 0) return;
    // A file taken from a directory leaves it; the directory is offered again.
    T_Verzeichnis& d = DirectoryAt(dirs, fs.dir);
    RemoveEntry(d, FindEntry(d, fs.nafile));
    T_DirSend& v = c.vz;
    v = T_DirSend{};
    v.stat = 1;
    v.tick = env_.av.Tick + kEndedTicks;
    v.urs = kCotSpontaneous;
    v.vz = fs.dir;
    v.la = fs.la;
    v.ca = fs.ca;
}

bool FileTransfer::BuildOffer(T_ComVar& c) {
    T_FileTransfer& fs = c.fts;
    uint8_t e[kMaxFrame];
    Put(e, fs.nafile, 2);
    const uint8_t typ = fs.typ;
    const uint8_t lt10 = c.se.lt[LT_FILE_CHECKSUM] ? 1 : 0;
    int n = 0;
    switch (typ) {
    case FT_FILE_READY:
        Put(e + 2, fs.lgfile.u, 3);
        e[5] = fs.quali;
        n = 6;
        fs.typ = 0;
        break;
    case FT_SECTION_READY:
        e[2] = fs.nasect;
        Put(e + 3, fs.lgsect.u, 3);
        e[6] = 0;
        n = 7;
        fs.typ = 0;
        break;
    case FT_SEGMENT: {
        const int len = std::min<int>(fs.lgsegm, fs.lgsect.l - fs.ofssect);
        const int got = len > 0 ? fs.f->Read(fs.ofs + fs.ofssect, e + 4, len) : 0;
        if (got != len) {
            Message(c, kTxFileReadError, fs.name, got < 0 ? fs.f->Error() : 0);
            fs = T_FileTransfer{};
            return false;
        }
        e[2] = fs.nasect;
        e[3] = static_cast<uint8_t>(len);
        n = 4 + len;
        fs.ptsect = static_cast<uint8_t>(fs.ptsect + Sum(e + 4, len));
        fs.ofssect += len;
        if (fs.ofssect >= fs.lgsect.l) {
            fs.typ = FT_LAST;
            fs.quali = LSQ_SECTION;
        }
        break;
    }
    case FT_LAST: {
        const bool section = fs.quali == LSQ_SECTION;
        e[2] = section ? fs.nasect : 0;
        e[3] = fs.quali;
        e[4] = static_cast<uint8_t>((section ? fs.ptsect : fs.ptfile) + lt10);
        n = 5;
        fs.typ = 0;
        if (section) fs.stat = FTS_SECTION_DONE;
        break;
    }
    default:
        fs.typ = 0;
        return false;
    }
    fs.tick = fs.wttick;
    const bool built = TransferFrame(c, fs, typ, e, n);
    // A selected file that cannot be offered is told once; nothing else follows.
    if (typ == FT_FILE_READY && fs.quali == FRQ_NOT_READY) fs = T_FileTransfer{};
    return built;
}

// ---- Directories and the file call ----

bool FileTransfer::BuildDirectory(T_ComVar& c, uint8_t cf, uint16_t la, AsduHead h, int vz) {
    T_Verzeichnis& d = DirectoryAt(dirs, vz);
    if (&d != &dirs.hv) h.oa = static_cast<uint32_t>(d.oa);
    if (&d == &dirs.hv) d.oa = static_cast<int32_t>(h.oa);
    uint8_t e[kDirEntries * kDirElementLen];
    const int n = WriteDirectoryElements(d, e);
    h.typ = FT_DIRECTORY;
    h.struk = static_cast<uint8_t>((n / kDirElementLen) | 0x80);
    return Frame(c, cf, la, h, e, n);
}

void FileTransfer::DirectoryReceived(T_ComVar& c, const Rx& rx) {
    T_CallFileVar& cf = c.cf;
    if (env_.ap.Abruf == 0 || cf.stat != CF_IDLE) return;
    const int n = std::min<int>(rx.struk & 0x7F, rx.n / kDirElementLen);
    if (n == 0) return;
    const bool lastFile = (rx.e[(n - 1) * kDirElementLen + 5] & SOF_LAST) != 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t* el = rx.e + i * kDirElementLen;
        if (el[5] >= 64) continue; // a sub-directory, or a file being transferred
        cf = T_CallFileVar{};
        cf.la = rx.la;
        cf.aa = rx.ca;
        cf.oa = static_cast<int32_t>(rx.oa + static_cast<uint32_t>(i));
        cf.nafile = static_cast<uint16_t>(Le(el, 2));
        cf.nasect = 1;
        cf.scq = SCQ_SELECT_FILE;
        cf.tick = lastFile ? kCallTicksLastFile : kCallTicks;
        cf.stat = CF_COUNTING;
        return;
    }
}

bool FileTransfer::BuildCall(T_ComVar& c) {
    T_CallFileVar& cf = c.cf;
    cf.stat = CF_IDLE;
    uint8_t e[4];
    Put(e, cf.nafile, 2);
    e[2] = 0;
    e[3] = cf.scq;
    AsduHead h;
    h.typ = FT_CALL;
    h.cot = kCotFileTransfer;
    h.ca = cf.aa;
    h.oa = static_cast<uint32_t>(cf.oa);
    return Frame(c, kAnyUserData, cf.la, h, e, 4);
}

FileTelegramResult FileTransfer::BuildTelegram(T_ComVar& c, const FileTelegram& t) {
    AsduHead h = t.head;
    switch (h.typ) {
    case FT_FILE_READY: {
        const uint16_t nof = NofOfName(t.file);
        if (nof == 0) {
            env_.svc.LogEvent(c, ST_FT_CANNOT_OPEN, 0);
            return FileTelegramResult::Refused;
        }
        if (!Offer(c, nof, t.la, static_cast<uint16_t>(h.ca), h.oa))
            return FileTelegramResult::Refused;
        T_FileTransfer& fs = c.fts;
        uint8_t e[6];
        Put(e, nof, 2);
        Put(e + 2, fs.lgfile.u, 3);
        e[5] = 0;
        fs.typ = 0; // this frame is the file ready
        return Frame(c, t.cf, t.la, h, e, 6) ? FileTelegramResult::Built
                                             : FileTelegramResult::NotSendable;
    }
    case FT_CALL: {
        uint8_t e[4];
        Put(e, t.nof, 2);
        e[2] = 0;
        e[3] = (h.cot & 0x3F) == kCotRequest ? SCQ_DEFAULT : SCQ_SELECT_FILE;
        return Frame(c, t.cf, t.la, h, e, 4) ? FileTelegramResult::Built
                                             : FileTelegramResult::NotSendable;
    }
    case FT_DIRECTORY:
        return BuildDirectory(c, t.cf, t.la, h, t.vz) ? FileTelegramResult::Built
                                                      : FileTelegramResult::NotSendable;
    default:
        return FileTelegramResult::NotSendable;
    }
}

// ---- Time-outs and closing ----

void FileTransfer::Finish(T_ComVar& c, T_FileTransfer& ft, uint8_t event) {
    // An unfinished file received keeps what arrived, and nothing beyond it.
    if (ft.eken && ft.f && !ft.ende && !ft.f->Truncate(ft.ofs))
        Message(c, kTxFileWriteError, ft.name, ft.f->Error());
    if (event) env_.svc.LogEvent(c, event, ft.nafile);
    ft = T_FileTransfer{};
}

void FileTransfer::CountDown(T_ComVar& c, T_FileTransfer& ft) {
    if (!Active(ft)) return;
    // The last answer of an ended transfer goes out before the record is dropped.
    if (ft.ende && ft.typ != 0) return;
    // A spontaneous offer waits for the link before its time runs.
    if (&ft == &c.fts && ft.stat == FTS_FILE_READY && ft.typ == FT_FILE_READY) return;
    if (ft.tick > 0) --ft.tick;
    if (ft.tick == 0) Finish(c, ft, ft.ende ? ST_FT_END_TIMEOUT : ST_FT_CANNOT_OPEN);
}

void FileTransfer::Tick(T_ComVar& c) {
    CountDown(c, c.fte);
    CountDown(c, c.fts);
    if (c.cf.stat == CF_COUNTING) {
        if (c.cf.tick > 0) --c.cf.tick;
        if (c.cf.tick == 0) c.cf.stat = CF_DUE;
    }
    if (c.vz.stat == 1 && env_.svc.Due(c.vz.tick)) c.vz.stat = 2;
}

void FileTransfer::CloseFiles(T_ComVar& c) {
    if (Active(c.fte)) Finish(c, c.fte, 0);
    c.fte = T_FileTransfer{};
    c.fts = T_FileTransfer{};
}

void FileTransfer::Rescan() {
    ScanDirectories(dirs, files_, env_.av.DataDir, env_.ap.DatAdr != 0);
}

} // namespace vdl

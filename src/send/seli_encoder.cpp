#include "send/seli_encoder.h"

#include "asdu/catalogue.h"
#include "asdu/time_tag.h"
#include "link/transmitter.h"
#include "send/sete_encoder.h"

#include <algorithm>
#include <cstring>

namespace vdl {

namespace {

constexpr int kMaxObjectsPerAsdu = 127;

bool IsCounterType(int typ) {
    return typ == 15 || typ == 16 || typ == 37;
}

// The object's fields go into the header's: oa, inf, res72 (akt), typ, urs, qua.
void LoadObject(T_SeTe& w, const T_SeLiObj& o) {
    w.oa = o.oa;
    w.inf = o.inf;
    w.res72 = o.akt;
    w.typ = o.typ;
    w.urs = o.urs;
    w.qua = o.qua;
}

void PutLe(uint8_t* p, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

bool Buildable(int typ) {
    uint8_t probe[16];
    T_SeTe t{};
    t.typ = static_cast<uint8_t>(typ);
    return typ < 120 && IsKnownType(typ) && EncodeElement(t, probe) >= 0;
}

} // namespace

ListPacking PackListObjects(const SeLi& l, const AsduLayout& lay, int maxLen, bool perObjectCa) {
    ListPacking p;
    p.first = ActiveFrom(l, l.idx);
    if (!p.first) return p;
    const T_SeLiObj& f = l.at(p.first);
    const uint16_t cat = CatalogueEntry(f.typ);
    const int elen = ElementLength(f.typ);
    p.count = 1;
    p.sq = (cat & CAT_SEQUENCE) != 0;
    if ((cat & CAT_SEVERAL) == 0) return p;
    const int limit = std::min(maxLen > 0 ? maxLen : kMaxFrameLen, kMaxFrameLen);
    const int remaining = l.anzo() > 0 ? l.anzo() - l.anzzyk : l.anzakt - l.anzzyk;
    const int most = std::min(remaining, kMaxObjectsPerAsdu);
    int len = lay.OaI + lay.lgoa + elen + 2;
    int prev = p.first;
    while (p.count < most) {
        const int next = NextActive(l, prev);
        if (next == p.first) break; // every active object is in the telegram once
        const T_SeLiObj& o = l.at(next);
        if (o.typ != f.typ || o.urs != f.urs) break;
        if (perObjectCa && l.caOf(next).ca != l.caOf(p.first).ca) break;
        // Tried first: an object that does not fit leaves the telegram as it was.
        bool sq = p.sq;
        int grown;
        if (sq && static_cast<uint32_t>(o.oa) == static_cast<uint32_t>(l.at(prev).oa) + 1) {
            grown = len + elen;
        } else if (sq) {
            sq = false;
            grown = lay.OaI + (p.count + 1) * (lay.lgoa + elen) + 2;
        } else {
            grown = len + lay.lgoa + elen;
        }
        if (grown > limit) break;
        p.sq = sq;
        len = grown;
        ++p.count;
        prev = next;
    }
    return p;
}

ListBuildResult BuildListTelegram(T_ComVar& c, LinkEnv& env, SeLi& l, const ListBuildOptions& o,
                                  int* notSendable) {
    const AsduLayout lay = LayoutOf(env.ap);
    const ListPacking pack = PackListObjects(l, lay, c.bp.tlg, o.perObjectCa);
    if (!pack.first) return ListBuildResult::NoObject;
    const T_SeLiObj& first = l.at(pack.first);
    if (!Buildable(first.typ)) {
        if (notSendable) *notSendable = pack.first;
        return ListBuildResult::NotSendable;
    }

    // The header as the work record of the encoder: the present time, the program's time bits.
    T_SeTe w = l.h;
    w.zeit = 0;
    w.su = env.ap.SZt ? 1 : 0;
    w.gen = env.ap.Gen ? 1 : 0;
    if (o.perObjectCa) {
        w.ca = l.caOf(pack.first).ca;
        w.hk = l.caOf(pack.first).hk;
    }
    T_Telegramm te{};
    te.stat = ST_OK;
    int p = BeginVariableFrame(te, lay, kUserControlFields[std::clamp<int>(w.ueb, 0, 2)],
                               static_cast<uint16_t>(w.la));
    te.b[p++] = first.typ;
    const int vsq = p++;
    te.b[p++] = static_cast<uint8_t>((first.urs & 0x3F) | w.tn);
    if (lay.mitori) te.b[p++] = w.hk;
    PutLe(te.b + p, static_cast<uint32_t>(w.ca), lay.lgca);
    p += lay.lgca;

    const bool timeTag = HasTimeTag(first.typ), cp56 = HasCP56(first.typ);
    const double now = env.clock.LocalNow();
    int i = pack.first;
    for (int k = 0; k < pack.count; ++k) {
        T_SeLiObj& obj = l.at(i);
        LoadObject(w, obj);
        if (!pack.sq || k == 0) {
            PutLe(te.b + p, static_cast<uint32_t>(w.oa), lay.lgoa);
            p += lay.lgoa;
        }
        w.zus = obj.qua;
        if (o.counters && IsCounterType(w.typ)) {
            // Each object's reading advances by itself.
            AdvanceCounter(w);
            obj.inf = w.inf;
            obj.qua = static_cast<uint8_t>((obj.qua & 0xE0) | (w.zus & 0x1F));
        }
        p += std::max(0, EncodeElement(w, te.b + p));
        if (timeTag) {
            EncodeTimeTag(w, cp56, now, te.b + p);
            p += cp56 ? kCP56Len : kCP24Len;
        }
        i = NextActive(l, i);
        ++l.anzzyk;
    }
    l.idx = i;
    te.b[vsq] = static_cast<uint8_t>(pack.count | (pack.sq && pack.count > 1 ? 0x80 : 0));
    te.lg = static_cast<int16_t>(p);
    // The packing kept the frame within the largest one, so that it always closes.
    FinishVariableFrame(c, te, true);
    c.se.te = te;
    return ListBuildResult::Built;
}

bool EndOfListCycle(SeLi& l) {
    bool ended = false;
    if (l.anzo() <= 0) {
        if (l.anzzyk >= l.anzakt) {
            l.idx = 1;
            ended = true;
        }
    } else if (l.anzzyk >= l.anzo()) {
        ended = true; // idx goes on where it stands
    }
    if (ended) {
        l.h.stat = SS_TE_SENT;
        l.anzzyk = 0;
        ++l.h.anzist;
    }
    if (l.h.anzt > 0 && l.h.anzist >= l.h.anzt) {
        l.h.stat = SS_TE_IDLE;
        l.h.anzist = 0;
    }
    return ended;
}

} // namespace vdl

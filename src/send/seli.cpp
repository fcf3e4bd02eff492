#include "send/seli.h"

#include <cstring>

namespace vdl {

namespace {

constexpr int kTxNewListName = 1187;

uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void ToRecord(const SeLi& l, T_SeLi& r) {
    std::memcpy(r.kopf, &l.h, kSeLiHeadLen);
    r.zeileed = l.zeileed;
    r.res148 = l.res148;
    r.anzakt = l.anzakt;
    r.maxakt = l.maxakt;
    r.idx = l.idx;
    r.anzzyk = l.anzzyk;
    r.res168 = l.res168;
    r.res172 = l.res172;
    std::memcpy(r.obj, l.obj.data(), sizeof r.obj);
}

void FromRecord(const T_SeLi& r, SeLi& l) {
    std::memset(&l.h, 0, sizeof l.h);
    std::memcpy(&l.h, r.kopf, kSeLiHeadLen);
    l.zeileed = r.zeileed;
    l.res148 = r.res148;
    l.anzakt = r.anzakt;
    l.maxakt = r.maxakt;
    l.idx = r.idx;
    l.anzzyk = r.anzzyk;
    l.res168 = r.res168;
    l.res172 = r.res172;
    std::memcpy(l.obj.data(), r.obj, sizeof r.obj);
}

} // namespace

T_SeLiObj DefaultListObject() {
    T_SeLiObj o{};
    o.inf.l = 1;
    o.typ = 2;
    o.urs = 3;
    return o;
}

bool IsDefaultObject(const T_SeLiObj& o) {
    const T_SeLiObj d = DefaultListObject();
    return std::memcmp(&o, &d, sizeof o) == 0;
}

void NewList(SeLi& l, int n, const TextTable& texts) {
    l = SeLi{};
    std::memset(&l.h, 0, sizeof l.h);
    l.h.res0 = kSeLiMark;
    l.h.anst = ANST_OPERATOR;
    l.h.snr = 2;
    l.h.anzt = 1;
    l.h.la = 1;
    l.h.struk = 1;
    l.h.bez.set(texts.tx(kTxNewListName) + std::to_string(n));
    l.zeileed = l.res148 = l.anzakt = l.maxakt = l.idx = l.anzzyk = l.res172 = 0;
    l.res168 = 1;
    l.obj.fill(DefaultListObject());
    l.ca.fill(T_CaHk{});
}

void InitialSeLiSet(SeLiSet& s, const TextTable& texts) {
    for (int n = 1; n <= kSeLiCount; ++n) NewList(s.at(n), n, texts);
}

void CountActive(SeLi& l) {
    l.maxakt = 0;
    l.anzakt = 0;
    for (int i = 1; i <= kSeLiObjects; ++i)
        if (l.at(i).akt != 0) {
            l.maxakt = i;
            ++l.anzakt;
        }
}

int NextActive(const SeLi& l, int i) {
    const int top = l.maxakt > 0 && l.maxakt <= kSeLiObjects ? l.maxakt : kSeLiObjects;
    for (int k = 0; k < top; ++k) {
        i = i >= top ? 1 : i + 1;
        if (l.at(i).akt != 0) return i;
    }
    return i;
}

int ActiveFrom(const SeLi& l, int i) {
    if (l.anzakt <= 0 || l.maxakt <= 0 || l.maxakt > kSeLiObjects) return 0;
    if (i < 1 || i > l.maxakt) i = 1;
    if (l.at(i).akt != 0) return i;
    const int next = NextActive(l, i);
    return l.at(next).akt != 0 ? next : 0;
}

std::vector<uint8_t> SeLiBlock(const SeLiSet& s) {
    std::vector<uint8_t> b(kSeLiSetBlockLen, 0);
    const uint32_t len = kSeLiSetBlockLen;
    std::memcpy(b.data(), &len, 4);
    T_SeLi r;
    for (int n = 1; n <= kSeLiCount; ++n) {
        ToRecord(s.at(n), r);
        std::memcpy(b.data() + 4 + static_cast<size_t>(n - 1) * sizeof r, &r, sizeof r);
    }
    return b;
}

std::vector<uint8_t> CaSeLiBlock(const SeLiSet& s) {
    std::vector<uint8_t> b(kCaSeLiSetBlockLen, 0);
    const uint32_t len = kCaSeLiSetBlockLen;
    std::memcpy(b.data(), &len, 4);
    for (int n = 1; n <= kSeLiCount; ++n)
        std::memcpy(b.data() + 4 + static_cast<size_t>(n - 1) * sizeof(T_CaSeLi), s.at(n).ca.data(),
                    sizeof(T_CaSeLi));
    return b;
}

bool TakeSeLiBlocks(SeLiSet& s, const std::vector<uint8_t>& lists,
                    const std::vector<uint8_t>& cas) {
    if (lists.size() != kSeLiSetBlockLen || U32(lists.data()) != kSeLiSetBlockLen) return false;
    const bool withCas = cas.size() == kCaSeLiSetBlockLen && U32(cas.data()) == kCaSeLiSetBlockLen;
    T_SeLi r;
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = s.at(n);
        std::memcpy(&r, lists.data() + 4 + static_cast<size_t>(n - 1) * sizeof r, sizeof r);
        FromRecord(r, l);
        if (withCas)
            std::memcpy(l.ca.data(), cas.data() + 4 + static_cast<size_t>(n - 1) * sizeof(T_CaSeLi),
                        sizeof(T_CaSeLi));
        else
            l.ca.fill(T_CaHk{});
    }
    return true;
}

} // namespace vdl

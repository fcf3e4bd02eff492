// The twelve send lists: the stored record of a list (a send telegram's header, the counters of
// its cycle and 3000 objects), the per-object common addresses, the list in memory, new lists,
// the parameter set blocks and the counting of active objects.
#pragma once

#include "core/text_table.h"
#include "send/sete.h"
#include "send/type_picker.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vdl {

constexpr int kSeLiCount = 12;
constexpr int kSeLiObjects = 3000;
constexpr int kSeLiHeadLen = 144; // the first 144 bytes of a send telegram
constexpr int32_t kSeLiMark = 434116;

#pragma pack(push, 1)

// The common address and originator of one list object (used with option 8).
struct T_CaHk {
    uint16_t ca;
    uint8_t hk;
    uint8_t f1;
};

// One send list as the parameter set file stores it (36176 bytes).
struct T_SeLi {
    uint8_t kopf[kSeLiHeadLen]; // res0 (434116) and the send telegram's fields ilo..bez
    int32_t zeileed;            // list editor's cursor row when the list was last stored
    int32_t res148;
    int32_t anzakt; // active objects
    int32_t maxakt; // highest index of an active object, 0 none
    int32_t idx;    // index 1..3000 of the next object to send
    int32_t anzzyk; // objects sent in the current cycle
    int32_t res168; // 1 in a new list
    int32_t res172;
    T_SeLiObj obj[kSeLiObjects];
};

#pragma pack(pop)

static_assert(sizeof(T_CaHk) == 4);
static_assert(sizeof(T_SeLi) == 36176);
static_assert(offsetof(T_SeLi, zeileed) == 144);
static_assert(offsetof(T_SeLi, res148) == 148);
static_assert(offsetof(T_SeLi, anzakt) == 152);
static_assert(offsetof(T_SeLi, maxakt) == 156);
static_assert(offsetof(T_SeLi, idx) == 160);
static_assert(offsetof(T_SeLi, anzzyk) == 164);
static_assert(offsetof(T_SeLi, res168) == 168);
static_assert(offsetof(T_SeLi, res172) == 172);
static_assert(offsetof(T_SeLi, obj) == 176);
static_assert(kSeLiHeadLen == offsetof(T_SeTe, fileidx));

// The per-object addresses of one list (T_CaSeLi), parallel to its objects.
using T_CaSeLi = std::array<T_CaHk, kSeLiObjects>;

// A send list in memory. The header is a send telegram whose first 144 bytes are the stored
// ones (res0 holds the list mark, zeile the objects per cycle anzo, hwnd whether the list editor
// follows the cycles); its further fields stay zero. Objects are numbered 1..3000.
struct SeLi {
    T_SeTe h{};
    int32_t zeileed = 0, res148 = 0, anzakt = 0, maxakt = 0, idx = 1, anzzyk = 0, res168 = 1,
            res172 = 0;
    std::array<T_SeLiObj, kSeLiObjects> obj{};
    T_CaSeLi ca{};

    T_SeLiObj& at(int i) { return obj[static_cast<size_t>(i - 1)]; }
    const T_SeLiObj& at(int i) const { return obj[static_cast<size_t>(i - 1)]; }
    T_CaHk& caOf(int i) { return ca[static_cast<size_t>(i - 1)]; }
    const T_CaHk& caOf(int i) const { return ca[static_cast<size_t>(i - 1)]; }
    // Objects per cycle (0: all active objects).
    int32_t& anzo() { return h.zeile; }
    int32_t anzo() const { return h.zeile; }
};

struct SeLiSet {
    std::array<SeLi, kSeLiCount> l{};
    SeLi& at(int n) { return l[static_cast<size_t>(n - 1)]; }
    const SeLi& at(int n) const { return l[static_cast<size_t>(n - 1)]; }
};

// The list after n (after 12 comes 1).
constexpr int NextListNumber(int n) {
    return n % kSeLiCount + 1;
}

// The default object: address 0, value 1, inactive, type 2, cause 3, qualifier 0.
T_SeLiObj DefaultListObject();
bool IsDefaultObject(const T_SeLiObj& o);

// A new list n: the header defaults of a new send telegram, named text 1187 followed by n,
// every object the default object, the per-object addresses zero.
void NewList(SeLi& l, int n, const TextTable& texts);
void InitialSeLiSet(SeLiSet& s, const TextTable& texts);

// maxakt and anzakt from the objects.
void CountActive(SeLi& l);
// The next active object after i (after maxakt back to 1); i itself when none other is.
int NextActive(const SeLi& l, int i);
// The first active object from i on (wrapping after maxakt); 0 when the list has none.
int ActiveFrom(const SeLi& l, int i);

// The parameter set blocks: the twelve lists (434116 bytes, its length first) and the twelve
// per-object address tables (144004 bytes). Written and taken byte for byte.
constexpr uint32_t kSeLiSetBlockLen = 4 + kSeLiCount * sizeof(T_SeLi);
constexpr uint32_t kCaSeLiSetBlockLen = 4 + kSeLiCount * sizeof(T_CaSeLi);
static_assert(kSeLiSetBlockLen == 434116 && kCaSeLiSetBlockLen == 144004);
std::vector<uint8_t> SeLiBlock(const SeLiSet& s);
std::vector<uint8_t> CaSeLiBlock(const SeLiSet& s);
// False, nothing taken, when a block does not carry its length; the address block may be
// absent (empty), and the tables are then cleared.
bool TakeSeLiBlocks(SeLiSet& s, const std::vector<uint8_t>& lists, const std::vector<uint8_t>& cas);

} // namespace vdl

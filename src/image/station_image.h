// The station image: one row per information object and type seen in the traffic, with the
// object's latest value, quality, cause and time tag and its telegram counts by cause. The log
// store offers it every telegram it records; only correct variable frames are entered.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/records.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vdl {

#pragma pack(push, 1)
// One object of the image (76 bytes).
struct T_Obj {
    uint32_t cax;   // common address * 256
    uint32_t oax;   // object address * 256 + type key
    double dt;      // reception time of the last telegram that carried the object
    uint8_t typneu; // type of the last telegram
    uint8_t typalt; // the type before the last change of type (0: never changed)
    uint8_t urs;    // cause octet with the test and negative bits
    uint8_t hk;     // originator address (0 without a two-octet cause)
    uint8_t qua;    // quality or qualifier bits of the last element
    uint8_t f1[3];
    int32_t inf;    // value of the last element
    uint32_t uz[9]; // uz1..uz9: telegram counts by cause
    uint8_t zt[12]; // time octets of the last element (elapsed time and time tag)
};
#pragma pack(pop)
static_assert(sizeof(T_Obj) == 76);
static_assert(offsetof(T_Obj, dt) == 8);
static_assert(offsetof(T_Obj, typneu) == 16);
static_assert(offsetof(T_Obj, inf) == 24);
static_assert(offsetof(T_Obj, uz) == 28);
static_assert(offsetof(T_Obj, zt) == 64);

// The table grows and is cleared in steps of this many entries.
constexpr int kImageStep = 212;

struct T_StVar {
    int32_t anz = 0;             // objects in the table
    int32_t anzalt = 0;          // anz at the last refresh of the window
    int32_t aend = 0;            // telegrams entered since the last refresh
    uint32_t tick = 0;           // tick of the last refresh
    int32_t hi = kImageStep - 1; // highest index the table holds without growing
    double start = 0;            // reception time of the first telegram entered (0: none yet)
    double ende = 0;             // reception time of the last telegram entered
    std::vector<T_Obj> ot;       // sorted by (cax, oax) as unsigned numbers
};

// What entering a telegram needs besides the telegram.
struct ImageEnv {
    AsduLayout lay;         // the address layout of the frames
    int32_t abbMax = 20000; // the table holds at most abbMax + 1 objects
};

// The type key in the low byte of oax: a type with time tag shares the row of the type
// without (2, 4, .., 16 -> type - 1; 30..37 -> 1, 3, .., 15).
int TypeKey(int typ);
// Index (0..8, uz1..uz9) of the counter of a cause octet.
int CauseCounter(uint8_t urs);
// True for the types whose inf is a 32-bit unsigned value (bit strings, counters, floats as
// their bits, and the types read as four octets most significant first).
bool InfIsUnsigned(int typ);

// The element of object i (1-based) of te decoded into o: inf, qua and zt (fields the type
// does not carry stay as they are), and oax. Octets beyond the frame read as 0.
void DecodeObject(const T_Telegramm& te, int i, const AsduLayout& lay, T_Obj& o);
// The element octets (value, quality, elapsed time, time tag) that show the object's state:
// the inverse of the decoding, for the interpretation of the value column. Returns their count.
int ElementOctets(const T_Obj& o, uint8_t* out, int size);

class StationImage {
public:
    StationImage() { ClearImage(); }

    // Collects only while the window is open.
    bool open = false;

    // Enters every object of a correct variable frame. Returns the number of objects refused
    // because the table is full.
    int EnterTelegram(const T_Telegramm& te, const ImageEnv& env);
    // Empties the table (capacity kImageStep entries, no start or end time).
    void ClearImage();

    // The state with the whole table in order.
    const T_StVar& St() const {
        Settle();
        return sv_;
    }
    T_StVar& St() {
        Settle();
        return sv_;
    }
    int Count() const { return sv_.anz; }
    // Entry r (0-based) in table order.
    const T_Obj& At(int r) const {
        Settle();
        return sv_.ot[static_cast<size_t>(r)];
    }
    // The entry of an address pair, or null.
    const T_Obj* Find(uint32_t cax, uint32_t oax) const;

private:
    // Merges the template into the table; false when the table is full.
    bool Merge(const T_Obj& t, int32_t abbMax);
    void Update(T_Obj& e, const T_Obj& t);
    // Sorts the objects met since the last time into the table.
    void Settle() const;
    T_Obj* FindFresh(uint64_t key) const;

    // New objects wait in arrival order until the table is read or they are many: moving the
    // table up for each new object would make a rebuild of 100 000 objects take seconds.
    mutable T_StVar sv_;
    mutable std::vector<T_Obj> fresh_;
    mutable std::unordered_map<uint64_t, uint32_t> freshAt_; // key -> index in fresh_
};

} // namespace vdl

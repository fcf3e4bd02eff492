// The command feedback table: up to 1000 entries that say which commands (common address,
// object address, qualifier) an emulated station answers by itself, and how: the activation
// confirmation, after a delay the return information of an object (a point, step position or
// measured value) and the activation termination. A command whose addresses are not in the
// table is confirmed negatively. The table is the command feedback source of the link
// procedures.
#pragma once

#include "link/link_env.h"
#include "link/user_data.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace vdl {

constexpr int kRmEntries = 1000;
constexpr int kRmFrameMax = 32;

#pragma pack(push, 1)

// One entry (60 bytes).
struct T_BefRm {
    int32_t bca;            // common address of the command
    int32_t boa;            // object address of the command
    int32_t roa;            // object address of the return information
    int16_t lg;             // octets of the last matching command kept in b
    uint8_t stat;           // verdict of the confirmation (40 positive)
    uint8_t ek;             // receive number of the channel the command came on
    uint8_t b[kRmFrameMax]; // the command frame as received
    uint16_t la;            // link address of the command frame
    uint8_t rtyp;           // type of the return information
    uint8_t con;            // 1 = confirm
    uint8_t ret;            // 1 = return information
    uint8_t term;           // 1 = terminate
    uint8_t pcon;           // confirmation pending
    uint8_t pret;           // return information pending
    uint8_t pterm;          // termination pending
    int8_t bken;            // qualifier QU or QL to match, -1 any
    uint8_t res58[2];
};

// The table as the parameter set file stores it (60020 bytes).
struct T_RmTab {
    uint32_t lg; // 60020
    uint8_t ein; // 1 = feedback on
    uint8_t res5;
    uint16_t wzeit; // delay of the return information in ms
    int32_t ilo;    // the dialog's control that had the focus
    int32_t zeile;  // the dialog table's cursor row
    int32_t spalte; // and column
    T_BefRm e[kRmEntries];
};

#pragma pack(pop)

static_assert(sizeof(T_BefRm) == 60);
static_assert(offsetof(T_BefRm, roa) == 8);
static_assert(offsetof(T_BefRm, lg) == 12);
static_assert(offsetof(T_BefRm, stat) == 14);
static_assert(offsetof(T_BefRm, ek) == 15);
static_assert(offsetof(T_BefRm, b) == 16);
static_assert(offsetof(T_BefRm, la) == 48);
static_assert(offsetof(T_BefRm, rtyp) == 50);
static_assert(offsetof(T_BefRm, con) == 51);
static_assert(offsetof(T_BefRm, pcon) == 54);
static_assert(offsetof(T_BefRm, bken) == 57);
static_assert(sizeof(T_RmTab) == 60020);
static_assert(offsetof(T_RmTab, wzeit) == 6);
static_assert(offsetof(T_RmTab, ilo) == 8);
static_assert(offsetof(T_RmTab, zeile) == 12);
static_assert(offsetof(T_RmTab, spalte) == 16);
static_assert(offsetof(T_RmTab, e) == 20);
constexpr uint32_t kRmTabLen = sizeof(T_RmTab);

// A new entry: all zero, return type 3, any qualifier.
T_BefRm NewFeedbackEntry();
bool IsNewFeedbackEntry(const T_BefRm& e); // by bca, boa, roa, rtyp and bken (0 counts as new)
// A new table: off, no delay, every entry new.
void NewFeedbackTable(T_RmTab& t);
// The permitted return types: 1..14, 20, 30..36.
bool IsReturnType(int typ);

// The parameter set block, byte for byte.
std::vector<uint8_t> RmBlock(const T_RmTab& t);
bool TakeRmBlock(T_RmTab& t, const std::vector<uint8_t>& block);

// What the feedback reaches besides its table.
struct FeedbackEnv {
    LinkEnv& link;
    const T_AllgVar& av; // dRmStg
};

class CommandFeedback : public UserDataSource {
public:
    CommandFeedback(T_RmTab& tab, FeedbackEnv env) : tab_(&tab), env_(std::move(env)) {}

    SourceKind Kind() const override { return SourceKind::CommandFeedback; }
    // The first entry with a step ready for the station (class 1 data).
    ReadyData Ready(const T_ComVar& c, int station) const override;
    // Builds the next step of that entry: confirmation, return information or termination.
    bool Build(T_ComVar& c, int station) override;

    // A command (types 45..51) reached the emulated station on channel c. With the feedback on
    // it is taken here (true): an activation or deactivation is matched against every entry; a
    // command whose addresses match no entry is marked 29 and kept for a negative confirmation.
    bool MatchCommand(T_ComVar& c, T_Telegramm& te);

    // The entry (1..1000) whose step is ready for the station, 0 none.
    int SelectFeedback(const T_ComVar& c, int station) const;

    T_RmTab& Table() { return *tab_; }
    // The random values of return information for commands of another kind.
    std::mt19937& Random() { return rng_; }

private:
    bool BuildConfirmation(T_ComVar& c, const T_BefRm& e, int cause, bool negative);
    bool BuildReturn(T_ComVar& c, const T_BefRm& e);

    T_RmTab* tab_;
    FeedbackEnv env_;
    std::mt19937 rng_{std::random_device{}()};
};

// The value of the return information for a command of type t whose element begins with the
// octets of v: rtyp decides how (the step position moves rmstep by step).
struct ReturnValue {
    T_Var inf{};
    bool ok = false;
};
ReturnValue ReturnInformationValue(int rtyp, int t, uint32_t v, int8_t& rmstep, int step,
                                   std::mt19937& rng);

} // namespace vdl

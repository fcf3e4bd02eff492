// The parameter set file: general settings, channel parameters, command feedback table, send
// telegrams, send lists, colour tables, the modem record and the per-object common address
// tables of the send lists, in one file of 696320 bytes.
#pragma once

#include "core/allg_var.h"
#include "core/messages.h"
#include "core/records.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vdl {

constexpr size_t kParamSetLen = 696320;
constexpr size_t kParamSetLenNoCa = 512000; // older: without the per-object address tables
constexpr size_t kParamSetLenOld = 79716;   // oldest: short feedback table and short lists

constexpr uint32_t kRmBlockLen = 60020;      // command feedback table
constexpr uint32_t kSeTeBlockLen = 6532;     // the 12 send telegrams
constexpr uint32_t kSeLiBlockLen = 434116;   // the 12 send lists
constexpr uint32_t kCaSeLiBlockLen = 144004; // the per-object common address tables
constexpr uint32_t kSeLiLen = 36176;         // one send list

// The blocks of the parameter set that belong to the send subsystem; each starts with its own
// length. They are kept as bytes here and written back unchanged.
struct T_ParaBlocks {
    std::vector<uint8_t> rm;
    std::vector<uint8_t> sete;
    std::vector<uint8_t> seli;
    std::vector<uint8_t> casl;
};
// Zero blocks carrying their lengths.
T_ParaBlocks DefaultParaBlocks();
// An empty per-object common address block.
std::vector<uint8_t> EmptyCaSeLiBlock();

// What loading and saving work on.
struct ParamSetEnv {
    T_AllgVar& av;
    T_AllgPar& ap;
    T_BetriebsPar& bp1;
    T_BetriebsPar& bp2;
    T_ProgPar& pp;  // its colour tables
    T_Modem& modem; // channel 1's
    T_ParaBlocks& blocks;
    const TextTable& texts;
    Messages& msg;
};

// Loads a parameter set file. Nothing is changed unless the whole file is accepted. A default
// file (the standard name) that cannot be opened keeps the present data and succeeds.
bool LoadParameterSet(ParamSetEnv& env, const std::string& name);
// The same for the bytes of a parameter set file (name for the message).
bool TakeParameterSet(ParamSetEnv& env, const std::vector<uint8_t>& data, const std::string& name);
// The 696320-byte image of the present data.
std::vector<uint8_t> BuildParameterSet(const ParamSetEnv& env);
bool SaveParameterSet(ParamSetEnv& env, const std::string& name);

} // namespace vdl

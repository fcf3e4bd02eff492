// The one record of general program state: tick counter, file names, the frame layout derived
// from the address settings, characters taken from the text table, and program-wide flags.
#pragma once

#include "core/settings_records.h"

#include <array>
#include <cstdint>
#include <string>

namespace vdl {

constexpr int kMaxMru = 8;

struct T_AllgVar {
    // Time base
    uint32_t Tick = 0;      // count of 54 ms timer calls
    uint32_t OpenUhr = 0;   // tick at which the ports are opened after start
    int32_t msjetick = 54;  // measured milliseconds per tick (45..70)
    double syszt = 0;       // last local time read
    int32_t min = -1;       // minute of the last minute check
    int64_t mstag = 0;      // millisecond of day at the last tick measurement

    // Serial ports found on the system
    int32_t AnzCom = 0;
    std::array<int32_t, 256> ComNr{};

    // Files and directories (directories end with a separator)
    std::string ProgDir;
    std::string DataDir;
    std::string dtLog;
    std::string dtStartLog;
    std::string dtSeTeLi; // parameter set file
    std::string dtOaTxt;  // object text file
    std::string dtDruk;   // last export or print file
    int32_t anzmru = 0;
    std::array<std::string, kMaxMru> mru;
    int32_t pnr = 1; // instance number 1 or 2

    // Numbers of the file-name list
    int32_t OfsSekTel = 0; // indent of secondary frames in the interpretation
    int32_t dRmStg = 1;    // step of automatic step-position responses
    int32_t AbbMax = 20000; // maximum number of objects of the station image

    // Frame layout derived from the address settings
    int32_t TypI = 6;  // index of the type identification in a variable frame
    int32_t CaI = 9;   // index of the first octet of the common address
    int32_t OaI = 11;  // index of the first object address
    int32_t InfI = 14; // index of the first information element
    uint32_t oamax = 0xFFFFFF;
    uint16_t globla = 0xFF;   // broadcast link address
    uint16_t globca = 0xFFFF; // broadcast common address
    T_AdrStruktur cabrt{};    // decimal digits per field of the common address
    T_AdrStruktur oabrt{};
    std::string cafmt;        // display format of a structured common address
    std::string oafmt;
    int32_t lgcastr = 0;      // width of a displayed common address
    int32_t lgoastr = 0;

    // Characters taken from the text table
    char khex = '$';        // hexadecimal prefix (text 25)
    std::string bitz = "01"; // the two bit characters (text 27)
    char tz = ';';          // list separator (text 1172)
    std::string HelpFile;

    // Selectable type identifications (catalogue types with the pick flag)
    std::array<uint8_t, 256> TypStr{};
    int32_t maxpicktyp = 0;

    // Interpretation
    uint16_t FltQuaFrb = 0; // quality bits that call for the highlight pair
    const T_TypUrsFarben* pft = nullptr; // colour table by type
    const T_TypUrsFarben* pfu = nullptr; // colour table by cause

    // Display timing statistics (switch "t2")
    double tStart = 0;
    double talt = 0;
    double tsum = 0;
    double tmax = 0;
    int32_t tanz = 0;

    int32_t ParaSeTeLi = 0;
    void* pcasl = nullptr; // per-object addresses of the send list being scanned or sent

    // Flags
    bool setelisav = false; // send telegrams, lists or colours changed and not saved
    bool parasav = false;   // channel or general parameters changed
    bool logerr = false;    // a log write failed
    bool logsave = false;   // the log holds entries not yet written by a flush
    bool anstzeit = false;  // some send telegram or list is time-triggered
    bool first = false;     // this process obtained an instance slot
    bool t2 = false;        // command-line switch "t2"
    bool LogAusg = false;   // the log file is open for reading by the view
    bool online = false;
};

} // namespace vdl

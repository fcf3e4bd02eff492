// The directories of file transfer: the files a channel offers, each with its name of file
// (NOF). They are read from the data directory: its files named by a decimal NOF form the main
// directory; with sub-directories in use, its folders named by a decimal object address form
// up to four sub-directories, each listing its own files named by NOF. A directory holds at
// most five entries, taken in ascending order of NOF.
#pragma once

#include "core/records.h"
#include "link/transfer_files.h"

#include <cstdint>
#include <string>

namespace vdl {

constexpr int kDirEntries = 5;     // entries of a directory
constexpr int kSubDirs = 4;        // sub-directories
constexpr int kDirElementLen = 13; // NOF 2, length of file 3, status of file 1, CP56Time2a 7
constexpr int32_t kMaxTransferFile = 0xFFFFFF; // longer files are not offered

// Status of file bits of a directory element.
enum : uint8_t {
    SOF_LAST = 0x20,   // last file of the directory
    SOF_SUBDIR = 0x40, // the name defines a sub-directory
};

// One entry: the directory element of the standard and the file's name (its path relative to
// the data directory).
struct T_VzEintrag {
    uint8_t e[kDirElementLen];
    T_ShortStr<255> name;
};
static_assert(sizeof(T_VzEintrag) == 269);

struct T_Verzeichnis {
    uint8_t typ = 126;
    uint8_t anz = 0; // entries in use
    uint8_t urs = 3;
    uint16_t ca = 0;
    int32_t oa = 0; // object address of the first entry (sub-directories: the folder's number)
    T_VzEintrag ent[kDirEntries]{};
};

struct T_Verzeichnisse {
    T_Verzeichnis hv;           // the main directory
    int anzuv = 0;              // sub-directories in use
    T_Verzeichnis uv[kSubDirs]; // the sub-directories
};

// The NOF of an entry.
uint16_t EntryNof(const T_VzEintrag& e);

// Reads the directories from dataDir (ending with a separator); sub-directories only when
// subDirs is set. modified times of the files become the entries' time tags.
void ScanDirectories(T_Verzeichnisse& v, TransferFiles& files, const std::string& dataDir,
                     bool subDirs);

// The directory k (0 the main directory, 1..4 a sub-directory in use; anything else the main).
const T_Verzeichnis& DirectoryAt(const T_Verzeichnisse& v, int k);
T_Verzeichnis& DirectoryAt(T_Verzeichnisse& v, int k);

// The directory an object address names: with sub-directories in use the one whose range of
// object addresses (one per entry, at least one) contains oa, else the main directory.
int DirectoryFor(const T_Verzeichnisse& v, bool subDirs, uint32_t oa);

// The index of the entry of nof in directory d, or -1.
int FindEntry(const T_Verzeichnis& d, uint16_t nof);

// Removes entry i; the following ones move up.
void RemoveEntry(T_Verzeichnis& d, int i);

// Writes the directory's elements at out (room for kDirEntries elements), the last one marked
// as the last file of the directory; returns the number of octets.
int WriteDirectoryElements(const T_Verzeichnis& d, uint8_t* out);

// A decimal name of file 1..65535; 0 for any other name.
uint16_t NofOfName(const std::string& name);

} // namespace vdl

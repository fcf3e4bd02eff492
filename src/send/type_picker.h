// The picker's lists without a widget: types, causes, object addresses and common addresses
// with their names, or all object texts to browse; which entry is chosen at first, the caption,
// the window's place and size, and what OK writes back.
#pragma once

#include "asdu/object_texts.h"
#include "core/allg_var.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vdl {

#pragma pack(push, 1)
// An object of a send list (12 bytes), the record the picker works on.
struct T_SeLiObj {
    int32_t oa;  // information object address
    T_Var inf;   // value
    uint8_t akt; // 1 = active
    uint8_t typ; // type identification
    uint8_t urs; // cause of transmission
    uint8_t qua; // qualifier byte
};
#pragma pack(pop)
static_assert(sizeof(T_SeLiObj) == 12);
static_assert(offsetof(T_SeLiObj, inf) == 4);
static_assert(offsetof(T_SeLiObj, akt) == 8);
static_assert(offsetof(T_SeLiObj, typ) == 9);
static_assert(offsetof(T_SeLiObj, urs) == 10);
static_assert(offsetof(T_SeLiObj, qua) == 11);

enum PickMode : int {
    PICK_TYPE = 1,   // type identifications: typ
    PICK_CAUSE = 2,  // causes permitted for typ: urs
    PICK_OBJECT = 3, // object addresses with their names: oa
    PICK_CA = 4,     // common addresses with their names: the common address
    PICK_BROWSE = 5, // all object texts, nothing is written
};

// Program texts of the picker.
constexpr int kTxPickCaptions = 1165; // + mode
constexpr int kTxPickObjects = 1168;  // after the count of objects
constexpr int kTxPickCas = 1169;      // after the count of common addresses
constexpr int kTxPickByStation = 520;
constexpr int kTxPickOfCa = 522;

struct PickEntry {
    std::string text;
    uint32_t value = 0; // the type, cause, object or common address the entry stands for
};

struct PickList {
    std::vector<PickEntry> entries;
    int selected = -1; // the entry chosen at first, -1 none
    int top = 0;       // the first entry shown (the chosen one 8 lines below, when possible)
    std::string caption;
    int widthChars = 0; // the window is sized for this many characters (0: by its entries)
};

struct PickEnv {
    const TextTable& texts;
    const T_AllgVar& av;
    const T_AllgPar& ap;
    const ObjectTexts& objects;
};

// The list of a mode for an object and a common address; n (mode 1 only): 0 the types of
// return information, above 0 the first n entries of the type list.
PickList BuildPickList(int mode, const T_SeLiObj& obj, uint32_t ca, int n, const PickEnv& env);

// OK on entry i: the chosen value goes into the object (mode 4: the common address into its
// first four bytes, and into ca). False, with nothing changed, without a chosen entry or in
// mode 5.
bool TakePick(int mode, const PickList& list, int i, T_SeLiObj& obj, uint32_t& ca);

// The window: 352 pixels wide at (max(0, left), top), as high as the main window less 50;
// widened (and moved left by as much, not beyond the screen's left edge) when narrower than 8
// pixels per character of the longest entry plus 40.
struct PickGeometry {
    int x, y, w, h;
};
PickGeometry PickerGeometry(int left, int top, int mainHeight, int chars);

} // namespace vdl

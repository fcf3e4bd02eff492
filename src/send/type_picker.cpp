#include "send/type_picker.h"

#include "asdu/address_text.h"
#include "core/utf8.h"
#include "send/sete.h"
#include "send/sete_form.h"

#include <algorithm>

namespace vdl {

namespace {

constexpr int kPickerWidth = 352;
constexpr int kPixelsPerChar = 8;
constexpr int kBrowseChars = 48;
constexpr int kLinesAbove = 8;

// The types of return information: 1..14, 20 and 30..36.
bool ReturnType(int typ) {
    return (typ >= 1 && typ <= 14) || typ == 20 || (typ >= 30 && typ <= 36);
}

std::string Count(int n, size_t width) {
    return PadLeft(std::to_string(n), width);
}

// An object line: the group part when the table is grouped and all groups are listed, two
// blanks, the object address in its column, the name.
std::string ObjectLine(const T_Element& e, bool withGroup, const PickEnv& env) {
    std::string s;
    if (withGroup)
        s = env.objects.CaColumnMode() ? FormatCa(e.ca, env.av, env.ap) : std::to_string(e.ca);
    return s + "  " +
           PadRight(FormatOa(e.id, env.av, env.ap), static_cast<size_t>(env.av.lgoastr)) + " " +
           e.s0;
}

void Choose(PickList& l, int i) {
    l.selected = i;
    l.top = std::max(0, i - kLinesAbove);
}

} // namespace

PickList BuildPickList(int mode, const T_SeLiObj& obj, uint32_t ca, int n, const PickEnv& env) {
    PickList l;
    const TextTable& tx = env.texts;
    l.caption = tx.tx(kTxPickCaptions + mode);
    switch (mode) {
    case PICK_TYPE: {
        const int count = n > 0 ? std::min(n, env.av.maxpicktyp) : env.av.maxpicktyp;
        for (int p = 0; p < count; ++p) {
            const int typ = TypeOfPick(p, env.av);
            if (typ < 0 || (n == 0 && !ReturnType(typ))) continue;
            l.entries.push_back({TypeListEntry(typ, tx), static_cast<uint32_t>(typ)});
            if (typ == obj.typ) Choose(l, static_cast<int>(l.entries.size()) - 1);
        }
        break;
    }
    case PICK_CAUSE:
        for (int cause : CausesOfPick(PickIndexOf(obj.typ), tx)) {
            l.entries.push_back({CauseListEntry(cause, tx), static_cast<uint32_t>(cause)});
            if (cause == obj.urs) Choose(l, static_cast<int>(l.entries.size()) - 1);
        }
        break;
    case PICK_CA: {
        for (int i = 0; i < env.objects.CaNameCount(); ++i) {
            const T_Element* e = env.objects.CaNameAt(i);
            if (!e || e->s0.empty()) continue;
            const std::string a = FormatCa(e->id, env.av, env.ap);
            l.entries.push_back(
                {PadRight(a, static_cast<size_t>(env.av.lgcastr)) + " " + e->s0, e->id});
            if (e->id == ca) Choose(l, static_cast<int>(l.entries.size()) - 1);
        }
        l.caption = std::to_string(l.entries.size()) + tx.tx(kTxPickCas);
        break;
    }
    case PICK_OBJECT: {
        const bool caCol = env.objects.CaColumnMode();
        const bool grouped = caCol || env.objects.RweMode();
        const bool all = !grouped || ca == env.av.globca;
        const uint32_t key = caCol ? ca : (ca & 0x0F);
        std::string description;
        if (!all)
            description =
                caCol ? tx.tx(kTxPickOfCa) + FormatCa(ca, env.av, env.ap) : tx.tx(kTxPickByStation);
        const int want = env.objects.FindObject(static_cast<uint32_t>(obj.oa), ca);
        for (int i = 0; i < env.objects.ObjectCount(); ++i) {
            const T_Element* e = env.objects.ObjectAt(i);
            if (!e || (!all && e->ca != key)) continue;
            l.entries.push_back({ObjectLine(*e, grouped && all, env), e->id});
            if (i == want) Choose(l, static_cast<int>(l.entries.size()) - 1);
        }
        l.caption = std::to_string(l.entries.size()) + tx.tx(kTxPickObjects) + description;
        break;
    }
    case PICK_BROWSE:
        for (int i = 0; i < env.objects.ObjectCount(); ++i)
            if (const T_Element* e = env.objects.ObjectAt(i))
                l.entries.push_back(
                    {ObjectLine(*e, env.objects.CaColumnMode() || env.objects.RweMode(), env),
                     e->id});
        l.caption = Count(static_cast<int>(l.entries.size()), 7) + "  " + tx.tx(kTxPickObjects);
        l.widthChars = kBrowseChars;
        break;
    default:
        break;
    }
    return l;
}

bool TakePick(int mode, const PickList& list, int i, T_SeLiObj& obj, uint32_t& ca) {
    if (i < 0 || i >= static_cast<int>(list.entries.size())) return false;
    const uint32_t v = list.entries[static_cast<size_t>(i)].value;
    switch (mode) {
    case PICK_TYPE:
        obj.typ = static_cast<uint8_t>(v);
        return true;
    case PICK_CAUSE:
        obj.urs = static_cast<uint8_t>(v);
        return true;
    case PICK_OBJECT:
        obj.oa = static_cast<int32_t>(v);
        return true;
    case PICK_CA:
        ca = v;
        obj.oa = static_cast<int32_t>(v); // the record's first four bytes carry it back
        return true;
    default:
        return false;
    }
}

PickGeometry PickerGeometry(int left, int top, int mainHeight, int chars) {
    PickGeometry g{std::max(0, left), top, kPickerWidth, std::max(0, mainHeight - 50)};
    const int needed = kPixelsPerChar * chars + 40;
    if (g.w < needed) {
        g.x = std::max(0, g.x - (needed - g.w));
        g.w = needed;
    }
    return g;
}

} // namespace vdl

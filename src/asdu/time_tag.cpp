#include "asdu/time_tag.h"

#include "asdu/asdu_header.h"
#include "asdu/asdu_layout.h"
#include "asdu/catalogue.h"
#include "core/clock.h"
#include "core/records.h"

#include <cmath>

namespace vdl {

void WriteTimeTag(uint8_t* p, bool cp56, double dt, bool weekday) {
    const DateTimeParts d = DecodeDateTime(dt);
    const int ms = d.second * 1000 + d.ms;
    p[0] = static_cast<uint8_t>(ms & 0xFF);
    p[1] = static_cast<uint8_t>(ms >> 8);
    p[2] = static_cast<uint8_t>(d.minute & 0x3F);
    if (!cp56) return;
    p[3] = static_cast<uint8_t>(d.hour & 0x1F);
    // Day 0 of the day numbers was a Saturday; the standard counts Monday as 1.
    const int dow = static_cast<int>((static_cast<long long>(std::floor(dt)) + 5) % 7) + 1;
    p[4] = static_cast<uint8_t>((d.day & 0x1F) | (weekday ? dow << 5 : 0));
    p[5] = static_cast<uint8_t>(d.month & 0x0F);
    p[6] = static_cast<uint8_t>(d.year % 100);
}

int FillEmptyTimeTags(T_Telegramm& te, const AsduLayout& lay, double dt) {
    if (lay.TypI + 1 >= te.lg) return 0;
    te.typ = te.b[lay.TypI];
    te.struk = te.b[lay.TypI + 1];
    if (!HasTimeTag(te.typ)) return 0;
    const bool cp56 = HasCP56(te.typ);
    const int len = cp56 ? kCP56Len : kCP24Len;
    int filled = 0;
    for (int n = 1; n <= (te.struk & 0x7F); ++n) {
        const int at = ObjectOffset(n, te, lay) + ElementLength(te.typ) - len;
        if (at < lay.TypI || at + len > te.validLen()) break;
        bool empty = true;
        for (int k = 0; k < len; ++k) empty = empty && te.b[at + k] == 0;
        if (!empty) continue;
        WriteTimeTag(te.b + at, cp56, dt);
        ++filled;
    }
    return filled;
}

} // namespace vdl

#include "image/image_grid.h"

#include "asdu/address_text.h"
#include "asdu/element_text.h"
#include "asdu/interp_words.h"
#include "core/clock.h"
#include "core/format.h"

#include <algorithm>
#include <cmath>

namespace vdl {

namespace {

// A stamp of a damaged log that is no date shows empty.
std::string Time(const LocaleFormats& loc, double dt) {
    if (!StampUsable(dt)) return {};
    DateTimeParts p = DecodeDateTime(dt);
    return loc.LongTime(p.hour, p.minute, p.second) + "," + Format("%0.3d", {p.ms});
}

std::string DateTime(const LocaleFormats& loc, double dt) {
    if (!StampUsable(dt)) return {};
    DateTimeParts p = DecodeDateTime(dt);
    return loc.ShortDate(p.year, p.month, p.day) + " " + loc.LongTime(p.hour, p.minute, p.second);
}

std::string TypeText(const T_Obj& o, const ImageTextEnv& e) {
    const int typ = o.typneu;
    const std::string& user = e.t.TypeName(typ);
    std::string name;
    if (!user.empty() && (e.pp.format != 3 || typ > 128))
        name = Trim(user);
    else
        name = ShortForm(e.t.tx(std::min(70 + typ, 198)));
    if (name.empty()) name = Trim(e.t.tx(70));
    return name + "=" + std::to_string(typ);
}

std::string CauseText(const T_Obj& o, const ImageTextEnv& e) {
    std::string s;
    if (o.urs & 0x80) s += e.t.tx(199);
    if (o.urs & 0x40) s += e.t.tx(201);
    const int cause = o.urs & 0x3F;
    s += ShortForm(e.t.tx(202 + cause)) + "=" + std::to_string(cause);
    if (e.ap.mitori) s += e.t.tx(267) + std::to_string(o.hk);
    return s;
}

} // namespace

int ImageColumnCount(const TextTable& t) {
    const std::string& s = t.tx(kTxImageColumns);
    int n = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9' || n > kImageColumns) return kImageColumns;
        n = n * 10 + (ch - '0');
    }
    return (s.empty() || n < 1 || n > kImageColumns) ? kImageColumns : n;
}

std::string ImageValueText(const T_Obj& o, const ImageTextEnv& e) {
    T_Telegramm te{};
    te.typ = o.typneu;
    te.ta = TA_VARIABLE;
    te.lg = static_cast<int16_t>(ElementOctets(o, te.b, kTeByteLen));
    ElementTextEnv env{e.t, e.loc, e.pp.format == 3, e.av.khex, e.av.bitz, e.ap.mwvoll};
    int pos = 0;
    std::string s = ElementText(te, pos, env);
    // A type the interpretation has no words for shows the four octets it was read from.
    if (pos == 0 && s.empty() && o.typneu != 102)
        s = std::string(1, e.av.khex) + HexN(static_cast<uint32_t>(o.inf), 8);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string ImageCell(const StationImage& im, int r, int c, const ImageTextEnv& e) {
    if (c < 0 || c >= kImageColumns) return {};
    if (r == 0) return e.t.tx(kTxImageHeadings + c);
    if (r < 1 || r > im.Count()) return {};
    const T_Obj& o = im.At(r - 1);
    switch (c) {
    case 0:
        return Format("%0.4d", {r});
    case 1:
        return Time(e.loc, o.dt);
    case 2:
        return FormatCa(o.cax >> 8, e.av, e.ap);
    case 3:
        return FormatOa(o.oax >> 8, e.av, e.ap);
    case 4:
        return TypeText(o, e);
    case 5:
        return ImageValueText(o, e);
    case 6:
        return CauseText(o, e);
    default:
        return std::to_string(o.uz[c - 7]);
    }
}

std::string ImageCaption(const T_StVar& sv, const ImageTextEnv& e) {
    std::string from, to, span;
    if (sv.anz > 0 && StampUsable(sv.start) && StampUsable(sv.ende)) {
        from = DateTime(e.loc, sv.start);
        to = DateTime(e.loc, sv.ende);
        double d = std::max(0.0, sv.ende - sv.start);
        // Whole days first; the rest as a time of day (rounded to the millisecond, so that a
        // span of exactly one day does not show as 23:59:59).
        auto ms = static_cast<int64_t>(std::llround(d * kMsPerDay));
        int64_t days = ms / static_cast<int64_t>(kMsPerDay);
        DateTimeParts p =
            DecodeDateTime(static_cast<double>(ms % static_cast<int64_t>(kMsPerDay)) / kMsPerDay);
        if (days > 0) span = std::to_string(days) + "d ";
        span += e.loc.LongTime(p.hour, p.minute, p.second);
    }
    if (sv.anz <= 0) return e.t.tx(kTxImageCaptionNone);
    return Format(e.t.tx(sv.anz == 1 ? kTxImageCaptionOne : kTxImageCaption),
                  {sv.anz, from, to, span});
}

std::string ImageCopyText(const StationImage& im, const ImageTextEnv& e,
                          const std::string& caption) {
    const int cols = ImageColumnCount(e.t);
    std::string s;
    for (int r = 0; r <= im.Count(); ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0) s += '\t';
            s += ImageCell(im, r, c, e);
        }
        s += "\r\n";
    }
    return s + caption + "\r\n";
}

uint8_t StoredImageWidth(int px) {
    return static_cast<uint8_t>(std::clamp(px, 0, 511) / 2);
}

int ImageGridWidth(const ImageWidths& w, int columns, int gridLine) {
    int sum = 20;
    for (int c = 0; c < std::min(columns, kImageColumns); ++c)
        sum += w[static_cast<size_t>(c)] + gridLine;
    return sum;
}

void ImageColumnFit::Start() {
    w_ = kImageDefaultWidths;
    drawn_ = false;
}

void ImageColumnFit::Drawn(int column, int textWidth, int margin) {
    if (column < 0 || column >= kImageColumns) return;
    drawn_ = true;
    int& w = w_[static_cast<size_t>(column)];
    w = std::max(w, textWidth + margin);
}

bool ImageColumnFit::Take(ImageWidths& out) {
    if (!drawn_ || w_ == taken_) return false;
    taken_ = w_;
    out = w_;
    return true;
}

} // namespace vdl

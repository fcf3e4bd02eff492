#include "app/image_commands.h"

#include "app/program.h"
#include "core/format.h"
#include "image/image_grid.h"
#include "log/filter.h"

namespace vdl {

namespace {

// True when telegram number a comes after b in the 31-bit numbering.
bool After(int32_t a, int32_t b) {
    int32_t d = (a - b) & kNrMask;
    return d != 0 && d < 0x40000000;
}

void Status(Program& p) {
    if (p.view) p.view->UpdateStatus();
}

} // namespace

// ---- rebuild ----

ImageRebuild::ImageRebuild(LogStore& log) : log_(log), c_(log.NewCursor()), name_(log.Name()) {
    last_ = log.Kopf().nrneu;
    ok_ = log.IsOpen() && !log.Empty() && c_->SeekOldest();
}

bool ImageRebuild::Step(StationImage& im, const ImageEnv& env, int n) {
    // A log closed, replaced or emptied meanwhile ends the rebuild.
    if (ok_ && (!log_.IsOpen() || log_.Name() != name_ || After(last_, log_.Kopf().nrneu)))
        ok_ = false;
    for (int k = 0; ok_ && k < n; ++k) {
        T_Telegramm te = c_->Current();
        if (After(te.nr, last_)) {
            ok_ = false;
            break;
        }
        if (te.ta == TA_VARIABLE) refused += im.EnterTelegram(te, env);
        ok_ = te.nr != last_ && c_->Forward();
    }
    return ok_;
}

// ---- the program's side ----

ImageEnv Program::ImageEnvOf() const {
    return ImageEnv{LayoutOf(ap), av.AbbMax};
}

void Program::EnterImage(const T_Telegramm& te) {
    if (!image.open) return;
    // Telegrams still waiting in the rebuild are older: they go in first.
    if (imageRebuild) RebuildImage(*this);
    imageRefused += image.EnterTelegram(te, ImageEnvOf());
}

void Program::LogImageRefusals() {
    int n = imageRefused;
    imageRefused = 0;
    for (int i = 0; i < n; ++i) {
        T_Telegramm te{};
        te.stat = ST_MESSAGE_IO;
        te.ta = TA_INTERNAL;
        te.setS0(Format(texts.tx(kTxImageFull), {av.AbbMax}));
        LogTelegram(te);
    }
}

void OpenImage(Program& p) {
    p.pp.abbild = 1;
    p.image.open = true;
    if (p.image.Count() == 0 && !p.imageRebuild) RestartImage(p);
    Status(p);
}

void CloseImage(Program& p) {
    p.imageRebuild.reset();
    p.image.ClearImage();
    p.image.open = false;
    p.pp.abbild = 0;
    Status(p);
}

void ClearImage(Program& p) {
    p.imageRebuild.reset();
    p.image.ClearImage();
}

void RestartImage(Program& p) {
    ClearImage(p);
    if (p.image.open && !p.av.online && p.log && p.log->IsOpen())
        p.imageRebuild = std::make_unique<ImageRebuild>(*p.log);
}

bool RebuildImageStep(Program& p, int n) {
    if (!p.imageRebuild) return false;
    if (p.imageRebuild->Step(p.image, p.ImageEnvOf(), n)) return true;
    // The rebuild read the log: a full table is told once, not logged into the log it read.
    int refused = p.imageRebuild->refused;
    p.imageRebuild.reset();
    if (refused > 0) p.msg.Error(Format(p.texts.tx(kTxImageFull), {p.av.AbbMax}));
    return false;
}

// ---- row header ----

int ImageRowHeaderClick(Program& p, int r, ImageClick& last) {
    if (r < 1 || r > p.image.Count()) return -1;
    const T_Obj& o = p.image.At(r - 1);
    const bool clear = last.set && last.cax == o.cax && last.oax == o.oax;
    T_Filter f{};
    f.nameidx = 255;
    NormaliseFilter(f, p.ap);
    if (!clear) {
        const std::vector<int32_t> fields = FilterFields(p.ap);
        for (size_t k = 0; k < fields.size() && k < static_cast<size_t>(kFilterRows); ++k) {
            T_FilterZeile& z = f.z[k];
            const int32_t fd = fields[k];
            if (fd >= FF_CA1 && fd < FF_CA1 + 5) {
                z.rel = 1;
                z.w1 = static_cast<int32_t>(AddressPart(o.cax >> 8, p.ap.castr, fd - FF_CA1));
            } else if (fd >= FF_OA1 && fd < FF_OA1 + 5) {
                z.rel = 1;
                z.w1 = static_cast<int32_t>(AddressPart(o.oax >> 8, p.ap.oastr, fd - FF_OA1));
            } else if (fd == FF_TYP) {
                z.rel = 1;
                z.w1 = o.typneu;
                if (o.typalt != 0 && o.typalt != o.typneu) {
                    z.vgl = 1;
                    z.w2 = o.typalt;
                }
            }
        }
        NormaliseFilter(f, p.ap);
    }
    f.aktiv = f.def ? 1 : 0;
    p.ap.afilt = f;
    last = clear ? ImageClick{} : ImageClick{true, o.cax, o.oax};
    const int code = clear ? 0 : 36;
    Status(p);
    if (p.view) p.view->PostViewCommand(code);
    return code;
}

} // namespace vdl

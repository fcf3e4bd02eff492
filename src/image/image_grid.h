// The station image as its window shows it, without widgets: the cells of the grid (row 0 the
// headings, column 0 the row number), the caption with the span of the image, the text that
// Copy puts on the clipboard, and the column widths (defaults, growth to the drawn texts, the
// form stored in the settings).
#pragma once

#include "core/allg_var.h"
#include "core/locale_formats.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "image/station_image.h"

#include <array>
#include <cstdint>
#include <string>

namespace vdl {

// Program texts of the station image window.
constexpr int kTxImageAuto = 2030;       // chkAuto caption
constexpr int kTxImageCaption = 2031;    // objects, start, end, span
constexpr int kTxImageCaptionOne = 2233; // the same for one object
constexpr int kTxImageCaptionNone = 2234;
constexpr int kTxImageButtons = 2032; // Copy, Clear, Exit, Help: caption and hint each
constexpr int kTxImageAutoHint = 2040;
constexpr int kTxImageGridHint = 2041;
constexpr int kTxImageColumns = 2048;  // number of columns
constexpr int kTxImageHeadings = 2049; // + column
constexpr int kTxImageFull = 2074;     // the table is full (AbbMax)

constexpr int kImageColumns = 16;

struct ImageTextEnv {
    const TextTable& t;
    const T_AllgVar& av;
    const T_AllgPar& ap;
    const T_ProgPar& pp;
    const LocaleFormats& loc;
};

// Columns shown: the number of text 2048 (16 when it is not one), at most 16.
int ImageColumnCount(const TextTable& t);
// Grid rows: the heading and one per object, at least 2.
inline int ImageRowCount(const StationImage& im) {
    return im.Count() + 1 < 2 ? 2 : im.Count() + 1;
}
// The cell of row r (0: headings; r: entry r in table order) and column c. Cells outside the
// table are empty.
std::string ImageCell(const StationImage& im, int r, int c, const ImageTextEnv& e);
// Columns 1..5 are left-aligned, the others centred.
inline bool ImageCellLeft(int c) {
    return c >= 1 && c <= 5;
}
// The value, quality and time tag of an object as the interpretation shows its type.
std::string ImageValueText(const T_Obj& o, const ImageTextEnv& e);
// The window's part of the caption: text 2031 with the number of objects, the time of the
// first and the last telegram and the span between them (with "Nd " from a day on).
std::string ImageCaption(const T_StVar& sv, const ImageTextEnv& e);
// What Copy puts on the clipboard: every row with its heading row, cells separated by TAB,
// rows ended by CR LF, then the caption and CR LF.
std::string ImageCopyText(const StationImage& im, const ImageTextEnv& e,
                          const std::string& caption);

// ---- column widths ----

using ImageWidths = std::array<int, kImageColumns>;
// The widths each refresh starts from, in pixels.
constexpr ImageWidths kImageDefaultWidths = {40, 60, 60, 84, 70, 50, 50, 30,
                                             30, 30, 30, 30, 30, 30, 30, 36};

// A width as the settings keep it (one byte, width / 2, 255 from 512 on) and back.
uint8_t StoredImageWidth(int px);
inline int ImageWidthFromStore(uint8_t b) {
    return b * 2;
}
// The window width the columns need: their widths, one grid line each and 20.
int ImageGridWidth(const ImageWidths& w, int columns, int gridLine);

// Automatic widths: each refresh starts from the defaults, a drawn cell widens its column to
// its text and a margin, and the widths are handed out once on the next tick.
class ImageColumnFit {
public:
    void Start();
    void Drawn(int column, int textWidth, int margin);
    // The new widths when they changed since they were last taken.
    bool Take(ImageWidths& out);
    const ImageWidths& Widths() const { return w_; }

private:
    ImageWidths w_ = kImageDefaultWidths;
    ImageWidths taken_{};
    bool drawn_ = false; // a cell was drawn since the refresh
};

} // namespace vdl

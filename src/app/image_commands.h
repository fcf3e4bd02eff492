// The station image on a running program: opening and closing it (which switches the
// collection on and off), its rebuild from the log while the program is offline, in slices so
// that the window stays responsive, and the row header click that restricts the display to one
// object.
#pragma once

#include "image/station_image.h"
#include "log/log_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vdl {

class LogStore;
class Program;

// Enters the stored frames of a log into an image, from the oldest block to the telegram that
// was the newest when it began. Telegrams logged later reach the image as they are logged.
class ImageRebuild {
public:
    explicit ImageRebuild(LogStore& log);
    // Enters up to n telegrams; false when the rebuild is done (or its log was replaced).
    bool Step(StationImage& im, const ImageEnv& env, int n);
    bool Done() const { return !ok_; }
    // Objects refused by a full table.
    int refused = 0;

private:
    LogStore& log_;
    std::unique_ptr<LogCursor> c_;
    std::string name_;
    int32_t last_ = 0;
    bool ok_ = false;
};

// aStObj opening the window: the image collects, and an empty image is rebuilt from the open
// log while the program is offline (the rebuild runs with RebuildImageStep).
void OpenImage(Program& p);
// Closing the window: the image is emptied and collects no more.
void CloseImage(Program& p);
// The Clear button: an empty image, no rebuild.
void ClearImage(Program& p);
// The log changed (another log opened, the log emptied): the image starts again, rebuilt from
// the new log when it is open and the program offline.
void RestartImage(Program& p);
// Runs the pending rebuild for up to n telegrams; false when no rebuild remains. A full table
// is reported once at the end of the rebuild.
bool RebuildImageStep(Program& p, int n);
inline void RebuildImage(Program& p) {
    while (RebuildImageStep(p, 1 << 16)) {
    }
}

// The object whose row header was clicked last (the second click on it clears the filter).
struct ImageClick {
    bool set = false;
    uint32_t cax = 0, oax = 0;
};
// A click on the header of image row r (1-based): the display filter is set to that object
// (its common and object address parts, its type and its former type), or cleared when the
// same object was clicked before. Returns the view command posted: 36 filtered, 0 cleared, -1
// for a row without object.
int ImageRowHeaderClick(Program& p, int r, ImageClick& last);

} // namespace vdl

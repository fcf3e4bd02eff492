#include "core/records.h"

namespace vdl {

bool ReadBetriebsPar(T_BetriebsPar& bp, const uint8_t* data, size_t size) {
    if (size < 4) return false;
    int32_t lg;
    std::memcpy(&lg, data, 4);
    if (lg == kBetriebsParLen && size >= static_cast<size_t>(kBetriebsParLen)) {
        std::memcpy(&bp, data, sizeof bp);
        return true;
    }
    if (lg == kBetriebsParOldLen && size >= static_cast<size_t>(kBetriebsParOldLen)) {
        // The older form: only its own bytes are taken; the rest keeps its values.
        std::memcpy(&bp, data, kBetriebsParOldLen);
        bp.lg = kBetriebsParLen;
        return true;
    }
    return false;
}

} // namespace vdl

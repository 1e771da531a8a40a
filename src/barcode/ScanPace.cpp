#include "barcode/ScanPace.h"

bool ScanPace::TakeFrame(std::int64_t ms) {
    if (m_reading || (m_anyFrame && ms - m_lastFrame < kFrameGapMs)) {
        return false;
    }
    m_reading = true;
    m_anyFrame = true;
    m_lastFrame = ms;
    return true;
}

bool ScanPace::TakeCode(const std::string& code, std::int64_t ms) {
    const auto seen = m_lastSeen.find(code);
    const bool taken = seen == m_lastSeen.end() || ms - seen->second >= kRepeatMs;
    // Still in sight: the wait starts again, so a book left before the camera is taken once.
    m_lastSeen[code] = ms;
    return taken;
}

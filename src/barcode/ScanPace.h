#pragma once

#include <cstdint>
#include <map>
#include <string>

// The pace of a camera's reading: at most one frame every 100 ms is read (10 a second), none
// while the one before is still being read, and a code read is taken once, not again until it
// has been out of sight for 3 seconds (a book held before the camera is one scan). Times are in
// milliseconds of any steady clock.
class ScanPace {
public:
    static constexpr std::int64_t kFrameGapMs = 100;
    static constexpr std::int64_t kRepeatMs = 3000;

    // A frame came at `ms`: whether to read it. A frame taken counts as being read until Read.
    bool TakeFrame(std::int64_t ms);
    // The frame taken has been read.
    void Read() { m_reading = false; }
    // A code read in a frame at `ms`: whether it is taken now.
    bool TakeCode(const std::string& code, std::int64_t ms);

private:
    bool m_reading = false;
    bool m_anyFrame = false;
    std::int64_t m_lastFrame = 0;
    std::map<std::string, std::int64_t> m_lastSeen; // each code's last sight
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Tells a barcode scanner from a person at the keyboard. A scanner types an ISBN's 10 or 13
// characters (digits, an ISBN-10 perhaps ending in X) a few milliseconds apart and then Enter; no
// person types that fast. Digits are held back as they come; when Enter follows a burst, the burst
// is a scan and neither its keys nor its Enter reach anything; when a pause or another key shows
// a person, the held keys are let through in their order, before that key.
class ScannerBurst {
public:
    // Keys further apart than this are a person's.
    static constexpr std::int64_t kGapMs = 35;
    static constexpr std::size_t kShortest = 10;
    static constexpr std::size_t kLongest = 18; // an EAN-13 with a 5-digit add-on

    enum class Action {
        Hold, // keep the key back
        Pass, // let it through (after the keys to release)
        Scan, // the key is a scan's Enter: the scan is in TakeScan(), nothing goes through
    };
    struct Verdict {
        std::size_t release = 0; // keys held back to let through first, oldest first
        Action action = Action::Pass;
    };

    // A key pressed at `ms`: '0'..'9', 'X' (or 'x'), '\n' for Enter, or 0 for any other key.
    Verdict Key(char key, std::int64_t ms);
    // The clock has reached `ms` with no key: the number of held keys to let through now.
    std::size_t Pause(std::int64_t ms);

    std::size_t Held() const { return m_held.size(); }
    // The characters of the scan just recognised.
    std::string TakeScan();

private:
    std::size_t ReleaseAll();

    std::string m_held;
    std::string m_scan;
    std::int64_t m_last = 0;
};

#include "isbn/ScannerBurst.h"

#include <utility>

std::size_t ScannerBurst::ReleaseAll() {
    const std::size_t n = m_held.size();
    m_held.clear();
    return n;
}

std::size_t ScannerBurst::Pause(std::int64_t ms) {
    return !m_held.empty() && ms - m_last > kGapMs ? ReleaseAll() : 0;
}

ScannerBurst::Verdict ScannerBurst::Key(char key, std::int64_t ms) {
    Verdict verdict;
    verdict.release = Pause(ms);
    const bool digit = key >= '0' && key <= '9';
    const bool x = key == 'X' || key == 'x';
    if (key == '\n') {
        if (m_held.size() >= kShortest) {
            m_scan = std::exchange(m_held, {});
            verdict.action = Action::Scan;
            return verdict;
        }
        verdict.release += ReleaseAll();
        return verdict;
    }
    // A scan starts with a digit; an X may only close an ISBN-10.
    const bool fits = (digit && m_held.size() < kLongest) || (x && m_held.size() == 9);
    if (!fits) {
        verdict.release += ReleaseAll();
        if (!digit) {
            return verdict;
        }
    }
    m_held += x ? 'X' : key;
    m_last = ms;
    verdict.action = Action::Hold;
    return verdict;
}

std::string ScannerBurst::TakeScan() {
    return std::exchange(m_scan, {});
}

#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Key presses as the X server sends them. Qt drops the keys that reach a window a modal dialog
// blocks; a scanner typing while such a dialog is coming up types into that window, so its keys
// are read here, before Qt drops them. Null off X (tests, other platforms).
class XcbKeys {
public:
    struct Press {
        std::uint32_t window; // the X window the key was typed into
        char key;             // as ScannerBurst takes it: a digit, 'X', '\n' for Enter, else 0
        std::uint32_t time;   // when, by the X server's clock (milliseconds)
    };

    static std::unique_ptr<XcbKeys> OfThisDisplay();

    // The key press a native event is, or nothing for any other event.
    std::optional<Press> Read(const QByteArray& eventType, const void* message) const;

private:
    std::uint8_t m_firstKeycode = 0;
    int m_perKeycode = 0;
    std::vector<std::uint32_t> m_keysyms; // the keyboard mapping, m_perKeycode per keycode
};

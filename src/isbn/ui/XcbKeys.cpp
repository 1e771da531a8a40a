#include "isbn/ui/XcbKeys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {
constexpr std::uint32_t kReturn = 0xff0d;
constexpr std::uint32_t kKeypadEnter = 0xff8d;
constexpr std::uint32_t kKeypadZero = 0xffb0;
constexpr std::uint16_t kOtherModifiers =
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4; // Ctrl, Alt, Super
constexpr std::uint16_t kNumLock = XCB_MOD_MASK_2;
} // namespace

std::unique_ptr<XcbKeys> XcbKeys::OfThisDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return nullptr;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (!reply) {
        return nullptr;
    }
    auto keys = std::make_unique<XcbKeys>();
    keys->m_firstKeycode = setup->min_keycode;
    keys->m_perKeycode = reply->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    keys->m_keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
    std::free(reply);
    return keys;
}

std::optional<XcbKeys::Press> XcbKeys::Read(const QByteArray& eventType,
                                            const void* message) const {
    if (eventType != "xcb_generic_event_t") {
        return std::nullopt;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) {
        return std::nullopt;
    }
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    Press read{press->event, 0, press->time};
    const std::size_t at = static_cast<std::size_t>(press->detail - m_firstKeycode) *
                           static_cast<std::size_t>(m_perKeycode);
    if (press->detail < m_firstKeycode || at + 1 >= m_keysyms.size() ||
        (press->state & kOtherModifiers) != 0) {
        return read;
    }
    const std::uint32_t plain = m_keysyms[at];
    const std::uint32_t shifted = m_keysyms[at + 1];
    const bool shift = (press->state & XCB_MOD_MASK_SHIFT) != 0;
    const std::uint32_t sym = shift && shifted != 0 ? shifted : plain;
    if (sym >= '0' && sym <= '9') {
        read.key = static_cast<char>(sym);
    } else if (sym == 'x' || sym == 'X') {
        read.key = 'X';
    } else if (sym == kReturn || sym == kKeypadEnter) {
        read.key = '\n';
    } else if ((press->state & kNumLock) != 0 && shifted >= kKeypadZero &&
               shifted <= kKeypadZero + 9) {
        read.key = static_cast<char>('0' + (shifted - kKeypadZero));
    }
    return read;
}

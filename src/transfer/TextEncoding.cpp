#include "transfer/TextEncoding.h"

#include <unicode/ucnv.h>

#include <cstdint>
#include <stdexcept>

const std::vector<std::pair<TextEncoding, const char*>>& TextEncodings() {
    static const std::vector<std::pair<TextEncoding, const char*>> encodings{
        {TextEncoding::Utf8, "UTF-8"},
        {TextEncoding::Windows1250, "Windows-1250"},
        {TextEncoding::Windows1252, "Windows-1252"},
    };
    return encodings;
}

std::optional<TextEncoding> FindTextEncoding(std::string_view name) {
    auto lower = [](std::string_view s) {
        std::string out;
        for (char c : s) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        return out;
    };
    for (const auto& [encoding, shown] : TextEncodings()) {
        if (lower(shown) == lower(name)) {
            return encoding;
        }
    }
    return std::nullopt;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

std::string ToUtf8(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return std::string(text);
    }
    if (text.size() > static_cast<std::size_t>(INT32_MAX / 3)) {
        throw std::runtime_error("the file is too large to convert");
    }
    UErrorCode status = U_ZERO_ERROR;
    const char* name = encoding == TextEncoding::Windows1250 ? "windows-1250" : "windows-1252";
    // A single byte becomes at most three bytes of UTF-8.
    std::string out(text.size() * 3 + 1, '\0');
    const int32_t length = ucnv_convert("UTF-8", name, out.data(), static_cast<int32_t>(out.size()),
                                        text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot convert from ") + name);
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

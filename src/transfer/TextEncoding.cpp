#include "transfer/TextEncoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>

const std::vector<std::pair<TextEncoding, const char*>>& TextEncodings() {
    static const std::vector<std::pair<TextEncoding, const char*>> encodings{
        {TextEncoding::Utf8, "UTF-8"},
        {TextEncoding::Windows1250, "Windows-1250"},
        {TextEncoding::Windows1252, "Windows-1252"},
        {TextEncoding::Utf16Le, "UTF-16LE"},
        {TextEncoding::Utf16Be, "UTF-16BE"},
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

namespace {

bool IsUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

// The 16-bit unit at `at` of UTF-16 bytes.
char16_t Unit(std::string_view bytes, std::size_t at, bool bigEndian) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
}

bool IsLeadSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsTrailSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

Utf8Text FromUtf16(std::string_view bytes, bool bigEndian) {
    Utf8Text out;
    out.text.reserve(bytes.size() / 2 * 3);
    std::size_t i = bytes.size() >= 2 && Unit(bytes, 0, bigEndian) == 0xFEFF ? 2 : 0;
    std::size_t line = 1;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = Unit(bytes, i, bigEndian);
        if (IsLeadSurrogate(c) && i + 3 < bytes.size() &&
            IsTrailSurrogate(Unit(bytes, i + 2, bigEndian))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Unit(bytes, i + 2, bigEndian) - 0xDC00);
            i += 2;
        } else if (IsLeadSurrogate(c) || IsTrailSurrogate(c)) {
            out.fault = "textul UTF-16 are un surogat fara pereche";
            out.faultLine = line;
            return out;
        }
        line += c == U'\n' ? 1 : 0;
        AppendUtf8(out.text, c);
    }
    if (i < bytes.size()) {
        out.fault = "fisierul UTF-16 se termina cu un octet fara pereche";
        out.faultLine = line;
    }
    return out;
}

const char* CodePageName(TextEncoding encoding) {
    return encoding == TextEncoding::Windows1250 ? "windows-1250" : "windows-1252";
}

std::string FromCodePage(std::string_view bytes, TextEncoding encoding) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX / 3)) {
        throw std::runtime_error("the file is too large to convert");
    }
    UErrorCode status = U_ZERO_ERROR;
    const char* name = CodePageName(encoding);
    // A single byte becomes at most three bytes of UTF-8.
    std::string out(bytes.size() * 3 + 1, '\0');
    const int32_t length = ucnv_convert("UTF-8", name, out.data(), static_cast<int32_t>(out.size()),
                                        bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot convert from ") + name);
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string ToCodePage(const std::u16string& units, TextEncoding encoding) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, void (*)(UConverter*)> converter(
        ucnv_open(CodePageName(encoding), &status), ucnv_close);
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    // One byte a character, and a character is at least one unit.
    std::string out(units.size() + 1, '\0');
    const int32_t length =
        ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), units.data(),
                        static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot convert to ") + CodePageName(encoding));
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

} // namespace

TextEncoding EncodingOf(std::string_view bytes, TextEncoding chosen) {
    if (chosen != TextEncoding::Utf8) {
        return chosen;
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return TextEncoding::Utf16Le;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return TextEncoding::Utf16Be;
    }
    // A header is mostly ASCII letters: in UTF-16 every other byte of it is NUL, and only those.
    constexpr std::size_t kLooked = 512;
    std::size_t nuls[2] = {};
    const std::size_t pairs = std::min(bytes.size(), kLooked) / 2;
    for (std::size_t i = 0; i < pairs * 2; ++i) {
        nuls[i % 2] += bytes[i] == '\0' ? 1 : 0;
    }
    if (nuls[0] == 0 && nuls[1] > 0 && nuls[1] * 2 >= pairs) {
        return TextEncoding::Utf16Le;
    }
    if (nuls[1] == 0 && nuls[0] > 0 && nuls[0] * 2 >= pairs) {
        return TextEncoding::Utf16Be;
    }
    return chosen;
}

std::string_view WholeCharacters(std::string_view start, TextEncoding encoding) {
    if (IsUtf16(encoding)) {
        start = start.substr(0, start.size() / 2 * 2);
        const bool bigEndian = encoding == TextEncoding::Utf16Be;
        if (start.size() >= 2 && IsLeadSurrogate(Unit(start, start.size() - 2, bigEndian))) {
            start.remove_suffix(2);
        }
        return start;
    }
    if (encoding != TextEncoding::Utf8) {
        return start;
    }
    // Back over the continuation bytes of the last character to its lead byte; drop the
    // character when fewer bytes follow its lead than it announces.
    std::size_t lead = start.size();
    while (lead > 0 && start.size() - lead < 4 &&
           (static_cast<unsigned char>(start[lead - 1]) & 0xC0) == 0x80) {
        --lead;
    }
    if (lead == 0) {
        return start;
    }
    const auto c = static_cast<unsigned char>(start[lead - 1]);
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return start.size() - (lead - 1) < length ? start.substr(0, lead - 1) : start;
}

Utf8Text ToUtf8(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return {std::string(bytes), {}, 0};
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return FromUtf16(bytes, encoding == TextEncoding::Utf16Be);
    case TextEncoding::Windows1250:
    case TextEncoding::Windows1252:
        break;
    }
    return {FromCodePage(bytes, encoding), {}, 0};
}

std::string FromUtf8Text(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return std::string(utf8);
    }
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX / 2)) {
        throw std::runtime_error("the text is too large to convert");
    }
    // UTF-16 takes no more units than UTF-8 takes bytes.
    std::u16string units(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("cannot convert from UTF-8");
    }
    units.resize(static_cast<std::size_t>(length));
    if (!IsUtf16(encoding)) {
        return ToCodePage(units, encoding);
    }
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    std::string out;
    out.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16Le:
        return "\xFF\xFE";
    case TextEncoding::Utf16Be:
        return "\xFE\xFF";
    case TextEncoding::Windows1250:
    case TextEncoding::Windows1252:
        break;
    }
    return {};
}

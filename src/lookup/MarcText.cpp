#include "lookup/MarcText.h"

#include "store/BookFieldChecks.h"
#include "store/BookRecord.h"
#include "store/TrimmedText.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ASCII letters and every byte of a multi-byte UTF-8 character (ă, ș, ...).
bool IsLetterByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte >= 0x80;
}

std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// Whether the text's final dot closes a one-letter initial ("J.") rather than a word or a year.
bool DotEndsInitial(std::string_view text) {
    const std::size_t dot = text.size() - 1;
    std::size_t start = dot;
    while (start > 0 && IsLetterByte(text[start - 1])) {
        --start;
    }
    return CharacterCount(text.substr(start, dot - start)) == 1;
}

// Cuts one mark of punctuation off the text's end; false when it ends in none.
bool CutEndMark(std::string& text) {
    for (const std::string_view mark : {" /", " :", " ;", " ="}) {
        if (text.ends_with(mark)) {
            text.resize(text.size() - mark.size());
            return true;
        }
    }
    const bool dot = text.ends_with('.') && !text.ends_with("..") && !DotEndsInitial(text);
    if (dot || text.ends_with(',')) {
        text.pop_back();
        return true;
    }
    return false;
}

std::vector<std::string_view> CommaParts(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos;) {
        parts.push_back(text.substr(0, comma));
        text.remove_prefix(comma + 1);
    }
    parts.push_back(text);
    return parts;
}

// The number the catalogue can hold from a run of digits; kUnknownNumber when too big.
std::int32_t NumberOfDigits(std::string_view digits) {
    std::int32_t number = 0;
    for (const char digit : digits) {
        number = number * 10 + (digit - '0');
        if (!FitsNumberColumn(number)) {
            return kUnknownNumber;
        }
    }
    return number;
}

// Where the run of digits starting at `start` ends.
std::size_t DigitsEnd(std::string_view text, std::size_t start) {
    while (start < text.size() && IsDigit(text[start])) {
        ++start;
    }
    return start;
}

// Whether a word for pages follows a number: "p", "pp", "pages", "pagini", German "S" and
// "Seiten", Slavic "str"; a bracket closing an unnumbered count ("[352] p.") may come between.
bool PageWordFollows(std::string_view rest) {
    if (rest.starts_with(']')) {
        rest.remove_prefix(1);
    }
    rest = Trimmed(rest);
    std::size_t end = 0;
    while (end < rest.size() && IsLetterByte(rest[end])) {
        ++end;
    }
    static constexpr std::array<std::string_view, 9> kWords = {
        "p", "pp", "page", "pages", "pagini", "pag", "s", "seiten", "str"};
    const std::string word = AsciiLower(rest.substr(0, end));
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

} // namespace

std::string WithoutEndPunctuation(std::string_view value) {
    std::string text(Trimmed(value));
    while (CutEndMark(text)) {
        text = std::string(Trimmed(text));
    }
    return text;
}

std::string NameOfInvertedHeading(std::string_view heading) {
    std::vector<std::string> parts;
    for (const std::string_view piece : CommaParts(heading)) {
        std::string part = WithoutEndPunctuation(piece);
        if (!part.empty() && std::none_of(part.begin(), part.end(), IsDigit)) {
            parts.push_back(std::move(part));
        }
    }
    if (parts.size() < 2) {
        return parts.empty() ? std::string() : parts.front();
    }
    std::string name = parts[1] + ' ' + parts[0];
    for (std::size_t i = 2; i < parts.size(); ++i) {
        name += ", " + parts[i];
    }
    return name;
}

std::string NameOfParts(std::string_view surname, std::string_view forename) {
    const std::string last = WithoutEndPunctuation(surname);
    const std::string first = WithoutEndPunctuation(forename);
    if (first.empty() || last.empty()) {
        return first + last;
    }
    return first + ' ' + last;
}

std::string PublisherName(std::string_view value) {
    std::string name = WithoutEndPunctuation(value);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']' &&
        name.find(']') == name.size() - 1) {
        name = WithoutEndPunctuation(std::string_view(name).substr(1, name.size() - 2));
    }
    const std::string lower = AsciiLower(name);
    return lower == "s.n." || lower == "s. n." ? std::string() : name;
}

std::int32_t YearIn(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = DigitsEnd(text, start);
        if (end - start == 4 && NumberOfDigits(text.substr(start, 4)) > 0) {
            return NumberOfDigits(text.substr(start, 4));
        }
        start = std::max(end, start + 1);
    }
    return kUnknownNumber;
}

std::int32_t PagesIn(std::string_view extent) {
    std::int32_t pages = kUnknownNumber;
    for (std::size_t start = 0; start < extent.size();) {
        const std::size_t end = DigitsEnd(extent, start);
        if (end > start && PageWordFollows(extent.substr(end))) {
            const std::int32_t number = NumberOfDigits(extent.substr(start, end - start));
            if (number > 0 && (IsUnknown(pages) || number > pages)) {
                pages = number;
            }
        }
        start = std::max(end, start + 1);
    }
    return pages;
}

std::int32_t NumberIn(std::string_view text) {
    const auto first = std::find_if(text.begin(), text.end(), IsDigit);
    const std::size_t start = static_cast<std::size_t>(first - text.begin());
    if (start == text.size()) {
        return kUnknownNumber;
    }
    return NumberOfDigits(text.substr(start, DigitsEnd(text, start) - start));
}

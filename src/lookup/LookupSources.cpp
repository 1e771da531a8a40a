#include "lookup/LookupSources.h"
#include "store/TrimmedText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<SourceKind, std::string_view>, 6> kKindWords = {{
    {SourceKind::OpenLibrary, "openlibrary"},
    {SourceKind::GoogleBooks, "googlebooks"},
    {SourceKind::SruMarc21, "sru-marc21"},
    {SourceKind::SruUnimarc, "sru-unimarc"},
    {SourceKind::Z3950Marc21, "z3950-marc21"},
    {SourceKind::Z3950Unimarc, "z3950-unimarc"},
}};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
               return p == (t >= 'A' && t <= 'Z' ? static_cast<char>(t - 'A' + 'a') : t);
           });
}

bool IsZ3950(SourceKind kind) {
    return kind == SourceKind::Z3950Marc21 || kind == SourceKind::Z3950Unimarc;
}

bool AddressFits(std::string_view address, SourceKind kind) {
    if (address.empty() || std::any_of(address.begin(), address.end(), IsBlankOrControl)) {
        return false;
    }
    return IsZ3950(kind) || StartsWithNoCase(address, "http://") ||
           StartsWithNoCase(address, "https://");
}

std::optional<bool> StateOfWord(std::string_view word) {
    if (word == "on" || word == "1") {
        return true;
    }
    if (word == "off" || word == "0") {
        return false;
    }
    return std::nullopt;
}

// One line `on|kind|name|address`; nothing when it cannot be read.
std::optional<LookupSource> SourceOfLine(std::string_view line) {
    const std::size_t first = line.find('|');
    const std::size_t second = line.find('|', first == line.npos ? first : first + 1);
    const std::size_t last = line.rfind('|');
    if (second == line.npos || last == second) {
        return std::nullopt;
    }
    const auto on = StateOfWord(Trimmed(line.substr(0, first)));
    const auto kind = KindOfWord(Trimmed(line.substr(first + 1, second - first - 1)));
    const std::string_view name = Trimmed(line.substr(second + 1, last - second - 1));
    const std::string_view address = Trimmed(line.substr(last + 1));
    if (!on || !kind || name.empty() || !AddressFits(address, *kind)) {
        return std::nullopt;
    }
    return LookupSource{*on, *kind, std::string(name), std::string(address)};
}

std::string NameForLine(std::string_view name) {
    std::string written(name);
    std::replace_if(written.begin(), written.end(), IsBlankOrControl, ' ');
    return written;
}

std::string AddressForLine(std::string_view address) {
    std::string written;
    for (const char c : address) {
        written += c == '|' ? std::string("%7C") : std::string(1, c);
    }
    return written;
}

} // namespace

std::string_view KindWord(SourceKind kind) {
    for (const auto& [known, word] : kKindWords) {
        if (known == kind) {
            return word;
        }
    }
    return {};
}

std::optional<SourceKind> KindOfWord(std::string_view word) {
    for (const auto& [kind, known] : kKindWords) {
        if (known == word) {
            return kind;
        }
    }
    return std::nullopt;
}

MarcFlavour MarcFlavourOf(SourceKind kind) {
    return kind == SourceKind::SruUnimarc || kind == SourceKind::Z3950Unimarc ? MarcFlavour::Unimarc
                                                                              : MarcFlavour::Marc21;
}

std::vector<LookupSource> DefaultSources() {
    return {
        {true, SourceKind::OpenLibrary, "Open Library", "https://openlibrary.org"},
        {false, SourceKind::GoogleBooks, "Google Books", "https://www.googleapis.com/books/v1"},
        {true, SourceKind::SruMarc21, "Library of Congress", "http://lx2.loc.gov:210/LCDB"},
        {true, SourceKind::SruMarc21, "Deutsche Nationalbibliothek",
         "https://services.dnb.de/sru/dnb"},
        {true, SourceKind::SruUnimarc, "Bibliotheque nationale de France",
         "https://catalogue.bnf.fr/api/SRU"},
    };
}

std::vector<LookupSource> ParseSources(std::string_view text) {
    std::vector<LookupSource> sources;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (auto source = SourceOfLine(text.substr(0, end))) {
            sources.push_back(std::move(*source));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return sources.empty() ? DefaultSources() : sources;
}

std::string FormatSources(const std::vector<LookupSource>& sources) {
    std::string text;
    for (const LookupSource& source : sources) {
        text += std::string(source.on ? "on" : "off") + '|' + std::string(KindWord(source.kind)) +
                '|' + NameForLine(source.name) + '|' + AddressForLine(source.address) + '\n';
    }
    return text;
}

bool IsZ3950Target(std::string_view address) {
    const auto colon = address.find(':');
    const auto slash = address.find('/', colon == std::string_view::npos ? 0 : colon);
    if (colon == std::string_view::npos || slash == std::string_view::npos || colon == 0) {
        return false;
    }
    const auto all = [](std::string_view part, std::string_view others) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [others](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   others.find(c) != std::string_view::npos;
        });
    };
    const std::string_view port = address.substr(colon + 1, slash - colon - 1);
    if (!all(address.substr(0, colon), ".-") || !all(address.substr(slash + 1), "_.+-") ||
        port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const int number = std::stoi(std::string(port));
    return number >= 1 && number <= 65535;
}

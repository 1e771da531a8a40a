#include "lookup/SruQuery.h"

#include <algorithm>
#include <array>

namespace {

// How one library is asked: the protocol's version, the query around the ISBN, the schema.
struct SruProfile {
    std::string_view host; // empty for any other library
    std::string_view version;
    std::string_view queryBefore;
    std::string_view queryAfter;
    std::string_view schema;
};

constexpr std::array<SruProfile, 3> kLibraries = {{
    {"lx2.loc.gov", "1.1", "bath.isbn=", "", "marcxml"},
    {"services.dnb.de", "1.1", "num=", "", "MARC21-xml"},
    {"catalogue.bnf.fr", "1.2", "bib.isbn all \"", "\"", "unimarcxchange"},
}};

constexpr SruProfile kAnyMarc21 = {"", "1.1", "bath.isbn=", "", "marcxml"};
constexpr SruProfile kAnyUnimarc = {"", "1.1", "bath.isbn=", "", "unimarcxchange"};

// The address's host, in lower case: after "://", before a port, a path or a query.
std::string HostOf(const std::string& address) {
    const std::size_t scheme = address.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t end = std::min(address.find_first_of(":/?#", start), address.size());
    std::string host = address.substr(start, end - start);
    std::transform(host.begin(), host.end(), host.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return host;
}

const SruProfile& ProfileOf(const LookupSource& source) {
    const std::string host = HostOf(source.address);
    for (const SruProfile& library : kLibraries) {
        if (library.host == host) {
            return library;
        }
    }
    return source.kind == SourceKind::SruUnimarc ? kAnyUnimarc : kAnyMarc21;
}

// Every byte but the unreserved letters, digits and "-._~" as %XX.
std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            encoded += c;
        } else {
            encoded += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
        }
    }
    return encoded;
}

// The separator before the parameters: none after a "?" or "&" the base ends with.
std::string_view ParameterStart(const std::string& base) {
    if (base.ends_with('?') || base.ends_with('&')) {
        return "";
    }
    return base.find('?') == std::string::npos ? "?" : "&";
}

} // namespace

std::string SruQueryUrl(const LookupSource& source, const std::string& isbn) {
    if (source.kind != SourceKind::SruMarc21 && source.kind != SourceKind::SruUnimarc) {
        return {};
    }
    const SruProfile& profile = ProfileOf(source);
    const std::string query =
        std::string(profile.queryBefore) + isbn + std::string(profile.queryAfter);
    return source.address + std::string(ParameterStart(source.address)) +
           "version=" + std::string(profile.version) +
           "&operation=searchRetrieve&query=" + PercentEncoded(query) +
           "&maximumRecords=1&recordSchema=" + std::string(profile.schema);
}

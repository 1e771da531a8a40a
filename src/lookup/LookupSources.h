#pragma once

#include "lookup/MarcRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a book is looked up, in the order the user set. The whole chain is one setting text,
// one line per source: `on|kind|name|address`, "on" or "off" first.
enum class SourceKind {
    OpenLibrary, // the Books API's base address
    GoogleBooks, // the Books API's base address; the key is a setting of its own
    SruMarc21,   // an SRU base address, records in MARC 21
    SruUnimarc,  // an SRU base address, records in UNIMARC
    Z3950Marc21, // `host:port/database`, records in MARC 21
    Z3950Unimarc // `host:port/database`, records in UNIMARC
};

struct LookupSource {
    bool on = true;
    SourceKind kind = SourceKind::OpenLibrary;
    std::string name;    // shown to the user ("Gasit la: ...")
    std::string address; // http or https, except for Z39.50

    bool operator==(const LookupSource&) const = default;
};

// The kind as the setting writes it ("sru-marc21"), and the kind a word names.
std::string_view KindWord(SourceKind kind);
std::optional<SourceKind> KindOfWord(std::string_view word);

// The flavour of a library's records; Open Library and Google Books answer no MARC, and are
// given MARC 21.
MarcFlavour MarcFlavourOf(SourceKind kind);

// Open Library (on), Google Books (off: it wants a key), the Library of Congress, the Deutsche
// Nationalbibliothek and the Bibliotheque nationale de France (on).
std::vector<LookupSource> DefaultSources();

// The sources a setting text lists. A line that cannot be read is skipped: fewer than four
// parts, an unknown state or kind, no name, an address with blanks, or one that is not http or
// https for a source asked over the web. The name is everything between the kind and the last
// "|", so a name may hold "|". An empty text, or one without a line that can be read, gives
// the defaults. Blanks around the parts and Windows line ends are ignored.
std::vector<LookupSource> ParseSources(std::string_view text);

// Whether `address` is a Z39.50 target as `host:port/database`: a host name of letters, digits,
// dots and hyphens, a port from 1 to 65535, a database name of letters, digits and "_.+-".
bool IsZ3950Target(std::string_view address);

// The setting text of these sources, which ParseSources reads back the same. A control
// character in a name (a line end) is written as a blank, a "|" in an address as "%7C".
std::string FormatSources(const std::vector<LookupSource>& sources);

#pragma once

#include "store/BookRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

// A library record's texts are written to be printed one after another on a catalogue card:
// a title ends in " /" before its statement of responsibility, a name in "," before its dates,
// a year in "." closing the area. These rules read the value itself out of such a text.

// The value without the card's joining punctuation at its end: blanks, " /", " :", " ;", " =",
// "," and "." (several, in any order). The dot of an initial ("J.", "Ș.") or of an ellipsis stays.
std::string WithoutEndPunctuation(std::string_view value);

// A personal name catalogued surname first, as MARC 21 writes it, in reading order:
// "Sadoveanu, Mihail, 1880-1961." gives "Mihail Sadoveanu"; parts holding a digit (dates) are
// left out, a further part ("Jr") follows after ", ". A name with no comma is kept as it is.
std::string NameOfInvertedHeading(std::string_view heading);

// A personal name catalogued in two parts, as UNIMARC writes it ($a "Sadoveanu", $b "Mihail"),
// in reading order: "Mihail Sadoveanu". Either part may be missing.
std::string NameOfParts(std::string_view surname, std::string_view forename);

// A publisher's name: brackets around a name the cataloguer supplied are taken off, and
// "s.n." (no name given) is no name at all.
std::string PublisherName(std::string_view value);

// The first year written with four digits ("c1999", "[2004]", "2004, c2003"), not part of a
// longer number; kUnknownNumber when there is none.
std::int32_t YearIn(std::string_view text);

// The pages of a physical description: the largest arabic number followed by a word for pages
// ("xii, 352 p." and "[8], 352 pages" give 352; "352 S." as German records write it); numbers
// that are not pages ("20 cm", "8 pl.") and roman numbers do not count. kUnknownNumber when
// there is none.
std::int32_t PagesIn(std::string_view extent);

// The first arabic number of a text ("nr. 12" gives 12), when the catalogue can hold it; else
// kUnknownNumber.
std::int32_t NumberIn(std::string_view text);

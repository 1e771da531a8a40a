#pragma once

#include "lookup/LookupRecord.h"

#include <string>
#include <vector>

// One book gathered from the sources asked in the user's order.
struct MergedLookup {
    LookupRecord record;
    // The sources that gave something, in the order they gave it, except that the one that gave
    // the title comes first: it is the book's source.
    std::vector<std::string> sources;
};

// Fills the fields still empty from the next source's record; a field an earlier source gave is
// never replaced. The series and its number go together, so that one series is never given
// another's number: the number alone is taken only from a source naming the same series. The
// source is listed when it filled anything.
void MergeFrom(MergedLookup& merged, const LookupRecord& next, const std::string& sourceName);

// Whether the next source is worth asking: the title, the authors, the publisher, this edition's
// year, the pages, the series or its number, or the cover is still missing.
bool StillMissing(const LookupRecord& record);

// "Gasit la: Open Library, Deutsche Nationalbibliothek"; empty when no source gave anything.
std::string FoundAtText(const MergedLookup& merged);

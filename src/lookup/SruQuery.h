#pragma once

#include "lookup/LookupSources.h"

#include <string>

// The address that asks an SRU source for its record of one ISBN (13 or 10 characters):
// `BASE?version=1.1&operation=searchRetrieve&query=...&maximumRecords=1&recordSchema=...`.
// Each library indexes the ISBN under its own name and answers in its own schema; the Library
// of Congress, the Deutsche Nationalbibliothek and the Bibliotheque nationale de France are told
// apart by their host. Any other base is asked by "bath.isbn", in "marcxml" for MARC 21 and
// "unimarcxchange" for UNIMARC. The query is percent-encoded whole. Empty for a source that is
// not SRU.
std::string SruQueryUrl(const LookupSource& source, const std::string& isbn);

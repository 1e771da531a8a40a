#pragma once

#include "lookup/MarcRecord.h"

#include <QByteArray>
#include <string>
#include <vector>

// What an SRU service answered to a searchRetrieve: a `searchRetrieveResponse` (SRU 1.1 and 1.2,
// namespace http://www.loc.gov/zing/srw/, or SRU 2.0), matched, like the records it carries, by
// local names in any namespace.
struct SruAnswer {
    // Whole and well-formed, an SRU answer, and it either counts its records or reports a
    // diagnostic. An answer that is not readable says nothing: its other members stay empty.
    bool readable = false;
    int numberOfRecords = 0;
    // The library records of records/record/recordData, in the answer's order (see MarcXml.h);
    // none when the service reported a diagnostic.
    std::vector<MarcRecord> records;
    // The first diagnostic's message (its URI when it has none), made fit to be shown; empty
    // when the service reported none.
    std::string diagnostic;
};

SruAnswer ReadSruAnswer(const QByteArray& xml);

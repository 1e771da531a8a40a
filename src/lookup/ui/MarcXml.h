#pragma once

#include "lookup/MarcRecord.h"

#include <QByteArray>
#include <vector>

class QXmlStreamReader;

// Library records written in XML: MARCXML (MARC 21, http://www.loc.gov/MARC21/slim) and
// MarcXchange (UNIMARC, as the Bibliotheque nationale de France sends it). Both share one shape,
// so elements are matched by their local names in any namespace, prefixed or not: a `record`
// holding `leader`, `controlfield tag=` and `datafield tag= ind1= ind2=` with its
// `subfield code=`. A `record` that holds none of these (the record of an SRU answer around the
// library's own) is only walked through. Texts are given in Unicode's composed form (NFC), so a
// letter that a MARC-8 conversion wrote as base and combining mark ("S" and U+0326) is the one
// a user types ("Ș").
//
// A document type declaration (DOCTYPE) is a fault: a library's answer carries none, and it is
// what declares entities, those that name a file or an address to fetch and those that expand
// without bound. A document that is not well-formed XML to its end (cut short, not XML, a
// DOCTYPE) gives no records at all: a record read before the fault would be taken for the
// source's whole answer.

// Every record of the document, in its order, at any depth (inside an SRU answer too).
std::vector<MarcRecord> ReadMarcXml(const QByteArray& xml);

// Every record inside the element the reader stands at the start of (or, standing before the
// document's first element, inside the whole document); the reader is left at that element's
// end. A fault, a DOCTYPE among them, is left in the reader (hasError) for the caller to judge.
std::vector<MarcRecord> ReadMarcXmlRecords(QXmlStreamReader& reader);

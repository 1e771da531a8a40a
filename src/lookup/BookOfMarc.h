#pragma once

#include "lookup/LookupRecord.h"
#include "lookup/MarcRecord.h"

// What a library's record says of a book, read as a cataloguer wrote it (see MarcText.h):
// - title: 245 $a, ": " and $b (UNIMARC 200 $a, $e);
// - authors: MARC 21 100 $a, then 700 $a, each turned to "Forename Surname"; UNIMARC 700, 701,
//   702 $b and $a. An added name whose relator ($4, or MARC 21 $e) says it is not the author's
//   (a translator, an editor) is left out, and a name given twice is given once;
// - publisher: 264 (publication) $b, else 260 $b (UNIMARC 210 $c, else 214 $c);
// - this edition's year: the first four-digit year of the same fields' $c (UNIMARC $d), else the
//   coded first date (008/07-10 or 100 $a/9-12) of a record dated as published;
// - the work's first publication: the coded second date of a reprint (008/06 "r", 100 $a/8 "e");
// - pages: 300 $a (UNIMARC 215 $a);
// - series and number: 490 $a, $v, else 830 (UNIMARC 225 $a, $v); a number left in $a after
//   " ; " counts as $v.
// What the record does not give stays unknown; texts are made fit for the catalogue.
LookupRecord BookOfMarc(const MarcRecord& record, MarcFlavour flavour);

#pragma once

#include <string>

class CBookDatabase;

// Every book of an open catalogue, ordered by title, as CSV: a header row with the list's
// thirteen headers and one row per book with the texts the list shows, all read in one read
// transaction. False when the types, the states or the books could not be read (the catalogue
// has said why).
bool ExportCsv(CBookDatabase& db, std::string& csv);

#pragma once

#include "store/FixedNames.h"
#include "transfer/ImportColumns.h"
#include "transfer/TextEncoding.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

// A row of the file that was not stored: its line, why, and its cells as they were read.
struct RejectedRow {
    std::size_t line = 0;
    std::string reason;
    std::vector<std::string> cells;
};

struct ImportOptions {
    // What each column of the header fills, one choice a column; empty: guessed from the header.
    std::vector<ImportField> columns;
    // The character between fields; 0: guessed from the first line.
    char delimiter = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    // The type and state of a book whose row names none; a row without a type is refused when
    // none is given here.
    std::string defaultType = g_defaultTypeNames.back();
    std::string defaultState = g_defaultStateNames.back();
    // Rows that cannot be stored are set aside in the result and the others stored; otherwise
    // the first such row stops the import and nothing is stored.
    bool setAsideRejects = false;
    // A row whose title and author are those of a book stored before the import is set aside as
    // already in the catalogue instead of being stored again.
    bool skipDuplicates = false;
    // Called every few hundred rows with the bytes read so far and the file's size; returning
    // false cancels the import, storing nothing.
    std::function<bool(std::size_t done, std::size_t total)> progress;
};

struct ImportResult {
    bool ok = false;
    bool cancelled = false;
    int books = 0;
    int types = 0;
    int states = 0;
    // Rows whose title and author match a book stored before the import (stored anyway unless
    // skipped; a skipped one is among the rejects too).
    int duplicates = 0;
    // Books stored without the ISBN their row gave, since no cell of it was an ISBN (a number
    // rounded by a spreadsheet, a wrong check digit).
    int isbnsLeftOut = 0;
    std::size_t errorLine = 0;    // line of the file at fault, or 0 when no line is
    bool catalogueFailed = false; // the catalogue failed (busy, read-only, disk full), no line
    std::string error;
    std::vector<std::string> ignoredColumns; // header columns the import does not use
    std::vector<std::string> header;         // the file's header, as read
    std::vector<RejectedRow> rejects;
    // How the file was written, so that its rejects go back the same way.
    TextEncoding encoding = TextEncoding::Utf8;
    char delimiter = ',';
    bool byteOrderMark = false;
};

// The reason given for a duplicate skipped.
inline constexpr const char* kAlreadyInCatalogue = "deja in catalog";

// Adds the books of a CSV file to an open catalogue in one transaction.
// Columns are chosen in the options or guessed from the header (see GuessImportColumns): the
// thirteen of the program's own export ("ID" ignored), a reading site's library export, or a
// spreadsheet's own names in Romanian or English. Type and state names the catalogue lacks are
// added. Nothing is invented: an empty cell, and a 0 of pages, chapters, volumes or the volume's
// year, is a number not known (stored NULL); a missing author or publisher stays empty. A row must
// have as many cells as the header and pass the book dialog's own checks; a number written with
// a zero fraction ("2008.0") is that integer; a year may be written as a date. Blank rows are
// skipped. A row that does not pass is set aside or stops the import (see ImportOptions). Text
// that cannot be read faithfully (a broken quote, a carriage return outside quotes, a NUL byte,
// bytes that are not in the file's encoding, a record or cell beyond the reader's limits in
// transfer/Csv.h) always stops it, naming its line, before the catalogue is touched. A file
// chosen as UTF-8 that is UTF-16 is read as UTF-16 (see EncodingOf).
ImportResult ImportCsv(std::string_view bytes, CBookDatabase& db,
                       const ImportOptions& options = {});

// The rejected rows as a CSV the user can mend and import again: the columns "Linie" and
// "Motiv" (which an import leaves out) before the file's own header, then each row's line,
// reason and original cells; in the file's own encoding and delimiter, after its byte-order mark
// when it had one, so that the spreadsheet that wrote the file reads them.
std::string RejectsCsv(const ImportResult& result);

#pragma once

#include "transfer/ImportColumns.h"
#include "transfer/TextEncoding.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The first rows of a book list as the import would read them, for the user to check the
// delimiter, the encoding and what each column fills before anything is stored.
struct ImportPreview {
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Utf8;
    // False when the file is not UTF-8: a single-byte encoding has to be chosen.
    bool validUtf8 = true;
    std::vector<std::string> header;
    std::vector<ImportField> columns; // the guess for each column of the header
    std::vector<std::vector<std::string>> rows;
    // Why the rows stop early (a broken quote, text not in the encoding), with its line.
    std::string error;
    std::size_t errorLine = 0;
};

// How much of a file the preview reads: the header and the rows shown of any sensible book list,
// and little enough that a file of any size or shape is previewed at once.
inline constexpr std::size_t kPreviewBytes = 64 * 1024;

// Reads at most `rows` rows after the header (blank rows skipped), from the first kPreviewBytes
// of `bytes`: the file, or its start with at least one byte more to tell that it goes on. A
// record cut by the end of that sample is left out. A delimiter of 0 is guessed; the encoding is
// used as given, unless it is UTF-8 and the file is not: then the UTF-16 the file is in, or else
// Windows-1250, is offered in its place.
ImportPreview PreviewImport(std::string_view bytes, char delimiter, TextEncoding encoding,
                            std::size_t rows = 20);

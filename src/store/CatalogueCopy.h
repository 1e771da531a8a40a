#pragma once

#include "store/MessageSink.h"

#include <memory>
#include <string>

class CBookDatabase;

// Copies the catalogue `source` into a new catalogue file at `path`: its books, types and states
// with their identifiers, its loans and details in the program's own tables (a table of another
// shape under that name is not the program's and stays behind), and the counters that number
// new rows, so an identifier is never given twice. When `source` is not open the new catalogue has
// its three tables and no rows, and an existing file at `path` is refused. The new file is built
// under a temporary name in the target's folder, in one transaction, and renamed over `path` only
// when complete, so an existing file at `path` is either replaced whole or left as it was. A
// replaced file keeps its permission bits; when `path` is a symbolic link, the file it points to is
// replaced.
//
// Returns the new catalogue, open; `source` is left untouched either way. On failure one message
// goes to `sink` and nothing is returned.
std::unique_ptr<CBookDatabase> CopyCatalogue(CBookDatabase& source, const std::string& path,
                                             const MessageSink& sink);

// True when both paths name the same file, also through links; false when either is missing.
bool IsSameFile(const std::string& a, const std::string& b);

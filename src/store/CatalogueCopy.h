#pragma once

#include "store/MessageSink.h"

#include <memory>
#include <string>

class CBookDatabase;

// Copies the catalogue `source` into a new catalogue file at `path`: the whole file, page by page
// through SQLite's online backup (a consistent copy even while another program writes the
// source), so everything in it comes along: books, types and states with their identifiers, the
// counters that number new rows (an identifier is never given twice), the program's own tables
// such as its loans, and the user's own tables and indexes. The copy is then opened as the
// program opens a catalogue, which brings a file of the earlier schema to the plain one. When
// `source` is not open the new catalogue has its three tables and no rows, and an existing file
// at `path` is refused. The new file is built under a temporary name in the target's folder,
// flushed to disk, and renamed over `path` only when complete, so an existing file at `path` is
// either replaced whole or left as it was, also when the process is killed. A replaced file
// keeps its permission bits; when `path` is a symbolic link, the file it points to is replaced.
//
// Returns the new catalogue, open; `source` is left untouched either way. On failure one message
// goes to `sink` and nothing is returned.
std::unique_ptr<CBookDatabase> CopyCatalogue(CBookDatabase& source, const std::string& path,
                                             const MessageSink& sink);

// True when both paths name the same file, also through links; false when either is missing.
bool IsSameFile(const std::string& a, const std::string& b);

#pragma once

#include "MessageSink.h"

#include <memory>
#include <string>

class CBookDatabase;

// Copies the catalogue `source` into a new catalogue file at `path`: its types and states with
// their identifiers, and its books numbered afresh in title order. When `source` is not open the
// new catalogue has its three tables and no rows. The new file is built under a temporary name
// in the target's folder, in one transaction, and renamed over `path` only when complete, so an
// existing file at `path` is either replaced whole or left as it was.
//
// Returns the new catalogue, open; `source` is left untouched either way. On failure one message
// goes to `sink` and nothing is returned.
std::unique_ptr<CBookDatabase> CopyCatalogue(CBookDatabase& source, const std::string& path,
                                             const MessageSink& sink);

#pragma once

#include "store/MessageSink.h"
#include "transfer/CatalogueImport.h"

#include <string>
#include <string_view>

// Imports a CSV text into a catalogue that does not exist yet: it is built under a temporary name
// beside `catalogue` and takes that name only when complete and only when nothing has it then, so
// a kill or a full disk leaves nothing that blocks the next try, and a file that appeared at that
// name meanwhile (another import, a copy) is left alone and the import fails
// (`catalogueFailed`). Nothing of a failed import stays.
ImportResult ImportIntoNewCatalogue(std::string_view csv, const std::string& catalogue,
                                    const ImportOptions& options, const MessageSink& sink);

#pragma once

#include "complete/CompletionProposal.h"
#include "store/BookHistory.h"
#include "store/MessageSink.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CBookDatabase;

// What one "Aplica" did: the changes made, as one step to undo, and the books left as they were
// because another program changed them after they were read.
struct CompletionResult {
    std::vector<BookChange> changes;
    int fields = 0;
    std::vector<std::string> skipped; // their titles as read
};

// Writes the checked proposals in one transaction. `seen` holds every proposed book as it was
// read when the proposals were made; a book stored otherwise now is skipped and named. Nothing
// is written, and the user told, when the catalogue refuses the write.
// `progress` is told now and then how many of the books are written, of how many.
std::optional<CompletionResult>
ApplyCompletion(CBookDatabase& db, const std::map<std::int32_t, StoredBook>& seen,
                const std::vector<CompletionProposal>& proposals, const MessageSink& sink,
                const std::function<void(std::size_t done, std::size_t books)>& progress = {});

// "Anuleaza completarea: 812 campuri in 640 de carti".
std::string CompletionStepText(const CompletionResult& result);

#include "complete/CatalogueCompletion.h"

#include "store/CountedNoun.h"

#include <algorithm>

std::optional<CompletionResult>
ApplyCompletion(CBookDatabase& db, const std::map<std::int32_t, StoredBook>& seen,
                const std::vector<CompletionProposal>& proposals, const MessageSink& sink,
                const std::function<void(std::size_t done, std::size_t books)>& progress) {
    std::map<std::int32_t, std::vector<CompletionProposal>> chosen;
    for (const CompletionProposal& p : proposals) {
        if (p.checked && seen.contains(p.book)) {
            chosen[p.book].push_back(p);
        }
    }
    std::vector<BookChange> changes;
    changes.reserve(chosen.size());
    for (const auto& [book, fields] : chosen) {
        const StoredBook& before = seen.at(book);
        changes.push_back({.id = book,
                           .before = before,
                           .after = CompletedBook(before, fields),
                           .loan = std::nullopt,
                           .loansMoved = {}});
    }
    const std::size_t books = changes.size();
    const auto skipped = MakeBookChanges(db, changes, sink, [&](std::size_t done) {
        if (progress) {
            progress(done, books);
        }
    });
    if (!skipped) {
        return std::nullopt;
    }
    CompletionResult result;
    for (BookChange& change : changes) {
        const std::vector<CompletionProposal>& fields = chosen.at(change.id);
        if (std::ranges::find(*skipped, change.id) != skipped->end()) {
            result.skipped.push_back(fields.front().title);
            continue;
        }
        result.fields += static_cast<int>(fields.size());
        result.changes.push_back(std::move(change));
    }
    return result;
}

std::string CompletionStepText(const CompletionResult& result) {
    return "Anuleaza completarea: " + CountedNoun(result.fields, "camp", "campuri") + " in " +
           CountedNoun(static_cast<long long>(result.changes.size()), "carte", "carti");
}

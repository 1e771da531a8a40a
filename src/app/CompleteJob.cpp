#include "app/CompleteJob.h"

#include "app/LookupJob.h"
#include "complete/CatalogueCompletion.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/ui/LookupAnswer.h"
#include "lookup/ui/CTitleSearch.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace {

void Error(const std::string& text) {
    std::fprintf(stderr, "shelfwarden: %s\n", text.c_str());
}

// Only what fills an empty field is taken, never a replacement; a title-and-author match too,
// which the window would leave unchecked.
void TakeEmpty(std::vector<CompletionProposal> offered, std::vector<CompletionProposal>& taken) {
    for (CompletionProposal& p : offered) {
        if (p.now.empty()) {
            p.checked = true;
            taken.push_back(std::move(p));
        }
    }
}

} // namespace

int RunComplete(const std::string& catalogue, bool all) {
    CBookDatabase db([](const std::string& m) { Error(m); });
    if (!db.Open(catalogue)) {
        return 1;
    }
    CBookDetailsStore store(db, [](const std::string& m) { Error(m); });
    const auto details = store.ReadAll();
    if (!details) {
        return 1;
    }
    std::map<std::int32_t, StoredBook> seen;
    std::map<QString, std::vector<std::int32_t>> booksOf;
    std::vector<std::int32_t> unnumbered; // searched by title and author with --all
    try {
        for (const auto& [id, d] : *details) {
            if (d.isbn.empty()) {
                continue;
            }
            if (const auto book = ReadStoredBook(db, id)) {
                seen[id] = *book;
                booksOf[QString::fromStdString(d.isbn)].push_back(id);
            }
        }
        if (all) {
            const auto books = db.OpenQuery("SELECT id FROM books");
            for (; !books->IsEOF(); books->MoveNext()) {
                const auto id = static_cast<std::int32_t>(books->GetInteger(0));
                const auto book = seen.contains(id) ? std::nullopt : ReadStoredBook(db, id);
                if (book && !StoredText(*book, "titlu").empty() &&
                    !StoredText(*book, "autor").empty()) {
                    seen[id] = *book;
                    unnumbered.push_back(id);
                }
            }
        }
    } catch (const CEngineException& e) {
        Error(catalogue + ": " + e.what());
        return 1;
    }
    QStringList asked;
    for (const auto& entry : booksOf) {
        asked << entry.first;
    }
    int argc = 1;
    char name[] = "shelfwarden";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    const std::map<QString, LookupAnswer> answers = AskSources(asked, false);
    std::map<std::int32_t, std::optional<LookupRecord>> matches; // none: the search failed
    if (!unnumbered.empty()) {
        CTitleSearch search;
        search.UseSettings();
        std::size_t waiting = unnumbered.size();
        for (const std::int32_t id : unnumbered) {
            const std::string titlu = StoredText(seen.at(id), "titlu");
            const std::string autor = StoredText(seen.at(id), "autor");
            search.Search(
                QString::fromStdString(titlu), QString::fromStdString(autor),
                [&, id, titlu, autor](const std::vector<LookupRecord>& hits, bool failed) {
                    const auto hit = std::ranges::find_if(
                        hits, [&](const auto& h) { return SameTitleAndAuthor(titlu, autor, h); });
                    if (failed) {
                        matches[id] = std::nullopt;
                    } else {
                        matches[id] = hit == hits.end() ? LookupRecord{} : *hit;
                    }
                    if (--waiting == 0) {
                        QCoreApplication::quit();
                    }
                });
        }
        if (waiting > 0) {
            QCoreApplication::exec();
        }
    }

    int found = 0;
    int notFound = 0;
    std::vector<CompletionProposal> proposals;
    for (const auto& [isbn, books] : booksOf) {
        const auto answer = answers.find(isbn);
        if (answer == answers.end()) {
            continue; // failed, told on standard error
        }
        if (answer->second.kind != LookupAnswer::Kind::Found) {
            notFound += static_cast<int>(books.size());
            continue;
        }
        found += static_cast<int>(books.size());
        const LookupRecord record = RecordOf(answer->second);
        const std::string source = answer->second.sources.value(0).toStdString();
        for (const std::int32_t book : books) {
            TakeEmpty(ProposeCompletion(seen.at(book), record, source, false), proposals);
        }
    }
    for (const auto& [book, match] : matches) {
        if (!match) {
            continue; // failed
        }
        if (match->titlu.empty()) {
            ++notFound;
            continue;
        }
        ++found;
        TakeEmpty(ProposeCompletion(seen.at(book), *match, "Open Library (titlu si autor)", true),
                  proposals);
    }
    const int failed = static_cast<int>(seen.size()) - found - notFound;
    const auto result =
        ApplyCompletion(db, seen, proposals, [](const std::string& m) { Error(m); });
    if (!result) {
        return 1;
    }
    std::set<std::int32_t> written;
    for (const BookChange& change : result->changes) {
        written.insert(change.id);
    }
    std::map<std::string, int> perField;
    for (const CompletionProposal& p : proposals) {
        if (written.contains(p.book)) {
            ++perField[CompletedFieldName(p.field)];
        }
    }
    std::printf("Asked %zu books: %d found, %d not found, %d failed\n", seen.size(), found,
                notFound, failed);
    std::printf("Filled %d fields in %zu books\n", result->fields, result->changes.size());
    for (const auto& [field, count] : perField) {
        std::printf("  %s: %d\n", field.c_str(), count);
    }
    for (const std::string& title : result->skipped) {
        std::printf("Skipped, changed meanwhile by another program: %s\n", title.c_str());
    }
    return 0;
}

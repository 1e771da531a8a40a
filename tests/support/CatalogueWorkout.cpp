#include "support/CatalogueWorkout.h"

#include "loans/CLoanRegister.h"
#include "search/SearchStatements.h"
#include "stats/GeneralStatistics.h"
#include "stats/NameStatistics.h"
#include "store/CBookDatabase.h"
#include "store/LookupList.h"
#include "store/StatementFormat.h"
#include "view/BookRowTable.h"

int WorkOutCatalogue(CBookDatabase& db) {
    LookupList types;
    LookupList states;
    ReloadLookupList(db, LookupKind::Types, kReloadTypesStatement, types);
    ReloadLookupList(db, LookupKind::States, kReloadStatesStatement, states);
    int listed = 0;
    auto list = [&](const std::string& sql) {
        auto set = db.OpenQuery(sql, RecordReading::Forward);
        if (set && !set->IsEOF()) {
            // As the list reads a listing: a set without the book columns cannot be listed.
            const auto rows = ReadBookRows(*set, types, states, nullptr);
            if (!rows) {
                return -1;
            }
            // Reading a row back as the record commands do.
            RecordFromRowTexts(rows->Row(0), types, states);
            return rows->RowCount();
        }
        return 0;
    };
    listed = list("SELECT * FROM books ORDER BY titlu");
    for (int column = 0; column < kBookColumnCount; ++column) {
        list(SortStatement("SELECT * FROM books", column));
    }
    for (const FieldSearch* s : {&kSearchTitle, &kSearchAuthor, &kSearchPublisher}) {
        list(ListingStatement(FormatStatement(s->baseStatement, "x'y")));
    }
    for (const FieldSearch* s : {&kSearchType, &kSearchRating, &kSearchState}) {
        list(ListingStatement(FormatStatement(s->baseStatement, 0)));
    }
    for (const NumericSearch* s : {&kSearchPages, &kSearchChapters, &kSearchVolumes,
                                   &kSearchFirstPublished, &kSearchVolumePublished}) {
        list(ListingStatement(NumericSearchStatement(*s, 1, 0, -32768, 32767)));
    }
    CompositeCriteria every;
    every.title = every.author = every.publisher = "a";
    every.type = every.pages = every.chapters = every.volumes = every.firstPublished =
        every.volumePublished = every.read = every.rating = every.state = 1;
    list(ListingStatement(CompositeStatement(every)));
    ComputeGeneralStatistics(db);
    ComputeNameStatistics(db, NameStatisticsMode::Authors);
    ComputeNameStatistics(db, NameStatisticsMode::Publishers);
    db.InsertBook("Added", "A", "E", 0, 1, 1, 1, 1, 1, 0, 6, 0);
    const int added = db.GetLastInsertedId();
    CLoanRegister loans(db, nullptr);
    LoanQuery history;
    history.today = "2026-12-06";
    history.withReturned = true;
    loans.Counts(history.today);
    loans.Lend(added, "Ana", history.today, "");
    loans.List(history);
    loans.Borrowers();
    loans.Return(added, history.today);
    return listed;
}

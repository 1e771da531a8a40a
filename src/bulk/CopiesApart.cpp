#include "bulk/CopiesApart.h"

#include "store/CBookDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

OwnTableState InspectCopiesApartTable(CEngineDatabase& db, const std::string& schema) {
    return InspectOwnTable(
        db, schema,
        {"copies_apart", kCreateCopiesApartTable, "copies_apart_pair", kCreateCopiesApartIndex});
}

CCopiesApart::CCopiesApart(CBookDatabase& db, MessageSink sink)
    : OwnTableKeeper(db.Engine(), std::move(sink), InspectCopiesApartTable,
                     msg::kCopiesApartUnusable) {}

std::optional<CopyPairs> CCopiesApart::Pairs() {
    CopyPairs pairs;
    const bool read = Guarded(msg::kCannotSelect, [&] {
        const std::optional<bool> has = HasTable();
        if (!has) {
            return false;
        }
        if (*has) {
            CEngineRecordset set(m_engine);
            set.Open("SELECT book, other FROM copies_apart", RecordReading::Forward);
            for (; !set.IsEOF(); set.MoveNext()) {
                pairs.emplace(static_cast<std::int32_t>(set.GetInteger(0)),
                              static_cast<std::int32_t>(set.GetInteger(1)));
            }
        }
        return true;
    });
    if (!read) {
        return std::nullopt;
    }
    return pairs;
}

bool CCopiesApart::Mark(const std::vector<std::int32_t>& group) {
    return Guarded(msg::kCannotInsert, [&] {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        const std::optional<bool> has = HasTable();
        if (!has) {
            return false;
        }
        if (!*has) {
            m_engine.Execute(kCreateCopiesApartTable);
            m_engine.Execute(kCreateCopiesApartIndex);
        }
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (std::size_t j = i + 1; j < group.size(); ++j) {
                m_engine.Execute(FormatStatement(
                    "INSERT OR IGNORE INTO copies_apart(book, other) VALUES(%d, %d)",
                    std::min(group[i], group[j]), std::max(group[i], group[j])));
            }
        }
        transaction.Commit();
        return true;
    });
}

bool MarkedApart(const CopyPairs& pairs, std::int32_t a, std::int32_t b) {
    return pairs.contains({std::min(a, b), std::max(a, b)});
}

bool CCopiesApart::AllMarked(const CopyPairs& pairs, const std::vector<std::int32_t>& group) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        for (std::size_t j = i + 1; j < group.size(); ++j) {
            if (!MarkedApart(pairs, group[i], group[j])) {
                return false;
            }
        }
    }
    return true;
}

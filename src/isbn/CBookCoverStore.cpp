#include "isbn/CBookCoverStore.h"

#include "store/CBookDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/CoverSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

CBookCoverStore::CBookCoverStore(CBookDatabase& db, MessageSink sink)
    : OwnTableKeeper(db.Engine(), std::move(sink), InspectCoverTable, msg::kCoversUnusable) {}

bool CBookCoverStore::IsUsable() {
    return Guarded(msg::kCannotSelect, [this] { return HasTable().has_value(); });
}

std::optional<std::string> CBookCoverStore::Read(std::int32_t id) {
    std::optional<std::string> cover;
    Guarded(msg::kCannotSelect, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        cover.emplace();
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open(FormatStatement("SELECT image FROM book_covers WHERE id = %d", id));
            if (set.GetRecordCount() > 0) {
                set.MoveFirst();
                *cover = set.GetText(0);
            }
        }
        return true;
    });
    return cover;
}

bool CBookCoverStore::Write(std::int32_t id, const std::string& jpeg) {
    // A JPEG begins with its start-of-image marker and a first segment's marker.
    if (!jpeg.empty() && !jpeg.starts_with("\xFF\xD8\xFF")) {
        Report(msg::kCoverNotJpeg);
        return false;
    }
    if (jpeg.size() > kMostCoverBytes) {
        Report(msg::kCoverTooBig);
        return false;
    }
    return Guarded(msg::kCannotUpdate, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        if (!*hasTable && jpeg.empty()) {
            return true;
        }
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        if (!*hasTable) {
            m_engine.Execute(kCreateCoversTable);
        }
        m_engine.Execute(FormatStatement("DELETE FROM book_covers WHERE id = %d", id));
        if (!jpeg.empty()) {
            m_engine.Execute(FormatStatement("INSERT INTO book_covers(id, image) VALUES(%d, ", id) +
                             BlobLiteral(jpeg) + ")");
        }
        transaction.Commit();
        return true;
    });
}

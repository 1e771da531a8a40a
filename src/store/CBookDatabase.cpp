#include "store/CBookDatabase.h"

#include "store/BookRecord.h"
#include "store/CEngineException.h"
#include "store/CEngineTableDef.h"
#include "store/CatalogueMessages.h"
#include "store/CatalogueSchema.h"
#include "store/CoverSchema.h"
#include "store/DetailsSchema.h"
#include "store/PlainSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"
#include "store/UserReasons.h"

CBookDatabase::CBookDatabase(MessageSink sink) : m_sink(std::move(sink)) {}

CBookDatabase::~CBookDatabase() = default;

void CBookDatabase::Report(const std::string& message) const {
    if (m_sink) {
        m_sink(message);
    }
}

bool CBookDatabase::Create(const std::string& path) {
    try {
        m_db.Create(path);
    } catch (const CEngineException& e) {
        m_lastFailure = e.Reason();
        // The Part's words, and below them why.
        Report(std::string(msg::kCannotCreateDatabase) + "\n" + EngineReason(e));
        return false;
    }
    m_strPath = path;
    m_bOpen = true;
    return true;
}

void CBookDatabase::CreateTables() {
    try {
        CEngineTableDef def(m_db);
        for (const SchemaTable& table : CatalogueTables()) {
            def.Create(table.name);
            for (const SchemaColumn& c : table.columns) {
                def.CreateField(c.name, c.type, c.size, c.attributes);
            }
            def.Append();
            def.Close();
        }
        // Indexes keep sorting and searching fast; they change no result.
        for (const char* column : {"titlu", "autor", "editura"}) {
            m_db.Execute(FormatStatement("CREATE INDEX books_%s ON books(%s)", column, column));
        }
    } catch (const CEngineException&) {
        Report(msg::kCannotCreateTable);
    }
}

bool CBookDatabase::Open(const std::string& path, bool readOnly) {
    try {
        m_db.Open(path, readOnly);
    } catch (const CEngineException& e) {
        m_lastFailure = e.Reason();
        Report(std::string(msg::kCannotOpenDatabase) + "\n" + EngineReason(e));
        return false;
    }
    ConvertToPlainSchema(m_db);
    m_strPath = path;
    m_bOpen = true;
    return true;
}

bool CBookDatabase::Close() {
    try {
        m_db.Close();
    } catch (const CEngineException&) {
        Report(msg::kCannotCloseDatabase);
        return false;
    }
    m_strPath.clear();
    m_bOpen = false;
    return true;
}

bool CBookDatabase::ExecuteStatement(const std::string& sql, const char* failure) {
    try {
        m_db.Execute(sql);
    } catch (const CEngineException& e) {
        m_lastFailure = e.Reason();
        Report(failure);
        return false;
    }
    return true;
}

namespace {
// A book's number as a statement writes it: NULL when it is not known.
StatementArg BookNumber(int value) {
    return IsUnknown(value) ? StatementArg{StatementNull{}} : StatementArg{std::int64_t{value}};
}
} // namespace

bool CBookDatabase::InsertBook(const std::string& titlu, const std::string& autor,
                               const std::string& editura, int tip, int pagini, int capitole,
                               int volume, int publicare, int publicare_volum, int citita,
                               int calificativ, int stare) {
    return ExecuteStatement(
        FormatStatement("INSERT INTO books(titlu,autor,editura,tip,pagini,\t\tcapitole,volume,"
                        "publicare,publicare_volum,citita,calificativ,stare)\t\tVALUES('%s','%s','"
                        "%s',%d,%d,%d,%d,%d,%d,%d,%d,%d)",
                        titlu, autor, editura, tip, BookNumber(pagini), BookNumber(capitole),
                        BookNumber(volume), BookNumber(publicare), BookNumber(publicare_volum),
                        citita, calificativ, stare),
        msg::kCannotInsert);
}

bool CBookDatabase::UpdateBook(int id, const std::string& titlu, const std::string& autor,
                               const std::string& editura, int tip, int pagini, int capitole,
                               int volume, int publicare, int publicare_volum, int citita,
                               int calificativ, int stare) {
    return ExecuteStatement(
        FormatStatement("UPDATE books set titlu = '%s', autor = '%s',\t\teditura = '%s',tip = "
                        "%d, pagini = %d, capitole = %d,\t\tvolume = %d, publicare = %d, "
                        "publicare_volum = %d,\t\tcitita = %d ,calificativ = %d, stare = %d where "
                        "id = %d",
                        titlu, autor, editura, tip, BookNumber(pagini), BookNumber(capitole),
                        BookNumber(volume), BookNumber(publicare), BookNumber(publicare_volum),
                        citita, calificativ, stare, id),
        msg::kCannotUpdate);
}

bool CBookDatabase::DeleteBook(int id) {
    const std::string deleteBook = FormatStatement("DELETE * FROM books WHERE id = %ld", id);
    try {
        // A book's details and cover go with it, in the same transaction; a table of that name
        // the program did not make is not its to change.
        const bool details = InspectDetailsTable(m_db) == DetailsTableState::Ours;
        const bool cover = InspectCoverTable(m_db) == OwnTableState::Ours;
        if (!details && !cover) {
            m_db.Execute(deleteBook);
            return true;
        }
        TransactionGuard transaction(m_db, "BEGIN IMMEDIATE");
        if (details) {
            m_db.Execute(FormatStatement("DELETE FROM book_details WHERE id = %d", id));
        }
        if (cover) {
            m_db.Execute(FormatStatement("DELETE FROM book_covers WHERE id = %d", id));
        }
        m_db.Execute(deleteBook);
        transaction.Commit();
    } catch (const CEngineException& e) {
        m_lastFailure = e.Reason();
        Report(msg::kCannotDelete);
        return false;
    }
    return true;
}

std::int32_t CBookDatabase::FindBookId(const std::string& titlu) {
    try {
        CEngineRecordset set(m_db);
        set.Open(FormatStatement("SELECT id FROM books WHERE titlu = '%s'", titlu));
        if (set.GetRecordCount() > 0) {
            set.MoveFirst();
            return set.GetLong("id");
        }
    } catch (const CEngineException&) {
    }
    Report(msg::kCannotSelect);
    return -1;
}

std::int32_t CBookDatabase::GetLastInsertedId() const {
    try {
        return static_cast<std::int32_t>(m_db.LastInsertRowId());
    } catch (const CEngineException&) {
        return -1;
    }
}

std::unique_ptr<CEngineRecordset> CBookDatabase::OpenQuery(const std::string& text,
                                                           RecordReading reading) {
    auto set = std::make_unique<CEngineRecordset>(m_db);
    try {
        set->Open(text, reading);
    } catch (const CEngineException& e) {
        m_lastFailure = e.Reason();
        Report(msg::kCannotSelect);
        return nullptr;
    }
    return set;
}

std::unique_ptr<CEngineRecordset> CBookDatabase::SelectAllBooks(RecordReading reading) {
    return OpenQuery("SELECT * FROM books ORDER BY titlu", reading);
}

std::unique_ptr<CEngineRecordset> CBookDatabase::SelectAuthors() {
    return OpenQuery("SELECT DISTINCT autor FROM books");
}

std::unique_ptr<CEngineRecordset> CBookDatabase::SelectPublishers() {
    return OpenQuery("SELECT DISTINCT editura FROM books");
}

bool CBookDatabase::InsertState(const std::string& name) {
    return ExecuteStatement(FormatStatement("INSERT INTO states(stare) VALUES('%s')", name),
                            msg::kCannotInsert);
}

bool CBookDatabase::InsertType(const std::string& name) {
    return ExecuteStatement(FormatStatement("INSERT INTO types(tip) VALUES('%s')", name),
                            msg::kCannotInsert);
}

bool CBookDatabase::DeleteState(int id) {
    return ExecuteStatement(FormatStatement("DELETE * FROM states WHERE id = %ld", id),
                            msg::kCannotDelete);
}

bool CBookDatabase::DeleteType(int id) {
    return ExecuteStatement(FormatStatement("DELETE * FROM types WHERE id = %ld", id),
                            msg::kCannotDelete);
}

bool CBookDatabase::UpdateState(int id, const std::string& name) {
    return ExecuteStatement(
        FormatStatement("UPDATE states set stare = '%s' where id = %d", name, id),
        msg::kCannotUpdate);
}

bool CBookDatabase::UpdateType(int id, const std::string& name) {
    return ExecuteStatement(FormatStatement("UPDATE types set tip = '%s' where id = %d", name, id),
                            msg::kCannotUpdate);
}

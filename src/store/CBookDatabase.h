#pragma once

#include "store/BookRecord.h"
#include "store/CEngineDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/MessageSink.h"

#include <cstdint>
#include <memory>
#include <string>

// The connection to one catalogue file and every fixed statement of the program. Each
// operation reports its own failure message once through the sink and returns its failure
// value; path and open flag stay as they were after a failure.
class CBookDatabase {
public:
    explicit CBookDatabase(MessageSink sink);
    // Where this catalogue's messages go, for the pieces that work beside it.
    const MessageSink& Sink() const { return m_sink; }
    virtual ~CBookDatabase();

    bool Create(const std::string& path);
    void CreateTables();
    // Read-only, every change is refused with its message and the file stays as it is.
    bool Open(const std::string& path, bool readOnly = false);
    bool Close();
    bool IsOpen() const { return m_bOpen; }
    std::string GetPath() const { return m_strPath; }

    bool InsertBook(const std::string& titlu, const std::string& autor, const std::string& editura,
                    int tip, int pagini, int capitole, int volume, int publicare,
                    int publicare_volum, int citita, int calificativ, int stare);
    bool UpdateBook(int id, const std::string& titlu, const std::string& autor,
                    const std::string& editura, int tip, int pagini, int capitole, int volume,
                    int publicare, int publicare_volum, int citita, int calificativ, int stare);
    bool DeleteBook(int id);
    std::int32_t FindBookId(const std::string& titlu);
    // Identifier the catalogue gave the row inserted last on this connection.
    std::int32_t GetLastInsertedId() const;

    // Every book by title, for the readers that take them all; the list reads its listings
    // through ListingQuery.
    std::unique_ptr<CEngineRecordset> SelectAllBooks(RecordReading reading = RecordReading::Whole);
    std::unique_ptr<CEngineRecordset> SelectAuthors();
    std::unique_ptr<CEngineRecordset> SelectPublishers();
    std::unique_ptr<CEngineRecordset> OpenQuery(const std::string& text,
                                                RecordReading reading = RecordReading::Whole);

    bool InsertState(const std::string& name);
    bool InsertType(const std::string& name);
    bool DeleteState(int id);
    bool DeleteType(int id);
    bool UpdateState(int id, const std::string& name);
    bool UpdateType(int id, const std::string& name);

    // Runs a statement of the program's own, reporting `failure` when the engine refuses it.
    bool ExecuteStatement(const std::string& sql, const char* failure);
    CEngineDatabase& Engine() { return m_db; }
    // What made the last failed operation fail, in words for the user ("the disk is full").
    const std::string& LastFailure() const { return m_lastFailure; }

private:
    void Report(const std::string& message) const;

    std::string m_strPath;
    std::string m_lastFailure;
    bool m_bOpen = false;
    CEngineDatabase m_db;
    MessageSink m_sink;
};

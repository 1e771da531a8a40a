#pragma once

#include "store/BookRecord.h"
#include "store/CBookDatabase.h"
#include "support/Messages.h"
#include "support/RawCatalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

// Rows as RawCatalogue lists them, or messages as the core reports them.
using Texts = std::vector<std::string>;

// A file's bytes as they are on disk; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline QByteArray FileBytes(const std::string& path) {
    return FileBytes(QString::fromStdString(path));
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Collects the messages the core reports, in order.
// The titles a statement lists, in its order; "not listed" when it fails.
inline std::vector<std::string> ListedTitles(CBookDatabase& db, const std::string& statement) {
    auto set = db.OpenQuery(statement);
    if (!set) {
        return {"not listed"};
    }
    std::vector<std::string> titles;
    for (set->MoveFirst(); !set->IsEOF(); set->MoveNext()) {
        titles.push_back(set->GetText("titlu"));
    }
    return titles;
}

struct RecordingSink {
    std::vector<std::string> messages;
    MessageSink sink() {
        return [this](const std::string& m) { messages.push_back(m); };
    }
    std::vector<std::string> take() {
        auto out = std::move(messages);
        messages.clear();
        return out;
    }
};

// A catalogue file with its three tables in a temporary folder.
struct TestCatalogue {
    QTemporaryDir dir;
    RecordingSink messages;
    std::unique_ptr<CBookDatabase> db;

    explicit TestCatalogue(const char* name = "test.mdb") {
        db = std::make_unique<CBookDatabase>(messages.sink());
        db->Create(path(name));
        db->CreateTables();
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    // Stores a book as the record commands do: type and state minus one.
    bool add(const BookRecord& r) {
        return db->InsertBook(r.titlu, r.autor, r.editura, StoredLookupValue(r.tip), r.pagini,
                              r.capitole, r.volume, r.publicare, r.publicare_volum, r.citita,
                              r.calificativ, StoredLookupValue(r.stare));
    }
};

// The numbers of a book a test makes: a type and a state of identifier 1, not read, every
// count 1; a test names only those it needs otherwise.
struct BookNumbers {
    std::int32_t tip = 1;
    std::int32_t pagini = 1;
    std::int32_t capitole = 1;
    std::int32_t volume = 1;
    std::int32_t publicare = 1;
    std::int32_t publicare_volum = 1;
    std::int32_t citita = 0;
    std::int32_t calificativ = 6;
    std::int32_t stare = 1;
};

inline BookRecord MakeBook(std::string titlu, std::string autor = "Autor",
                           std::string editura = "Editura", const BookNumbers& n = {}) {
    return BookRecord{0,           std::move(titlu),  std::move(autor), std::move(editura),
                      n.tip,       n.pagini,          n.capitole,       n.volume,
                      n.publicare, n.publicare_volum, n.citita,         n.calificativ,
                      n.stare};
}

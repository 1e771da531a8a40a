#include "BenchCatalogue.h"

#include "isbn/IsbnCode.h"
#include "store/CBookDatabase.h"
#include "store/FixedNames.h"
#include "store/LoanSchema.h"
#include "store/StatementFormat.h"
#include "transfer/Csv.h"

#include <QDir>
#include <QFile>
#include <fstream>
#include <random>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::pair<std::string, std::string>> ReadTitles(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    CsvReader reader(text);
    auto header = reader.Next();
    if (!header) {
        throw std::runtime_error("empty titles file");
    }
    int title = -1;
    int author = -1;
    for (std::size_t i = 0; i < header->fields.size(); ++i) {
        const std::string& h = header->fields[i];
        if (h == "title" || h == "Title") {
            title = static_cast<int>(i);
        } else if (h == "authors" || h == "author" || h == "Author") {
            author = static_cast<int>(i);
        }
    }
    if (title < 0 || author < 0) {
        throw std::runtime_error("the titles file needs a title and an author column");
    }
    std::vector<std::pair<std::string, std::string>> out;
    while (auto r = reader.Next()) {
        if (static_cast<int>(r->fields.size()) > std::max(title, author)) {
            // The catalogue holds texts of at most 255 characters.
            out.emplace_back(r->fields[static_cast<std::size_t>(title)].substr(0, 200),
                             r->fields[static_cast<std::size_t>(author)].substr(0, 200));
        }
    }
    return out;
}

const char* kWords[] = {"Noaptea",    "Ștefan", "O'Brien's", "Dune",    "Ion",
                        "Pădurea",    "Casa",   "Lumina",    "Tăcerea", "Zola",
                        "l'Étranger", "Război", "Pace",      "Marea",   "Ţara",
                        "Cartea",     "Vântul", "Umbra",     "Focul",   "Drumul"};
const char* kNames[] = {"Eminescu", "Creangă", "O'Neill", "Rebreanu",    "Sadoveanu",
                        "Zola",     "Hugo",    "Tolstoi", "Dostoievski", "Caragiale",
                        "Preda",    "Blaga",   "Arghezi", "Eliade",      "Cărtărescu",
                        "Herbert",  "Asimov",  "Le Guin", "Müller",      "Ñúñez"};
const char* kPublishers[] = {"Humanitas", "Polirom", "Nemira",  "Minerva", "Univers",
                             "Art",       "Litera",  "Paladin", "Corint",  "Editura d'Azur"};

void Insert(sqlite3* db, const std::vector<BenchBook>& books) {
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 1; i <= kBenchTypes; ++i) {
        const std::string sql = "INSERT INTO types(tip) VALUES ('" +
                                g_defaultTypeNames[static_cast<std::size_t>(i - 1)] + "')";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    for (int i = 1; i <= kBenchStates; ++i) {
        const std::string sql = "INSERT INTO states(stare) VALUES ('" +
                                g_defaultStateNames[static_cast<std::size_t>(i - 1)] + "')";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(
            db,
            "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,publicare,"
            "publicare_volum,citita,calificativ,stare) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
            -1, &st, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
    for (const BenchBook& b : books) {
        sqlite3_bind_text(st, 1, b.titlu.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, b.autor.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, b.editura.c_str(), -1, SQLITE_STATIC);
        const int numbers[] = {b.tip,    b.pagini,      b.capitole,
                               b.volume, b.publicare,   b.publicare_volum,
                               b.citita, b.calificativ, b.stare};
        for (int k = 0; k < 9; ++k) {
            sqlite3_bind_int(st, 4 + k, numbers[k]);
        }
        if (sqlite3_step(st) != SQLITE_DONE) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

} // namespace

std::vector<BenchBook> MakeBenchBooks(int count, const std::string& titlesCsv) {
    std::mt19937 rng(20261206);
    const auto titles = titlesCsv.empty() ? std::vector<std::pair<std::string, std::string>>{}
                                          : ReadTitles(titlesCsv);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::vector<BenchBook> books;
    books.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        BenchBook b{};
        if (!titles.empty()) {
            const auto& t = titles[static_cast<std::size_t>(i) % titles.size()];
            b.titlu = t.first;
            b.autor = t.second;
        } else {
            b.titlu =
                std::string(kWords[pick(20)]) + " " + kWords[pick(20)] + " " + std::to_string(i);
            b.autor = std::string(kNames[pick(20)]) + " " + std::to_string(pick(2000));
        }
        b.editura = kPublishers[pick(10)];
        b.tip = pick(kBenchTypes);
        b.stare = pick(kBenchStates);
        b.pagini = 40 + pick(900);
        b.capitole = 1 + pick(60);
        b.volume = 1 + (pick(10) == 0 ? pick(5) : 0);
        b.publicare = pick(50) == 0 ? -pick(800) : 1600 + pick(425);
        b.publicare_volum = std::max(b.publicare, 1900) + pick(100);
        b.citita = pick(3) == 0 ? 1 : 0;
        b.calificativ = b.citita ? pick(6) : 6;
        books.push_back(std::move(b));
    }
    return books;
}

void WriteProgramCatalogue(const std::string& path, const std::vector<BenchBook>& books) {
    CBookDatabase db([](const std::string& m) { throw std::runtime_error(m); });
    db.Create(path);
    db.CreateTables();
    Insert(db.Engine().Handle(), books);
    db.Close();
}

void WriteReferenceCatalogue(const std::string& path, const std::vector<BenchBook>& books) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const char* schema =
        "CREATE TABLE books(id INTEGER PRIMARY KEY AUTOINCREMENT, titlu TEXT, autor TEXT, editura "
        "TEXT,"
        " tip INTEGER, pagini INTEGER, capitole INTEGER, volume INTEGER, publicare INTEGER,"
        " publicare_volum INTEGER, citita INTEGER, calificativ INTEGER, stare INTEGER);"
        "CREATE TABLE states(id INTEGER PRIMARY KEY AUTOINCREMENT, stare TEXT);"
        "CREATE TABLE types(id INTEGER PRIMARY KEY AUTOINCREMENT, tip TEXT);"
        "CREATE INDEX books_titlu ON books(titlu); CREATE INDEX books_autor ON books(autor);"
        "CREATE INDEX books_editura ON books(editura);";
    sqlite3_exec(db, schema, nullptr, nullptr, nullptr);
    std::vector<BenchBook> stored = books;
    for (BenchBook& b : stored) {
        b.citita = b.citita ? -1 : 0;
    }
    Insert(db, stored);
    sqlite3_close(db);
}

namespace {

void AddLoans(const std::string& path, const std::string& schema, const std::string& today) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::string fill = FormatStatement(
        "INSERT INTO loans(book, title, borrower, lent, due) SELECT id, titlu, 'Cititor ' || (id "
        "%% 97), date('%s', '-' || (id %% 60) || ' days'), CASE WHEN id %% 5 <> 0 THEN date('%s', "
        "'-' || (id %% 60) || ' days', '+30 days') END FROM books WHERE id %% 10 = 0",
        today, today);
    for (const std::string& sql : {std::string("BEGIN"), schema, fill, std::string("COMMIT")}) {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string("cannot add loans: ") + sqlite3_errmsg(db));
        }
    }
    sqlite3_close(db);
}

} // namespace

void AddProgramLoans(const std::string& path, const std::string& today) {
    AddLoans(path, std::string(kCreateLoansTable) + ";" + kCreateOpenLoanIndex, today);
}

void AddReferenceLoans(const std::string& path, const std::string& today) {
    AddLoans(path,
             "CREATE TABLE loans(id INTEGER PRIMARY KEY AUTOINCREMENT, book INTEGER, title TEXT, "
             "borrower TEXT, lent TEXT, due TEXT, returned TEXT); CREATE UNIQUE INDEX loans_open "
             "ON loans(book) WHERE returned IS NULL",
             today);
}

std::vector<std::string> WriteBenchAnswers(const QString& folder, int count) {
    std::vector<std::string> isbns;
    for (long long body = 978000000000LL; static_cast<int>(isbns.size()) < count; body += 7) {
        // The one check digit that makes the twelve digits an ISBN.
        for (int check = 0; check < 10; ++check) {
            const std::string isbn = std::to_string(body) + std::to_string(check);
            if (CheckIsbn(isbn).problem == IsbnProblem::None) {
                isbns.push_back(isbn);
                break;
            }
        }
    }
    for (std::size_t i = 0; i < isbns.size(); ++i) {
        QFile answer(QDir(folder).filePath(QString::fromStdString(isbns[i]) + ".json"));
        if (!answer.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot write a bench answer");
        }
        answer.write(
            QStringLiteral("{\"ISBN:%1\": {\"title\": \"Cartea %2\", \"authors\": [{\"name\": "
                           "\"Autorul %2\"}], \"publishers\": [{\"name\": \"Editura %3\"}], "
                           "\"number_of_pages\": %4, \"publish_date\": \"%5\"}}")
                .arg(QString::fromStdString(isbns[i]))
                .arg(i)
                .arg(i % 40)
                .arg(100 + i % 500)
                .arg(1950 + i % 70)
                .toUtf8());
    }
    return isbns;
}

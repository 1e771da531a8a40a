#include "complete/CatalogueCompletion.h"
#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"

#include <QTest>

// Filling what a catalogue lacks from what the libraries know: what is proposed, what is
// checked, what one step writes and takes back.
namespace {

LookupRecord Found(std::string titlu, std::string autor, std::string editura, std::int32_t pagini,
                   std::int32_t an, std::string serie = {}, std::int32_t numar = kUnknownNumber) {
    LookupRecord r;
    r.titlu = std::move(titlu);
    r.autor = std::move(autor);
    r.editura = std::move(editura);
    r.pagini = pagini;
    r.publicare_volum = an;
    r.serie = std::move(serie);
    r.numar_serie = numar;
    return r;
}

// "field|now|proposed|checked" for each proposal.
QStringList Told(const std::vector<CompletionProposal>& proposals) {
    QStringList out;
    for (const CompletionProposal& p : proposals) {
        out << QString::fromStdString(std::string(CompletedFieldName(p.field)) + "|" + p.now + "|" +
                                      p.proposed + "|" + (p.checked ? "x" : "-"));
    }
    return out;
}

} // namespace

class TestCompletion : public QObject {
    Q_OBJECT
private slots:
    // An empty field is filled and checked; a field the user filled is offered unchecked; what
    // the source does not know, what it says alike and what the catalogue cannot hold is not
    // proposed; 0 counts as unknown.
    void proposalsFillWhatIsMissingAndOfferTheRest() {
        TestCatalogue c;
        QVERIFY(
            c.add(MakeBook("Ion", "Liviu Rebreanu", "", {.pagini = 0, .publicare_volum = 1980})));
        QVERIFY(RawCatalogue(c.path("test.mdb")).exec("UPDATE books SET publicare = NULL"));
        const StoredBook book = *ReadStoredBook(*c.db, 1);
        QCOMPARE(Told(ProposeCompletion(book,
                                        Found("Ion", "Liviu Rebreanu", "Minerva", 400, 1975,
                                              "Biblioteca pentru toti", 12),
                                        "Open Library", false)),
                 (QStringList{"Editura||Minerva|x", "Pagini||400|x", "Publicare volum|1980|1975|-",
                              "Serie||Biblioteca pentru toti|x", "Numar in serie||12|x"}));
        // Found by title and author only: nothing checked. A page count too large for the
        // catalogue is not proposed.
        QCOMPARE(Told(ProposeCompletion(
                     book, Found("ION", "Liviu Rebreanu", "Minerva", 40000, kUnknownNumber),
                     "Open Library", true)),
                 (QStringList{"Titlu|Ion|ION|-", "Editura||Minerva|-"}));
        QVERIFY(SameTitleAndAuthor("Padurea spanzuratilor", "Liviu Rebreanu",
                                   Found("Pădurea spânzuraților", "LIVIU REBREANU", "", 0, 0)));
        QVERIFY(!SameTitleAndAuthor("Padurea spanzuratilor", "Liviu Rebreanu",
                                    Found("Padurea spanzuratilor", "Mihail Sadoveanu", "", 0, 0)));
        QVERIFY(!SameTitleAndAuthor("Ion", "", Found("Ion", "", "", 0, 0)));
    }

    // "Aplica" writes the checked proposals in one transaction as one step: a book another
    // program changed meanwhile is skipped and named, the others' every other column stays, and
    // the step taken back restores every field, the details row made for a series included.
    void oneStepWritesAndTakesBackEveryField() {
        TestCatalogue c;
        for (const char* title : {"Ion", "Dune", "Baltagul"}) {
            QVERIFY(c.add(MakeBook(title, "Autor", "", {.pagini = 0})));
        }
        RawCatalogue raw(c.path("test.mdb"));
        const char* all = "SELECT * FROM books ORDER BY id";
        const auto before = raw.rows(all);
        std::map<std::int32_t, StoredBook> seen;
        std::vector<CompletionProposal> proposals;
        for (std::int32_t id : {1, 2, 3}) {
            seen[id] = *ReadStoredBook(*c.db, id);
            for (const CompletionProposal& p : ProposeCompletion(
                     seen[id], Found("", "", "Polirom", 321, kUnknownNumber, "Seria", 2), "SRU",
                     false)) {
                proposals.push_back(p);
            }
        }
        proposals[1].checked = false; // the user unticks the first book's pages
        QVERIFY(raw.exec("UPDATE books SET autor = 'Altul' WHERE id = 2"));
        const auto result = ApplyCompletion(*c.db, seen, proposals, c.messages.sink());
        QVERIFY(result);
        QCOMPARE(result->skipped, std::vector<std::string>{"Dune"});
        QCOMPARE(result->fields, 7);
        QCOMPARE(QString::fromStdString(CompletionStepText(*result)),
                 QStringLiteral("Anuleaza completarea: 7 campuri in 2 carti"));
        QCOMPARE(raw.rows("SELECT id, editura, pagini FROM books ORDER BY id"),
                 (Texts{"1|Polirom|0", "2||0", "3|Polirom|321"}));
        QCOMPARE(raw.rows("SELECT id, serie, numar_serie FROM book_details ORDER BY id"),
                 (Texts{"1|Seria|2", "3|Seria|2"}));
        QVERIFY(UndoBookChanges(*c.db, result->changes, c.messages.sink()));
        QVERIFY(raw.exec("UPDATE books SET autor = 'Autor' WHERE id = 2"));
        QCOMPARE(raw.rows(all), before);
        QCOMPARE(raw.rows("SELECT count(*) FROM book_details"), Texts{"0"});
        QVERIFY(RedoBookChanges(*c.db, result->changes, c.messages.sink()));
        QCOMPARE(raw.rows("SELECT id, editura FROM books WHERE editura <> '' ORDER BY id"),
                 (Texts{"1|Polirom", "3|Polirom"}));
        // A step whose book was changed since is refused whole.
        QVERIFY(raw.exec("UPDATE books SET pagini = 5 WHERE id = 3"));
        QVERIFY(!UndoBookChanges(*c.db, result->changes, c.messages.sink()));
        QCOMPARE(raw.rows("SELECT id, editura FROM books WHERE editura <> '' ORDER BY id"),
                 (Texts{"1|Polirom", "3|Polirom"}));
        QCOMPARE(c.messages.messages.back(), std::string(kChangedElsewhere));
    }
};

QTEST_MAIN(TestCompletion)
#include "tst_completion.moc"

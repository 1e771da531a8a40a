#include "view/QuickFilter.h"

#include <QTest>

namespace {
RowTexts Row(const char* titlu, const char* autor, const char* editura = "E",
             const char* tip = "Roman", const char* stare = "Acasa") {
    return RowTexts{"", titlu, autor, editura, tip, "", "", "", "", "", "", "", stare};
}
} // namespace

class TestQuickFilter : public QObject {
    Q_OBJECT
private slots:
    void matching_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        auto row = [](const char* name, const char* typed, const QString& text, bool found) {
            QTest::newRow(name) << QString::fromUtf8(typed) << text << found;
        };
        row("case", "DICKENS", "Charles Dickens", true);
        row("part of a word", "dick", "Charles Dickens", true);
        row("Romanian accents", "padurea spanzuratilor", "Pădurea spânzuraților", true);
        row("accents typed, none stored", "ȘTEFAN", "stefan", true);
        row("cedilla typed, comma below stored", "şţ", "ȘȚ", true);
        row("comma below typed, cedilla stored", "ș ț", "Ştefan Ţara", true);
        row("other European accents", "bronte noel gotz", "Brontë Noël Götz", true);
        row("words in any order", "dickens charles", "Charles Dickens", true);
        row("a word in the middle of another", "ark", "Dark Tower", true);
        row("one word missing", "charles tolstoi", "Charles Dickens", false);
        row("no match", "zola", "Charles Dickens", false);
        row("empty filter", "", "Charles Dickens", true);
        row("only blanks", "   ", "Charles Dickens", true);
        row("bytes that are no UTF-8", "bad", QString::fromLatin1("bad\xff"), true);
    }

    void matching() {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(bool, found);
        BookRowTable rows;
        rows.AppendRow(Row("Titlu", text.toStdString().c_str()));
        FilterIndex index;
        index.Build(rows, {});
        QCOMPARE(index.Matching(FilterWords(typed.toStdString())).size(), found ? 1u : 0u);
    }

    void everyShownColumnCountsAndNoWordSpansTwo() {
        BookRowTable rows;
        rows.AppendRow(Row("Ion", "Rebreanu", "Minerva", "Roman", "Acasa"));
        rows.AppendRow(Row("Dune", "Herbert", "Nemira", "SF", "Imprumutata"));
        FilterIndex index;
        index.Build(rows, {});
        auto match = [&](const char* typed) { return index.Matching(FilterWords(typed)); };
        QCOMPARE(match("minerva"), std::vector<int>{0});
        QCOMPARE(match("sf"), std::vector<int>{1});
        QCOMPARE(match("imprum"), std::vector<int>{1});
        QCOMPARE(match("ionrebreanu"), std::vector<int>{});
        // Rows added and rewritten after the index was made are searched as they are now.
        index.Append(Row("Ion", "Creanga"), {});
        index.Update(1, Row("Dune", "Frank Herbert", "Nemira", "SF", "Acasa"), {});
        QCOMPARE(match("ion"), (std::vector<int>{0, 2}));
        QCOMPARE(match("frank"), std::vector<int>{1});
        QCOMPARE(match("imprum"), std::vector<int>{});
    }

    void theIsbnAndTheLocationAreSearched_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::vector<int>>("rows");
        QTest::newRow("13 digits") << "9780451450523" << std::vector<int>{0};
        QTest::newRow("13 with hyphens") << "978-0-451-45052-3" << std::vector<int>{0};
        QTest::newRow("the ISBN-10 on an older book") << "0451450523" << std::vector<int>{0};
        QTest::newRow("ISBN-10 with hyphens") << "0-451-45052-3" << std::vector<int>{0};
        QTest::newRow("ISBN-10 ending in X") << "0-8044-2957-x" << std::vector<int>{2};
        QTest::newRow("part of the digits") << "45052" << std::vector<int>{0};
        QTest::newRow("a wrong check digit") << "978-0-451-45052-4" << std::vector<int>{};
        QTest::newRow("a 979 has no ISBN-10") << "1032109874" << std::vector<int>{};
        QTest::newRow("location, accents ignored") << "SUFRAGERIE" << std::vector<int>{1};
        QTest::newRow("location and title") << "raftul ion" << std::vector<int>{1};
        QTest::newRow("a hyphen in a title is a hyphen") << "1984-1990" << std::vector<int>{2};
        QTest::newRow("a word never spans ISBN and location") << "0523raftul" << std::vector<int>{};
    }
    void theIsbnAndTheLocationAreSearched() {
        QFETCH(QString, typed);
        QFETCH(std::vector<int>, rows);
        const std::tuple<const char*, const char*, const char*, const char*> books[] = {
            {"Dune", "Herbert", "9780451450523", "Raftul 2"},
            {"Ion", "Rebreanu", "9791032109878", "Raftul 3, sufragerie"},
            {"Jurnal 1984-1990", "Anonim", "9780804429573", ""}};
        std::vector<RowTexts> texts;
        ListedDetails listed;
        for (int id = 7; const auto& [titlu, autor, isbn, locatie] : books) {
            texts.push_back(Row(titlu, autor));
            texts.back()[0] = FormatBookId(id);
            BookDetails details;
            details.isbn = isbn;
            details.locatie = locatie;
            listed.Set(id++, details);
        }
        BookRowTable table;
        table.AppendRow(texts[0]);
        table.AppendRow(texts[1]);
        FilterIndex index;
        index.Build(table, listed);
        // A row added later is searched with its details too.
        index.Append(texts[2], listed.Of(9));
        QCOMPARE(index.Matching(FilterWords(typed.toStdString())), rows);
    }
};

QTEST_APPLESS_MAIN(TestQuickFilter)
#include "tst_quickfilter.moc"

#include "store/FixedNames.h"
#include "store/LookupList.h"
#include "store/StarterLookups.h"
#include "support/CoreTestSupport.h"

class TestLookupList : public QObject {
    Q_OBJECT
private slots:
    void reloadsInNameOrder() {
        TestCatalogue c;
        for (const char* t : {"SF", "Clasic", "Poezii"}) {
            QVERIFY(c.db->InsertType(t));
        }
        QVERIFY(c.db->InsertState("Timisoara"));
        QVERIFY(c.db->InsertState("Hateg"));
        LookupList types;
        LookupList states;
        ReloadLookupList(*c.db, LookupKind::Types, kReloadTypesStatement, types);
        ReloadLookupList(*c.db, LookupKind::States, kReloadStatesStatement, states);
        QCOMPARE(types.GetSize(), 3);
        QCOMPARE(types.GetAt(0).GetName(), std::string("Clasic"));
        QCOMPARE(types.GetAt(0).GetId(), 2);
        QCOMPARE(types.GetAt(2).GetName(), std::string("SF"));
        QCOMPARE(states.GetAt(0).GetName(), std::string("Hateg"));
        QCOMPARE(states.GetAt(0).GetId(), 2);
        QVERIFY(c.messages.messages.empty());
    }

    void reloadWithoutACatalogueReportsTwiceAndLeavesBothEmpty() {
        RecordingSink sink;
        CBookDatabase closed(sink.sink());
        LookupList types;
        types.Add(LookupEntry(1, "old"));
        LookupList states;
        ReloadLookupList(closed, LookupKind::Types, kReloadTypesStatement, types);
        ReloadLookupList(closed, LookupKind::States, kReloadStatesStatement, states);
        QCOMPARE(types.GetSize(), 0);
        QCOMPARE(states.GetSize(), 0);
        QCOMPARE(sink.take(), Texts(2, shown::kSelectFailed));
    }

    void findsByExactNameAndById() {
        LookupList list;
        list.Add(LookupEntry(5, "Roman"));
        list.Add(LookupEntry(3, "Roman"));
        list.Add(LookupEntry(9, "roman"));
        QCOMPARE(list.FindIdByName("Roman"), 5);
        QCOMPARE(list.FindIdByName("ROMAN"), -1);
        QCOMPARE(list.FindIndexById(3), 1);
        QCOMPARE(list.FindIndexById(4), -1);
        QCOMPARE(LookupList().FindIndexById(0), -1);
        list.RemoveAt(0);
        QCOMPARE(list.FindIdByName("Roman"), 3);
        list.RemoveAt(7); // outside the list: nothing happens
        QCOMPARE(list.GetSize(), 2);
    }

    // A catalogue without types or states is offered these, edited one name a line.
    void theStarterSetAsTypedFillsOnlyAnEmptyListWhollyOrNotAtAll() {
        QCOMPARE(Texts(g_starterTypeNames.begin(), g_starterTypeNames.end()),
                 (Texts{"Roman", "Poezie", "Teatru", "Eseu", "Istorie", "Stiinta", "Copii",
                        "Manual", "Altele"}));
        QCOMPARE(Texts(g_starterStateNames.begin(), g_starterStateNames.end()),
                 (Texts{"Buna", "Uzata", "Deteriorata", "Imprumutata", "Pierduta"}));
        QCOMPARE(NamesFromLines("  Roman \n\nPoezie\r\nRoman\n \t\nroman\nBiografii"),
                 (Texts{"Roman", "Poezie", "roman", "Biografii"}));
        QCOMPARE(NamesFromLines(""), Texts{});

        TestCatalogue c;
        const RawCatalogue raw(c.path("test.mdb"));
        const std::string both = "SELECT 'T ' || tip FROM types UNION ALL "
                                 "SELECT 'S ' || stare FROM states";
        // A name the catalogue refuses keeps out the whole set.
        QVERIFY(!AddStarterLookups(*c.db, {"Roman"}, {"Buna", std::string(256, 'x')}));
        QCOMPARE(c.messages.take(), Texts{shown::kCannotInsert});
        QCOMPARE(raw.rows(both), Texts{});
        QVERIFY(c.db->InsertState("Hateg"));
        QVERIFY(AddStarterLookups(*c.db, {"Roman", "Eseu"}, {"Buna"}));
        QCOMPARE(raw.rows(both), (Texts{"T Roman", "T Eseu", "S Hateg"}));
        QVERIFY(AddStarterLookups(*c.db, {"Poezie"}, {"Uzata"}));
        QCOMPARE(raw.rows(both), (Texts{"T Roman", "T Eseu", "S Hateg"}));
        QVERIFY(c.messages.messages.empty());
    }
};

QTEST_APPLESS_MAIN(TestLookupList)
#include "tst_lookuplist.moc"

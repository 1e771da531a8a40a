#pragma once

#include "support/CoreTestSupport.h"

#include <QString>
#include <initializer_list>

// A closed catalogue for GUI tests: types "SF" (1), "Clasic" (2) and state "Acasa" (1), four
// books of every kind and any `extra` ones, ready for the program to open.
struct Library {
    TestCatalogue c;
    QString path;

    explicit Library(std::initializer_list<BookRecord> extra = {}) {
        c.db->InsertType("SF");
        c.db->InsertType("Clasic");
        c.db->InsertState("Acasa");
        BookRecord dune = MakeBook("Dune", "Herbert", "Nemira");
        dune.pagini = 600;
        dune.publicare = 1965;
        dune.publicare_volum = 2003;
        dune.citita = 1;
        dune.calificativ = 0;
        BookRecord ion = MakeBook("Ion", "Rebreanu", "Minerva");
        ion.tip = 2;
        ion.pagini = 400;
        ion.publicare = 1920;
        ion.publicare_volum = 1980;
        ion.calificativ = 6;
        BookRecord odyssey = MakeBook("Odiseea", "Homer", "Univers");
        odyssey.pagini = 300;
        odyssey.publicare = -700;
        odyssey.publicare_volum = 1970;
        odyssey.citita = 1;
        odyssey.calificativ = 2;
        BookRecord lost = MakeBook("Abandonata", "Nimeni", "Nicio");
        lost.tip = 9;   // no such type
        lost.stare = 4; // no such state
        lost.publicare = 2001;
        lost.publicare_volum = 2002;
        for (const BookRecord& r : {dune, ion, odyssey, lost}) {
            c.add(r);
        }
        for (const BookRecord& r : extra) {
            c.add(r);
        }
        path = QString::fromStdString(c.path("test.mdb"));
        c.db->Close();
    }

    std::string file() const { return path.toStdString(); }
};

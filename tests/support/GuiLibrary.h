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
        for (const BookRecord& r :
             {MakeBook("Dune", "Herbert", "Nemira",
                       {.pagini = 600,
                       .publicare = 1965,
                       .publicare_volum = 2003,
                       .citita = 1,
                       .calificativ = 0}),
              MakeBook("Ion", "Rebreanu", "Minerva",
                       {.tip = 2, .pagini = 400, .publicare = 1920, .publicare_volum = 1980}),
              MakeBook("Odiseea", "Homer", "Univers",
                       {.pagini = 300,
                       .publicare = -700,
                       .publicare_volum = 1970,
                       .citita = 1,
                       .calificativ = 2}),
              // No such type or state.
              MakeBook("Abandonata", "Nimeni", "Nicio",
                       {.tip = 9, .publicare = 2001, .publicare_volum = 2002, .stare = 4})}) {
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

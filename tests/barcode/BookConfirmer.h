#pragma once

#include "support/GuiDriver.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

// Confirms every book dialog that comes up while it lives, under a title of its own, noting the
// ISBN each showed: pictures read off the window's thread bring the dialogs up one after another
// at their own time. A dialog is marked, since the next may take its address.
struct BookConfirmer {
    QTimer timer;
    QStringList isbns;

    BookConfirmer() {
        timer.callOnTimeout([this] {
            QWidget* dlg = QApplication::activeModalWidget();
            if (dlg && dlg->findChild<QLineEdit*>("titlu") &&
                !dlg->property("confirmed").toBool()) {
                dlg->setProperty("confirmed", true);
                isbns << Value(dlg, "isbn");
                TypeInto(dlg, "titlu", "Carte " + QString::number(isbns.size()));
                TypeInto(dlg, "autor", "Autor");
                TypeInto(dlg, "editura", "Editura");
                Press(dlg, "ok");
            }
        });
        timer.start(20);
    }
};

#pragma once

#include "lookup/LookupRecord.h"

#include <QString>
#include <QStringList>

// A number as the tests write it: empty when unknown.
inline QString NumberText(std::int32_t number) {
    return IsUnknown(number) ? QString() : QString::number(number);
}

// "titlu|autor|editura|pagini|publicare|publicare_volum|serie|numar_serie", unknowns empty;
// "|coverUrl" after them when asked.
inline QString RecordRow(const LookupRecord& book, bool withCover = false) {
    QStringList row{QString::fromStdString(book.titlu),   QString::fromStdString(book.autor),
                    QString::fromStdString(book.editura), NumberText(book.pagini),
                    NumberText(book.publicare),           NumberText(book.publicare_volum),
                    QString::fromStdString(book.serie),   NumberText(book.numar_serie)};
    if (withCover) {
        row << QString::fromStdString(book.coverUrl);
    }
    return row.join('|');
}

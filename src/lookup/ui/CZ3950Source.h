#pragma once

#include "isbn/LookupCache.h"
#include "lookup/ui/CLookupSource.h"
#include "lookup/ui/CZ3950Search.h"

#include <QStringList>

// A library catalogue asked over Z39.50 (`host:port/database`), one search at a time: its MARC 21
// or UNIMARC record read as a cataloguer wrote it. Asked with the 13 digits, then with the
// ISBN-10 when that finds nothing. What it answered is kept under a folder of its own.
class CZ3950Source : public CLookupSource {
    Q_OBJECT
public:
    CZ3950Source(LookupSource source, LookupEnvironment environment, QObject* parent);
    void Ask(const QString& isbn13) override;

private:
    LookupCache Cache() const;
    // Searches for the next waiting ISBN when no search is out.
    void Next();
    void Done(const QString& asked, const QByteArray& marcXml, const QString& failure);
    // Tells what `marcXml` says of the book; false when it cannot be read.
    bool Tell(const QString& isbn13, const QByteArray& marcXml);

    CZ3950Search m_search;
    QStringList m_waiting;
    QString m_out;      // the book searched for now
    QString m_outAsked; // as it was asked: its 13 digits or its ISBN-10
};

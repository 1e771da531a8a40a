#pragma once

#include "lookup/ui/CWebSource.h"

// A library catalogue asked over SRU: its MARC 21 or UNIMARC record read as a cataloguer wrote it.
// Asked with the 13 digits, then with the ISBN-10 when that finds nothing (a library may have
// catalogued the book before 2007). What it answered is kept under a folder of its own.
class CSruSource : public CWebSource {
    Q_OBJECT
public:
    CSruSource(LookupSource source, LookupEnvironment environment, QObject* parent);
    void Ask(const QString& isbn13) override;

private:
    // Asks with `asked` (the 13 digits or the ISBN-10) for the book `isbn13`.
    void AskAs(const QString& isbn13, const QString& asked);
    // Tells what `xml` says of the book; false when it cannot be read.
    bool Tell(const QString& isbn13, const QByteArray& xml);
};

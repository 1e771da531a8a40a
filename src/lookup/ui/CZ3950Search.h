#pragma once

#include "lookup/MarcRecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// Asks one library catalogue over Z39.50 for the records of one ISBN, through YAZ's ZOOM API,
// without blocking the window. ZOOM's calls block, so each search runs on a thread of its own;
// nothing there touches a widget or this object, and the answer comes back as a queued signal.
//
// A search asks for the Bib-1 ISBN (`@attr 1=7 ISBN`) in the flavour's record syntax (USMARC or
// UNIMARC), full records, and takes at most the first kMostRecords of them; a record bigger than
// kLargestRecord, or one that YAZ cannot read as MARC, is left out. YAZ turns each record into
// MARCXML in UTF-8 (MARC 21 in MARC-8 is converted, in UTF-8 taken as it is; UNIMARC is read as
// UTF-8). A letter converted from MARC-8 is followed by its accent as a combining mark
// ("a" U+0306); ReadMarcXml (MarcXml.h) composes them.
class CZ3950Search : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostRecords = 3;
    static constexpr int kLargestRecord = 1024 * 1024; // bytes

    explicit CZ3950Search(QObject* parent = nullptr);

    // Searches `target` (`host:port/database`) for `isbn` (10 or 13 digits, the ISBN-10's last
    // maybe X). Done follows exactly once, always after this returns, at the latest `timeoutMs`
    // from now; a search that gave up may hold its thread for up to one more of YAZ's waits
    // (whole seconds), and its answer is dropped. Searches may overlap; Done names the ISBN.
    // Destroying this object drops the answers of searches still out.
    void Search(const QString& target, MarcFlavour flavour, const QString& isbn, int timeoutMs);

signals:
    // `marcXml`: the records found, as one MARCXML collection in UTF-8; empty when none.
    // `failure`: empty when the catalogue answered (found or not); else why not, in Romanian:
    // "catalogul nu poate fi contactat", "catalogul nu a raspuns la timp", "legatura cu catalogul
    // s-a intrerupt", "catalogul a refuzat conexiunea", "raspunsul catalogului nu poate fi citit"
    // (also when every record found was left out), "catalogul a refuzat cautarea (eroarea N)"
    // (a Bib-1 diagnostic), "cautarea in catalog a esuat (eroarea N)" (one of ZOOM's); and for a
    // request that cannot be asked at all "adresa catalogului nu este de forma gazda:port/baza"
    // or "ISBN gresit".
    void Done(const QString& isbn, const QByteArray& marcXml, const QString& failure);
};

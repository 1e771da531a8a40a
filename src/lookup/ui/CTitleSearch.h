#pragma once

#include "lookup/LookupRecord.h"
#include "lookup/ui/CPoliteFetcher.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <vector>

// Open Library's search by title and author
// (`/search.json?title=...&author=...&fields=title,author_name,publisher,first_publish_year`),
// for a book without an ISBN, as politely as the look-up asks.
class CTitleSearch : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const std::vector<LookupRecord>& hits, bool failed)>;

    explicit CTitleSearch(QObject* parent = nullptr);

    // The service's address and the contact the settings hold now.
    void UseSettings();
    // The works found, best first as the service ranks them: title, authors, first publisher and
    // the work's first year; none when it found none or could not be asked (`failed`). A search
    // already answered is told at once.
    void Search(const QString& title, const QString& author, Done done);
    // Searches that wait their turn are dropped, unanswered.
    void Abandon() { m_fetcher.Abandon(); }

private:
    CPoliteFetcher m_fetcher;
    QString m_address;
    // What each search found while the program runs: a search made again asks nothing.
    QHash<QString, std::vector<LookupRecord>> m_known;
};

// The works of a search answer; none when it is no such answer.
std::vector<LookupRecord> ReadTitleSearch(const QByteArray& json);

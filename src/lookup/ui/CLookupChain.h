#pragma once

#include "isbn/ui/LookupAnswer.h"
#include "lookup/LookupMerge.h"
#include "lookup/ui/CLookupSource.h"
#include "lookup/ui/CPoliteFetcher.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Looks a book up by its ISBN in the sources the user set, in their order: the first that knows
// its title gives it, and the fields still empty are filled from the next ones, asked only while
// something is missing; a field an earlier source gave is never replaced. A source that fails
// or does not answer in time is passed over. Without blocking, politely (see CPoliteFetcher), and
// keeping every source's answers on disk. Covers come only over the web, from the hosts of the
// sources in use.
class CLookupChain : public QObject {
    Q_OBJECT
public:
    explicit CLookupChain(QObject* parent = nullptr);
    ~CLookupChain() override;

    // The sources, in the order they are asked; by default Open Library alone.
    void SetSources(std::vector<LookupSource> sources);
    // The sources, the service's address, the contact and the key the settings hold now.
    void UseSettings();
    // Open Library's address, for every Open Library source (tests point it at a local server).
    void SetService(const QString& address);
    void SetCacheFolder(const QString& folder);
    // Milliseconds from any fixed moment; the rate limits count by it.
    void SetClock(std::function<qint64()> clock);
    void SetTimeout(int milliseconds);
    // Off for many books at once: their first years are taken only from what is cached, so a
    // thousand books cost a request per batch, not one more each.
    void SetFirstYears(bool ask);
    // How a service may reach the user (an e-mail address), sent with every request.
    void SetContact(const QString& contact);
    void SetGoogleKey(const QString& key);

    // Asks for the book with this ISBN (13 digits); Answered or Failed follows.
    void Lookup(const std::string& isbn13);
    // The same, saying nothing: what Lookup will want is kept, so that a pile scanned ahead is
    // looked up while the user confirms the book before.
    void Prefetch(const std::string& isbn13);
    // Fetches the cover at `url` for this ISBN; CoverReady follows, with a null image when there
    // is none to be had.
    void FetchCover(const std::string& isbn13, const QString& url);
    // The cover kept for this ISBN, or a null image.
    QImage CachedCover(const std::string& isbn13) const;

    // The user's cache folder for look-ups.
    static QString DefaultCacheFolder();

signals:
    void Answered(const QString& isbn13, const LookupAnswer& answer);
    void Failed(const QString& isbn13, const QString& reason);
    void CoverReady(const QString& isbn13, const QImage& cover);
    // A source asked to be left alone for `seconds`: the ISBN waits and is asked again then.
    void Paused(const QString& isbn13, int seconds);
    // A source refused the program (403): it may want to know who asks.
    void Refused(const QString& source);

private:
    struct Pending {
        MergedLookup merged;
        std::size_t asking = 0; // the source asked now
        bool told = true;       // false while asked ahead only
        bool answered = false;  // some source answered, if only "not found"
        QString failure;        // the first source's failure
    };
    void Begin(const std::string& isbn13, bool told);
    // Builds the sources anew when they or their setting changed and nothing is under way.
    void Build();
    // Asks the next source in use from `from` on, or ends.
    void AskFrom(const QString& isbn, std::size_t from);
    void OnFound(std::size_t source, const QString& isbn, const LookupRecord& record);
    void OnMissed(std::size_t source, const QString& isbn, const QString& failure);
    void Finish(const QString& isbn);
    bool MayFetchCover(const QUrl& url) const;
    void FetchCover(const QString& isbn, const QUrl& url, bool told);

    std::vector<LookupSource> m_settings;
    LookupEnvironment m_environment;
    QString m_service;
    std::vector<std::unique_ptr<CLookupSource>> m_sources;
    bool m_dirty = true;
    std::map<QString, Pending> m_pending;
    CPoliteFetcher m_covers;
};

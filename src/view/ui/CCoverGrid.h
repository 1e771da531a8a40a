#pragma once

#include <QCache>
#include <QImage>
#include <QListView>
#include <QSet>
#include <QString>
#include <QThreadPool>

class CShelfwardenView;

// View > Coperti: the listed books as a grid of covers, the title and author under each. It
// shows the list's own model through the list's own selection, so the quick filter, a search, the
// current statement and the books chosen are the list's. A book shows the cover the user chose,
// else the one a look-up fetched, else a card: its title on the colour of its type. Covers are
// asked for only as their books come on screen; each is made small once, on a worker thread,
// and kept in `thumbnails`, so the next time it is only read. Enter and a double-click open the
// book as in the list.
class CCoverGrid : public QListView {
    Q_OBJECT
public:
    CCoverGrid(CShelfwardenView* list, QWidget* parent = nullptr);
    ~CCoverGrid() override;

    // Where the look-up keeps the covers it fetched, and where the thumbnails go.
    void SetFolders(const QString& lookupCache, const QString& thumbnails);

    // The cover of the listed row, made small; a null image while it is being made or when the
    // book has none. Asks for it when it was not asked for yet.
    QImage Thumbnail(int row);
    // How many covers have been asked for since the listing changed.
    int Requested() const { return m_asked; }

    static constexpr int kThumbnailHeight = 180;

signals:
    // A thumbnail asked for came back (made, read, or none).
    void ThumbnailReady(qint32 book);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Forget();
    void Arrived(qint32 book, const QImage& thumbnail);

    CShelfwardenView* m_pList;
    QString m_lookupCache;
    QString m_thumbnails;
    QSet<qint32> m_pending;
    int m_asked = 0;
    QCache<qint32, QImage> m_shown;
    QThreadPool m_pool;
    // Each listing has its own generation: an answer for one gone is dropped.
    int m_generation = 0;
};

#include "view/ui/CCoverGrid.h"

#include "isbn/CBookCoverStore.h"
#include "isbn/LookupCache.h"
#include "shell/PictureWithin.h"
#include "store/CBookDatabase.h"
#include "view/CoverThumbnails.h"
#include "view/ListedDetails.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QSaveFile>
#include <QStyledItemDelegate>

namespace {

constexpr int kCoverWidth = CCoverGrid::kThumbnailHeight * 2 / 3;
constexpr int kCellWidth = kCoverWidth + 30;
constexpr int kTitleColumn = 1;
constexpr int kAuthorColumn = 2;
constexpr int kTypeColumn = 4;
// Thumbnails kept in memory, in kilobytes: a few screens' worth.
constexpr int kShownKiB = 48 * 1024;

// One thumbnail, on a worker thread: read when it was made before, else made from the chosen
// cover's bytes or the looked-up cover and kept.
QImage MakeThumbnail(const QByteArray& chosen, const std::string& isbn, const QString& lookupCache,
                     const QString& folder) {
    const int height = CCoverGrid::kThumbnailHeight;
    const std::string name =
        chosen.isEmpty()
            ? LookedUpCoverThumbnail(isbn, height)
            : ChosenCoverThumbnail(
                  std::string_view(chosen.constData(), static_cast<std::size_t>(chosen.size())),
                  height);
    if (name.empty()) {
        return {};
    }
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(name);
    if (QImage kept(path, "JPEG"); !kept.isNull()) {
        return kept;
    }
    QByteArray source = chosen;
    if (source.isEmpty()) {
        const auto fetched =
            LookupCache(lookupCache.toStdString()).Read(LookupCache::Kind::Cover, isbn);
        if (!fetched) {
            return {};
        }
        source = QByteArray::fromStdString(fetched->bytes);
    }
    // As high as the grid draws it, however wide.
    const QImage thumbnail = PictureWithin(
        source, QSize(4 * CCoverGrid::kThumbnailHeight, CCoverGrid::kThumbnailHeight));
    if (thumbnail.isNull() || !QDir().mkpath(folder)) {
        return thumbnail;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && thumbnail.save(&file, "JPEG", 85)) {
        file.commit();
    }
    return thumbnail;
}

// Draws a book as its cover, or a card, with its title and author under it.
class CoverDelegate : public QStyledItemDelegate {
public:
    CoverDelegate(CCoverGrid* grid, const CShelfwardenView* list)
        : QStyledItemDelegate(grid), m_pGrid(grid), m_pList(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {kCellWidth, CCoverGrid::kThumbnailHeight + 3 * option.fontMetrics.height() + 12};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const CBookListModel* model = m_pList->Model();
        const int row = index.row();
        painter->save();
        if (option.state & QStyle::State_Selected) {
            painter->fillRect(option.rect, option.palette.highlight());
        }
        const QRect cover(option.rect.x() + (option.rect.width() - kCoverWidth) / 2,
                          option.rect.y() + 4, kCoverWidth, CCoverGrid::kThumbnailHeight);
        const QString title = model->Text(row, kTitleColumn);
        const QImage thumbnail = m_pGrid->Thumbnail(row);
        if (thumbnail.isNull()) {
            const std::int32_t type = m_pList->Types().FindIdByName(
                model->Row(row)[static_cast<std::size_t>(kTypeColumn)]);
            const CardColour c = TypeCardColour(type);
            painter->fillRect(cover, QColor(c.red, c.green, c.blue));
            painter->setPen(Qt::white);
            painter->drawText(cover.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                              title);
        } else {
            const QSize fitted = thumbnail.size().scaled(cover.size(), Qt::KeepAspectRatio);
            painter->drawImage(QRect(cover.x() + (cover.width() - fitted.width()) / 2,
                                     cover.bottom() - fitted.height() + 1, fitted.width(),
                                     fitted.height()),
                               thumbnail);
        }
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetrics& metrics = option.fontMetrics;
        QRect line(option.rect.x() + 2, cover.bottom() + 4, option.rect.width() - 4,
                   metrics.height());
        painter->drawText(line, Qt::AlignHCenter,
                          metrics.elidedText(title, Qt::ElideRight, line.width()));
        line.translate(0, metrics.height());
        painter->drawText(
            line, Qt::AlignHCenter,
            metrics.elidedText(model->Text(row, kAuthorColumn), Qt::ElideRight, line.width()));
        painter->restore();
    }

private:
    CCoverGrid* m_pGrid;
    const CShelfwardenView* m_pList;
};

} // namespace

CCoverGrid::CCoverGrid(CShelfwardenView* list, QWidget* parent) : QListView(parent), m_pList(list) {
    setObjectName(QStringLiteral("coverGrid"));
    setAccessibleName(QStringLiteral("Copertile cartilor"));
    setModel(list->Model());
    // The list's own selection: what is chosen in one is chosen in the other.
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(list->selectionModel());
    delete own;
    setModelColumn(kTitleColumn);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSpacing(6);
    setItemDelegate(new CoverDelegate(this, list));
    m_shown.setMaxCost(kShownKiB);
    m_pool.setMaxThreadCount(2);
    connect(list->Model(), &QAbstractItemModel::modelReset, this, &CCoverGrid::Forget);
    // A book changed may have a new cover.
    connect(list->Model(), &QAbstractItemModel::dataChanged, this, &CCoverGrid::Forget);
}

CCoverGrid::~CCoverGrid() {
    // The workers answer this grid: none may outlive it.
    m_pool.clear();
    m_pool.waitForDone();
}

void CCoverGrid::SetFolders(const QString& lookupCache, const QString& thumbnails) {
    m_lookupCache = lookupCache;
    m_thumbnails = thumbnails;
}

void CCoverGrid::Forget() {
    ++m_generation;
    m_pending.clear();
    m_shown.clear();
    m_asked = 0;
}

QImage CCoverGrid::Thumbnail(int row) {
    const qint32 book = m_pList->Model()->BookId(row);
    if (const QImage* shown = m_shown.object(book)) {
        return *shown;
    }
    if (m_pending.contains(book)) {
        return {};
    }
    m_pending.insert(book);
    ++m_asked;
    QByteArray chosen;
    if (CBookDatabase* db = m_pList->Database(); db && db->IsOpen()) {
        // Read here, on the catalogue's own connection; only the picture is made elsewhere.
        chosen = QByteArray::fromStdString(
            CBookCoverStore(*db, nullptr).Read(book).value_or(std::string()));
    }
    std::string isbn = m_pList->Model()->Text(row, kIsbnColumn).toStdString();
    std::erase_if(isbn, [](char c) { return c < '0' || c > '9'; });
    const int generation = m_generation;
    m_pool.start(
        [this, book, generation, chosen, isbn, lookup = m_lookupCache, folder = m_thumbnails] {
            const QImage thumbnail = MakeThumbnail(chosen, isbn, lookup, folder);
            QMetaObject::invokeMethod(
                this,
                [this, book, generation, thumbnail] {
                    if (generation == m_generation) {
                        Arrived(book, thumbnail);
                    }
                },
                Qt::QueuedConnection);
        });
    return {};
}

void CCoverGrid::Arrived(qint32 book, const QImage& thumbnail) {
    m_pending.remove(book);
    m_shown.insert(book, new QImage(thumbnail),
                   std::max<int>(1, static_cast<int>(thumbnail.sizeInBytes() / 1024)));
    viewport()->update();
    emit ThumbnailReady(book);
}

void CCoverGrid::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        m_pList->FirstSelectedRow() >= 0) {
        emit m_pList->OpenRequested();
        return;
    }
    if (plain && event->key() == Qt::Key_Delete) {
        emit m_pList->DeleteRequested();
        return;
    }
    QListView::keyPressEvent(event);
}

void CCoverGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) {
        emit m_pList->OpenRequested();
    }
}

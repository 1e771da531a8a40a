#include "view/ui/ChosenCover.h"

#include "shell/PictureWithin.h"
#include "store/CoverSchema.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace {
// A quality at which a cover reads as the printed one, at a few tens of kilobytes.
constexpr int kJpegQuality = 85;
} // namespace

QByteArray CoverJpeg(const QImage& picture) {
    if (picture.isNull()) {
        return {};
    }
    QImage cover = picture.height() > kCoverHeight
                       ? picture.scaledToHeight(kCoverHeight, Qt::SmoothTransformation)
                       : picture;
    // JPEG has no transparency: what was clear shows white, as on a page.
    if (cover.hasAlphaChannel()) {
        QImage flat(cover.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, cover);
        cover = flat;
    }
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    return cover.save(&out, "JPEG", kJpegQuality) ? bytes : QByteArray();
}

QImage PictureFile(const QString& path) {
    QImageReader reader(path);
    // Read only to be made small: an enormous picture is decoded at a size that still leaves
    // the cover's own scaling something to smooth.
    return ReadPictureWithin(reader, QSize(16 * kCoverHeight, 4 * kCoverHeight));
}

QImage PictureOf(const QMimeData* data) {
    if (data->hasImage()) {
        return qvariant_cast<QImage>(data->imageData());
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            if (QImage picture = PictureFile(url.toLocalFile()); !picture.isNull()) {
                return picture;
            }
        }
    }
    return {};
}

#include "lookup/ui/CoverImage.h"

#include <QBuffer>
#include <QImageReader>

namespace {
// About the size of a paperback's cover on the screen.
constexpr QSize kCoverBox(240, 320);
} // namespace

QImage CoverImage(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > kCoverBox.width() || size.height() > kCoverBox.height())) {
        reader.setScaledSize(size.scaled(kCoverBox, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (!image.isNull() &&
        (image.width() > kCoverBox.width() || image.height() > kCoverBox.height())) {
        image = image.scaled(kCoverBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

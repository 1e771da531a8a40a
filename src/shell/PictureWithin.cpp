#include "shell/PictureWithin.h"

#include <QBuffer>
#include <QImageReader>

QImage ReadPictureWithin(QImageReader& reader, const QSize& box) {
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height())) {
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > box.width() || image.height() > box.height())) {
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage PictureWithin(const QByteArray& bytes, const QSize& box) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return ReadPictureWithin(reader, box);
}

#include "barcode/ui/PictureBarcodes.h"

#include <QImageReader>

QImage GreyPicture(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_Grayscale8);
}

std::vector<ReadCode> ReadPictureCodes(const QImage& picture) {
    const QImage grey = GreyPicture(picture);
    return ReadBarcodes(
        {grey.constBits(), grey.width(), grey.height(), static_cast<int>(grey.bytesPerLine())});
}

PictureIsbns ReadPictureIsbns(const QImage& picture) {
    return IsbnsOf(ReadPictureCodes(picture));
}

FileIsbns ReadFileIsbns(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        return {path, {}, false};
    }
    return {path, ReadPictureIsbns(picture), true};
}

QString PictureFileFilter() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    return QStringLiteral("Imagini (%1)").arg(patterns.join(' '));
}
